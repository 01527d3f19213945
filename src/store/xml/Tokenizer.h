// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavero::store::xml {

enum class TokenKind {
    EndOfData,
    VerbatimOpening,
    QuotedText,        ///< its text includes both quotes
    StartTag,          ///< <
    EndTag,            ///< </
    DeclarationStart,  ///< <?
    Equals,
    Close,       ///< >
    ShortClose,  ///< />
    Text,
};

struct Token {
    TokenKind kind;
    std::size_t begin;  ///< offset of the token's first byte in the document
    std::string_view text;
    std::string_view closing;  ///< for a verbatim opening, the string that ends its section
};

/// One attribute of a start tag, or what ends the tag.
enum class AttributeTokenKind : std::uint8_t {
    Attribute,
    Close,       ///< >
    ShortClose,  ///< />
    EndOfData,
    Unexpected,  ///< a token that has no place here: reading stops at `begin`
};

/// Small enough to come back in registers: the attribute itself is written where it is kept.
struct AttributeToken {
    AttributeTokenKind kind;
    bool valueMayHoldEntity = true;  ///< false only where the value is known to hold no '&'
    std::size_t begin = 0;           ///< for Unexpected: the offset of the token's first byte
};

inline bool isWhiteSpace(char c) {
    // Most bytes are above the blank, so one compare settles them.
    constexpr std::uint64_t kWhiteSpace =
        (1ULL << ' ') | (1ULL << '\t') | (1ULL << '\r') | (1ULL << '\n');
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' && ((kWhiteSpace >> byte) & 1U) != 0;
}

/// Cuts a document into the reader's tokens. The document ends at its end or at a 0 byte.
class Tokenizer {
public:
    /// The byte after `document`'s end must be a 0 byte: every scan stops at it, which spares
    /// checking for the end at each byte.
    explicit Tokenizer(std::string_view document);

    /// Skips blanks, tabs, CRs and LFs, then takes one token.
    Token next();

    /// Inside a start tag: skips white space, then takes a whole attribute (`name`, `name=value`,
    /// `name="value"` or `name='value'`, blanks allowed around `=`) or what ends the tag. Cuts
    /// the bytes as next() would, but without building a token for each of the three parts: a
    /// start tag holds little else. In a declaration a `?` before the tag's end is no part of a
    /// bare name or an unquoted value. Only for an Attribute are `name` and `value` set, the
    /// value without its quotes, or none for a name without `=`.
    AttributeToken takeAttribute(bool declaration, std::string_view& name,
                                 std::optional<std::string_view>& value);

    /// The content of a verbatim section whose opening was just taken: everything up to the first
    /// `closing` (letter case counts), which is consumed. Nothing if `closing` never comes.
    std::optional<std::string_view> takeVerbatimContent(std::string_view closing);

    std::string_view document() const { return document_; }

private:
    /// The byte at `offset`, which is at most the document's size: the 0 byte there ends it.
    char at(std::size_t offset) const { return document_.data()[offset]; }
    // Runs of white space are a few bytes at most, so a plain loop does best.
    void skipWhiteSpace() {
        while (isWhiteSpace(at(position_))) {
            ++position_;
        }
    }
    /// The text token from `begin`, whose byte belongs to it whatever it is; moves past it.
    std::string_view takeText(std::size_t begin);

    std::string_view document_;
    std::size_t position_ = 0;
};

}  // namespace tavero::store::xml
