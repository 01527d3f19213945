// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/Tokenizer.h"

#include <array>
#include <cstdint>

#include "store/text/Windows1252.h"

namespace tavero::store::xml {

namespace {

struct VerbatimKind {
    std::string_view opening;  ///< recognised without regard to letter case
    std::string_view closing;  ///< must match exactly
};

constexpr std::array<VerbatimKind, 5> kVerbatimKinds = {{
    {"<![CDATA[", "]]>"},
    {"<PRE>", "</PRE>"},
    {"<Script>", "</Script>"},
    {"<!--", "-->"},
    {"<!DOCTYPE", ">"},
}};

/// What a byte does to a text token that reaches it.
enum class TextStop : std::uint8_t {
    No,
    Before,         ///< the token ends before it: end of data, <, =, >
    BeforeIfClose,  ///< / ends the token only as part of />
    Consumed,       ///< white space ends the token and goes with it
};

constexpr std::array<TextStop, 256> kTextStops = [] {
    std::array<TextStop, 256> table{};
    for (const char c : {'\0', '<', '=', '>'}) {
        table[static_cast<unsigned char>(c)] = TextStop::Before;
    }
    table['/'] = TextStop::BeforeIfClose;
    for (const char c : {' ', '\t', '\r', '\n'}) {
        table[static_cast<unsigned char>(c)] = TextStop::Consumed;
    }
    return table;
}();

}  // namespace

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

Tokenizer::Tokenizer(std::string_view document)
    : document_(document.substr(0, document.find('\0'))) {}

char Tokenizer::at(std::size_t offset) const {
    return offset < document_.size() ? document_[offset] : '\0';
}

void Tokenizer::skipWhiteSpace() {
    while (isWhiteSpace(at(position_))) {
        ++position_;
    }
}

Token Tokenizer::next() {
    skipWhiteSpace();
    const std::size_t begin = position_;
    const auto simple = [this, begin](TokenKind kind, std::size_t length) {
        position_ += length;
        return Token{kind, begin, document_.substr(begin, length), {}};
    };
    const char c = at(begin);
    if (c == '\0') {
        return {TokenKind::EndOfData, begin, {}, {}};
    }
    if (c == '<') {  // where every verbatim opening starts
        const std::string_view rest = document_.substr(begin);
        for (const VerbatimKind& kind : kVerbatimKinds) {
            if (text::startsWithIgnoringCase(rest, kind.opening)) {
                Token token = simple(TokenKind::VerbatimOpening, kind.opening.size());
                token.closing = kind.closing;
                return token;
            }
        }
    }
    if (c == '"' || c == '\'') {
        std::size_t partner = begin + 1;
        while (partner < document_.size() && document_[partner] != c && document_[partner] != '<') {
            ++partner;
        }
        if (partner < document_.size() && document_[partner] == c) {
            Token token = simple(TokenKind::QuotedText, partner + 1 - begin);
            skipWhiteSpace();
            return token;
        }
        return takeText(begin);
    }
    switch (c) {
        case '<':
            if (at(begin + 1) == '/') {
                return simple(TokenKind::EndTag, 2);
            }
            if (at(begin + 1) == '?') {
                return simple(TokenKind::DeclarationStart, 2);
            }
            return simple(TokenKind::StartTag, 1);
        case '=':
            return simple(TokenKind::Equals, 1);
        case '>':
            return simple(TokenKind::Close, 1);
        case '/':
            if (at(begin + 1) == '>') {
                return simple(TokenKind::ShortClose, 2);
            }
            break;
        default:
            break;
    }
    return takeText(begin);
}

Token Tokenizer::takeText(std::size_t begin) {
    std::size_t end = begin + 1;  // the first byte belongs to the text whatever it is
    for (;; ++end) {
        const TextStop stop = kTextStops[static_cast<unsigned char>(at(end))];
        if (stop == TextStop::Before || (stop == TextStop::BeforeIfClose && at(end + 1) == '>')) {
            position_ = end;
            break;
        }
        if (stop == TextStop::Consumed) {
            position_ = end + 1;
            break;
        }
    }
    return {TokenKind::Text, begin, document_.substr(begin, end - begin), {}};
}

std::optional<std::string_view> Tokenizer::takeVerbatimContent(std::string_view closing) {
    const std::size_t end = document_.find(closing, position_);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view content = document_.substr(position_, end - position_);
    position_ = end + closing.size();
    return content;
}

}  // namespace tavero::store::xml
