// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
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
    std::string_view closing;   ///< for a verbatim opening, the string that ends its section
    bool mayHoldEntity = true;  ///< false only where the text is known to hold no '&'
};

inline bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// Cuts a document into the reader's tokens. The document ends at its end or at a 0 byte.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view document);

    /// Skips blanks, tabs, CRs and LFs, then takes one token.
    Token next();

    /// Takes an Equals token if one comes next, as next() would, without building it: an '='
    /// follows nearly every attribute name, and this is the cheap way to take it.
    bool takeEquals() {
        skipWhiteSpace();
        if (position_ < document_.size() && document_[position_] == '=') {
            ++position_;
            return true;
        }
        return false;
    }

    /// The content of a verbatim section whose opening was just taken: everything up to the first
    /// `closing` (letter case counts), which is consumed. Nothing if `closing` never comes.
    std::optional<std::string_view> takeVerbatimContent(std::string_view closing);

    std::string_view document() const { return document_; }

private:
    char at(std::size_t offset) const;
    // Runs of white space are a few bytes at most, so a plain loop does best.
    void skipWhiteSpace() {
        while (position_ < document_.size() && isWhiteSpace(document_[position_])) {
            ++position_;
        }
    }
    Token takeText(std::size_t begin);

    std::string_view document_;
    std::size_t position_ = 0;
};

}  // namespace tavero::store::xml
