// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/Tokenizer.h"

#include <array>
#include <bit>
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

/// The bytes that end a text token: end of data, <, =, >, white space (which goes with the
/// token), and '/', though only as part of "/>".
constexpr std::array<bool, 256> kTextStops = [] {
    std::array<bool, 256> table{};
    for (const char c : {'\0', '<', '=', '>', '/', ' ', '\t', '\r', '\n'}) {
        table[static_cast<unsigned char>(c)] = true;
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

/// For each byte after a '<', the verbatim kinds whose opening it may start, one bit each: most
/// tags rule out all but one kind, and the others need no comparing.
constexpr std::array<std::uint8_t, 256> kVerbatimCandidates = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t i = 0; i < kVerbatimKinds.size(); ++i) {
        const char second = kVerbatimKinds[i].opening[1];
        const auto bit = static_cast<std::uint8_t>(1U << i);
        table[static_cast<unsigned char>(second)] |= bit;
        if (second >= 'A' && second <= 'Z') {
            table[static_cast<unsigned char>(second - 'A' + 'a')] |= bit;
        }
    }
    return table;
}();

constexpr auto isTextByte = [](char c) { return !kTextStops[static_cast<unsigned char>(c)]; };

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

std::size_t afterWhiteSpace(const char* data, std::size_t at) {
    while (isWhiteSpace(data[at])) {
        ++at;
    }
    return at;
}

/// The end of the text token from `begin`, whose byte belongs to it whatever it is.
std::size_t textEnd(const char* data, std::size_t begin) {
    std::size_t end = begin + 1;
    for (;;) {
        end = scanWhile(data, end, isTextByte);
        if (data[end] != '/' || data[end + 1] == '>') {
            return end;
        }
        ++end;  // a '/' that closes nothing
    }
}

/// From the quote at `begin`, the offset of the byte that ends the quoted text: its partner if
/// that comes first, else '<' or the document's end. Notes in `ampersand` whether an '&' comes
/// before.
std::size_t quotedEnd(const char* data, std::size_t begin, bool& ampersand) {
    const auto& stops = data[begin] == '"' ? kDoubleQuotedStops : kSingleQuotedStops;
    std::size_t end = begin + 1;
    for (;;) {
        end = scanWhile(data, end,
                        [&stops](char b) { return !stops[static_cast<unsigned char>(b)]; });
        if (data[end] != '&') {
            return end;
        }
        ampersand = true;
        ++end;
    }
}

bool endsTag(const char* data, std::size_t at) {
    return data[at] == '>' || (data[at] == '/' && data[at + 1] == '>');
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
    if (c == '<') {
        const std::string_view rest = document_.substr(begin);
        for (unsigned kinds = kVerbatimCandidates[static_cast<unsigned char>(at(begin + 1))];
             kinds != 0; kinds &= kinds - 1) {
            const VerbatimKind& kind =
                kVerbatimKinds[static_cast<std::size_t>(std::countr_zero(kinds))];
            if (text::startsWithIgnoringCase(rest, kind.opening)) {
                Token token = simple(TokenKind::VerbatimOpening, kind.opening.size());
                token.closing = kind.closing;
                return token;
            }
        }
    }
    if (c == '"' || c == '\'') {
        // Content text: whether it holds an '&' does not matter here.
        bool ampersand = false;
        const std::size_t end = quotedEnd(document_.data(), begin, ampersand);
        if (at(end) == c) {
            return simple(TokenKind::QuotedText, end + 1 - begin);
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
    const std::size_t end = textEnd(data, begin);
    position_ = isWhiteSpace(data[end]) ? end + 1 : end;  // white space goes with the text
    return {data + begin, end - begin};
}

// Works on a local offset, stored once at the end: going through the member at every step would
// put a store and a load on the path from each byte to the next.
AttributeToken Tokenizer::takeAttribute(bool declaration, std::string_view& name,
                                        std::optional<std::string_view>& value) {
    using enum AttributeTokenKind;
    const char* const data = document_.data();
    std::size_t at = position_;
    for (;;) {
        const std::size_t begin = afterWhiteSpace(data, at);
        bool ampersand = false;
        switch (data[begin]) {
            case '\0':
                return {EndOfData};
            case '>':
                position_ = begin + 1;
                return {Close};
            case '/':
                if (data[begin + 1] == '>') {
                    position_ = begin + 2;
                    return {ShortClose};
                }
                break;
            case '<':
            case '=':
                return {.kind = Unexpected, .begin = begin};
            case '"':
            case '\'':
                if (data[quotedEnd(data, begin, ampersand)] == data[begin]) {
                    return {.kind = Unexpected, .begin = begin};
                }
                break;
            default:
                break;
        }
        const std::size_t nameEnd = textEnd(data, begin);
        at = afterWhiteSpace(data, nameEnd);
        if (data[at] != '=') {
            if (data[at] == '\0') {
                return {EndOfData};
            }
            // A bare name: what follows is left for the next call.
            std::string_view bare(data + begin, nameEnd - begin);
            if (endsTag(data, at)) {
                if (declaration && bare.ends_with('?')) {
                    bare.remove_suffix(1);  // `<?xml standalone?>`
                }
                if (bare.empty()) {
                    continue;
                }
            }
            position_ = at;
            name = bare;
            value.reset();
            return {Attribute};
        }

        name = {data + begin, nameEnd - begin};
        const std::size_t valueBegin = afterWhiteSpace(data, at + 1);
        const char first = data[valueBegin];
        if (first == '"' || first == '\'') {
            const std::size_t valueEnd = quotedEnd(data, valueBegin, ampersand);
            if (data[valueEnd] == first) {
                position_ = valueEnd + 1;
                value.emplace(data + valueBegin + 1, valueEnd - valueBegin - 1);
                return {.kind = Attribute, .valueMayHoldEntity = ampersand};
            }
        } else if (first == '\0') {
            return {EndOfData};
        } else if (first == '<' || first == '=' || endsTag(data, valueBegin)) {
            return {.kind = Unexpected, .begin = valueBegin};
        }
        const std::size_t valueEnd = textEnd(data, valueBegin);
        std::string_view unquoted(data + valueBegin, valueEnd - valueBegin);
        if (declaration && unquoted.ends_with('?')) {
            unquoted.remove_suffix(1);  // `<?xml version=1.0?>`
        }
        position_ = valueEnd;
        value = unquoted;
        return {Attribute};
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
