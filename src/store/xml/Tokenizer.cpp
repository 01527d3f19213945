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

/// The bytes a quoted text stops at, to end, to note an entity, or at the document's end.
constexpr std::array<bool, 256> quotedStops(char quote) {
    std::array<bool, 256> table{};
    for (const char c : {quote, '<', '&', '\0'}) {
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

/// The first offset from `at` on whose byte does not `belongs`, which the 0 byte after the
/// document never does; four bytes a round, since names and values are short and the loop's own
/// test would otherwise cost as much.
template <typename Predicate>
std::size_t scanWhile(const char* data, std::size_t at, Predicate belongs) {
    for (;; at += 4) {
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
}

}  // namespace

Tokenizer::Tokenizer(std::string_view document)
    : document_(document.substr(0, document.find('\0'))) {}

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
        if (const auto partner = closingQuote(begin, ampersand)) {
            Token token = simple(TokenKind::QuotedText, *partner + 1 - begin);
            token.mayHoldEntity = ampersand;
            return token;
        }
        return {TokenKind::Text, begin, takeText(begin), {}};
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
    return {TokenKind::Text, begin, takeText(begin), {}};
}

std::string_view Tokenizer::takeText(std::size_t begin) {
    const char* const data = document_.data();
    std::size_t end = begin + 1;  // the first byte belongs to the text whatever it is
    for (;;) {
        end = scanWhile(data, end, isTextByte);
        const char stop = data[end];
        if (stop == '/' && data[end + 1] != '>') {
            ++end;  // a '/' that closes nothing
            continue;
        }
        position_ = isWhiteSpace(stop) ? end + 1 : end;  // white space goes with the text
        return {data + begin, end - begin};
    }
}

std::optional<std::size_t> Tokenizer::closingQuote(std::size_t begin, bool& ampersand) const {
    const char* const data = document_.data();
    const char quote = data[begin];
    const auto& stops = quote == '"' ? kDoubleQuotedStops : kSingleQuotedStops;
    std::size_t partner = begin + 1;
    for (;;) {
        partner = scanWhile(data, partner,
                            [&stops](char b) { return !stops[static_cast<unsigned char>(b)]; });
        if (data[partner] != '&') {
            break;
        }
        ampersand = true;
        ++partner;
    }
    if (data[partner] == quote) {
        return partner;
    }
    return std::nullopt;
}

AttributeToken Tokenizer::takeAttribute(bool declaration) {
    using enum AttributeTokenKind;
    const char* const data = document_.data();
    for (;;) {
        skipWhiteSpace();
        const std::size_t begin = position_;
        bool ampersand = false;
        switch (data[begin]) {
            case '\0':
                return {EndOfData, begin, {}, {}};
            case '>':
                ++position_;
                return {Close, begin, {}, {}};
            case '/':
                if (data[begin + 1] == '>') {
                    position_ += 2;
                    return {ShortClose, begin, {}, {}};
                }
                break;
            case '<':
            case '=':
                return {Unexpected, begin, {}, {}};
            case '"':
            case '\'':
                if (closingQuote(begin, ampersand)) {
                    return {Unexpected, begin, {}, {}};
                }
                break;
            default:
                break;
        }
        std::string_view name = takeText(begin);

        skipWhiteSpace();
        const std::size_t afterName = position_;
        const char next = data[afterName];
        if (next != '=') {
            if (next == '\0') {
                return {EndOfData, afterName, {}, {}};
            }
            // A bare name: what follows is left for the next call.
            if (endsTag(afterName)) {
                if (declaration && name.ends_with('?')) {
                    name.remove_suffix(1);  // `<?xml standalone?>`
                }
                if (name.empty()) {
                    continue;
                }
            }
            return {Attribute, begin, name, std::nullopt};
        }

        ++position_;
        skipWhiteSpace();
        const std::size_t valueBegin = position_;
        const char first = data[valueBegin];
        if (first == '"' || first == '\'') {
            if (const auto partner = closingQuote(valueBegin, ampersand)) {
                position_ = *partner + 1;
                return {Attribute, begin, name,
                        std::string_view(data + valueBegin + 1, *partner - valueBegin - 1),
                        ampersand};
            }
        } else if (first == '\0') {
            return {EndOfData, valueBegin, {}, {}};
        } else if (first == '<' || first == '=' || endsTag(valueBegin)) {
            return {Unexpected, valueBegin, {}, {}};
        }
        std::string_view value = takeText(valueBegin);
        if (declaration && value.ends_with('?')) {
            value.remove_suffix(1);  // `<?xml version=1.0?>`
        }
        return {Attribute, begin, name, value};
    }
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
