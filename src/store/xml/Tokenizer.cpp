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

/// The bytes a quoted text stops at, to end or to note an entity.
constexpr std::array<bool, 256> quotedStops(char quote) {
    std::array<bool, 256> table{};
    for (const char c : {quote, '<', '&'}) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}
constexpr std::array<bool, 256> kDoubleQuotedStops = quotedStops('"');
constexpr std::array<bool, 256> kSingleQuotedStops = quotedStops('\'');

/// The bytes that may follow '<' in a verbatim opening, in either letter case.
constexpr std::array<bool, 256> kVerbatimSecondBytes = [] {
    std::array<bool, 256> table{};
    for (const VerbatimKind& kind : kVerbatimKinds) {
        const char second = kind.opening[1];
        table[static_cast<unsigned char>(second)] = true;
        if (second >= 'A' && second <= 'Z') {
            table[static_cast<unsigned char>(second - 'A' + 'a')] = true;
        }
    }
    return table;
}();

constexpr auto isTextByte = [](char c) {
    return kTextStops[static_cast<unsigned char>(c)] == TextStop::No;
};

/// The first offset from `at` on whose byte does not `belongs`, or the end; four bytes a round,
/// since names and values are short and the loop's own test would otherwise cost as much.
template <typename Predicate>
std::size_t scanWhile(std::string_view text, std::size_t at, Predicate belongs) {
    const char* const data = text.data();
    for (; at + 4 <= text.size(); at += 4) {
        if (!belongs(data[at])) {
            return at;
        }
        if (!belongs(data[at + 1])) {
            return at + 1;
        }
        if (!belongs(data[at + 2])) {
            return at + 2;
        }
        if (!belongs(data[at + 3])) {
            return at + 3;
        }
    }
    while (at < text.size() && belongs(data[at])) {
        ++at;
    }
    return at;
}

}  // namespace

Tokenizer::Tokenizer(std::string_view document)
    : document_(document.substr(0, document.find('\0'))) {}

char Tokenizer::at(std::size_t offset) const {
    return offset < document_.size() ? document_[offset] : '\0';
}

Token Tokenizer::next() {
    skipWhiteSpace();
    const std::size_t begin = position_;
    const auto simple = [this, begin](TokenKind kind, std::size_t length) {
        position_ += length;
        return Token{kind, begin, {document_.data() + begin, length}, {}};
    };
    const char c = at(begin);
    if (c == '\0') {
        return {TokenKind::EndOfData, begin, {}, {}};
    }
    if (c == '<' && kVerbatimSecondBytes[static_cast<unsigned char>(at(begin + 1))]) {
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
        // Noting an '&' on the way spares the reader a second look at every value.
        bool ampersand = false;
        const auto& stops = c == '"' ? kDoubleQuotedStops : kSingleQuotedStops;
        std::size_t partner = begin + 1;
        for (;;) {
            partner = scanWhile(document_, partner,
                                [&stops](char b) { return !stops[static_cast<unsigned char>(b)]; });
            if (partner == document_.size() || document_[partner] != '&') {
                break;
            }
            ampersand = true;
            ++partner;
        }
        if (partner < document_.size() && document_[partner] == c) {
            Token token = simple(TokenKind::QuotedText, partner + 1 - begin);
            token.mayHoldEntity = ampersand;
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
    for (;;) {
        end = scanWhile(document_, end, isTextByte);
        // The document holds no 0 byte, so its end is the only place that stands for one.
        if (end == document_.size()) {
            position_ = end;
            break;
        }
        const TextStop stop = kTextStops[static_cast<unsigned char>(document_[end])];
        if (stop == TextStop::Consumed) {
            position_ = end + 1;
            break;
        }
        if (stop == TextStop::Before || at(end + 1) == '>') {
            position_ = end;
            break;
        }
        ++end;  // a '/' that closes nothing
    }
    return {TokenKind::Text, begin, {document_.data() + begin, end - begin}, {}};
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
