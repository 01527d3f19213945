// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/XmlReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "store/text/TextFile.h"
#include "store/text/Windows1252.h"
#include "store/xml/Document.h"
#include "store/xml/Entities.h"
#include "store/xml/Node.h"
#include "store/xml/Tokenizer.h"

namespace tavero::store::xml {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text);

    DocNode read(LoadResult& result);

private:
    /// How reading one element ended.
    enum class Ending {
        Complete,      ///< by `/>`, its own end tag, or an end tag naming it that came from deeper
        PassedEndTag,  ///< by an end tag naming some other element, handed on to the parent
        Stopped,       ///< by an error or the end of the data: every open element stops too
    };
    enum class TagEnd { ContentFollows, Complete, Stopped };
    enum class Decoding { Raw, Entities };

    /// The content of `node`, after its start tag.
    Ending parseContent(Node& node, int depth);
    /// The rest of `element`'s start tag, then its content.
    Ending parseTag(Node& element, int depth);
    /// The attributes of a start tag, collected in `tagAttributes_`.
    TagEnd parseAttributes(bool declaration);

    Ending stop(LoadCode code, std::size_t offset);
    bool appendPendingText(Node& node, std::optional<std::size_t>& pendingBegin, std::size_t end,
                           Decoding decoding);
    std::optional<std::string_view> decode(std::string_view raw);
    bool namesElement(const Node& node, std::size_t endTagNameBegin) const;
    void setPlace(LoadResult& result, std::size_t offset) const;

    /// Copied once into the document's storage, which every name and text then points into.
    DocNode top_;
    Document& document_;
    Tokenizer tokens_;
    std::size_t textSize_;
    std::int32_t openAtEnd_ = 0;
    /// Kept across tags so that each element gets its attributes in one allocation.
    std::vector<Attribute> tagAttributes_;
    LoadCode code_ = LoadCode::NoError;
    std::size_t stopOffset_ = 0;
    std::size_t warningOffset_ = 0;
    std::size_t passedTagBegin_ = 0;   ///< of the end tag being handed on
    std::size_t passedNameBegin_ = 0;  ///< of its name
};

// The tree takes about three times the bytes of its text: nodes and attributes are larger than
// the names and values they point to.
Reader::Reader(std::string_view text)
    : top_(Document::createTop(3 * text.size())),
      document_(*top_.get()->document),
      tokens_(document_.keepWithNul(text)),
      textSize_(text.size()) {}

DocNode Reader::read(LoadResult& result) {
    parseContent(*top_.get(), 0);
    result = {};
    result.code = code_;
    result.openElementsAtEnd = openAtEnd_;
    result.endedAtNul = tokens_.document().size() < textSize_;
    switch (code_) {
        case LoadCode::NoError:
            result.line = 0;
            result.column = 0;
            return top_;
        case LoadCode::UnmatchedEndTagWarning:
            setPlace(result, warningOffset_);
            return top_;
        default:
            setPlace(result, stopOffset_);
            return {};
    }
}

Reader::Ending Reader::parseContent(Node& node, int depth) {
    std::optional<std::size_t> pendingText;
    for (;;) {
        const Token token = tokens_.next();
        switch (token.kind) {
            case TokenKind::Text:
            case TokenKind::QuotedText:
            case TokenKind::Equals:
                if (!pendingText) {
                    pendingText = token.begin;
                }
                break;
            case TokenKind::StartTag:
            case TokenKind::DeclarationStart: {
                appendPendingText(node, pendingText, token.begin, Decoding::Raw);
                const Token name = tokens_.next();
                if (name.kind != TokenKind::Text) {
                    return stop(LoadCode::MissingStartTagName, name.begin);
                }
                if (depth == kMaxNestingDepth) {
                    return stop(LoadCode::NestingTooDeep, token.begin);
                }
                Node& child = node.addElement(name.text, token.kind == TokenKind::DeclarationStart);
                const Ending ending = parseTag(child, depth + 1);
                if (ending == Ending::Stopped) {
                    return Ending::Stopped;
                }
                if (ending == Ending::PassedEndTag) {
                    if (depth == 0) {
                        return stop(LoadCode::UnmatchedEndTag, passedTagBegin_);
                    }
                    return namesElement(node, passedNameBegin_) ? Ending::Complete
                                                                : Ending::PassedEndTag;
                }
                break;
            }
            case TokenKind::EndTag: {
                if (!appendPendingText(node, pendingText, token.begin, Decoding::Entities)) {
                    return Ending::Stopped;
                }
                const Token name = tokens_.next();
                if (name.kind != TokenKind::Text) {
                    return stop(LoadCode::MissingEndTagName, name.begin);
                }
                const Token close = tokens_.next();
                if (close.kind != TokenKind::Close) {
                    return stop(LoadCode::MissingEndTagName, close.begin);
                }
                if (namesElement(node, name.begin)) {
                    return Ending::Complete;
                }
                if (code_ == LoadCode::NoError) {
                    code_ = LoadCode::UnmatchedEndTagWarning;
                    warningOffset_ = token.begin;
                }
                passedTagBegin_ = token.begin;
                passedNameBegin_ = name.begin;
                return Ending::PassedEndTag;
            }
            case TokenKind::VerbatimOpening: {
                appendPendingText(node, pendingText, token.begin, Decoding::Raw);
                const auto content = tokens_.takeVerbatimContent(token.closing);
                if (!content) {
                    return stop(LoadCode::UnmatchedEndTag, token.begin);
                }
                node.addVerbatim({token.text, *content, token.closing});
                break;
            }
            case TokenKind::Close:
            case TokenKind::ShortClose:
                return stop(LoadCode::UnexpectedToken, token.begin);
            case TokenKind::EndOfData:
                openAtEnd_ = depth;
                return Ending::Stopped;
        }
    }
}

Reader::Ending Reader::parseTag(Node& element, int depth) {
    const TagEnd end = parseAttributes(element.declaration);
    element.addAttributes(tagAttributes_);  // also when reading stopped: what was read stands
    tagAttributes_.clear();
    switch (end) {
        case TagEnd::ContentFollows:
            return parseContent(element, depth);
        case TagEnd::Complete:
            return Ending::Complete;
        case TagEnd::Stopped:
            if (code_ == LoadCode::NoError) {
                openAtEnd_ = depth;  // the data ended inside the start tag
            }
            break;
    }
    return Ending::Stopped;
}

Reader::TagEnd Reader::parseAttributes(bool declaration) {
    for (;;) {
        // Filled in place: a copy would load as a whole what was stored in parts, and stall.
        Attribute& attribute = tagAttributes_.emplace_back();
        const AttributeToken token =
            tokens_.takeAttribute(declaration, attribute.name, attribute.value);
        if (token.kind == AttributeTokenKind::Attribute) {
            if (attribute.value && token.valueMayHoldEntity) {
                attribute.value = decode(*attribute.value);
                if (!attribute.value) {
                    tagAttributes_.pop_back();
                    return TagEnd::Stopped;
                }
            }
            continue;
        }
        tagAttributes_.pop_back();
        switch (token.kind) {
            case AttributeTokenKind::Close:
                return TagEnd::ContentFollows;
            case AttributeTokenKind::ShortClose:
                return TagEnd::Complete;
            case AttributeTokenKind::Unexpected:
                stop(LoadCode::UnexpectedToken, token.begin);
                break;
            case AttributeTokenKind::Attribute:
            case AttributeTokenKind::EndOfData:
                break;
        }
        return TagEnd::Stopped;
    }
}

Reader::Ending Reader::stop(LoadCode code, std::size_t offset) {
    code_ = code;
    stopOffset_ = offset;
    return Ending::Stopped;
}

bool Reader::appendPendingText(Node& node, std::optional<std::size_t>& pendingBegin,
                               std::size_t end, Decoding decoding) {
    if (!pendingBegin) {
        return true;
    }
    std::string_view raw = tokens_.document().substr(*pendingBegin, end - *pendingBegin);
    pendingBegin.reset();
    while (!raw.empty() && isWhiteSpace(raw.back())) {
        raw.remove_suffix(1);
    }
    if (decoding == Decoding::Raw) {
        node.addText(raw);
        return true;
    }
    const auto text = decode(raw);
    if (text) {
        node.addText(*text);
    }
    return text.has_value();
}

// `raw` lies inside the document, so an unknown entity's place can be reported.
std::optional<std::string_view> Reader::decode(std::string_view raw) {
    // Values are short: a plain loop beats a library call on each.
    if (std::none_of(raw.begin(), raw.end(), [](char c) { return c == '&'; })) {
        return raw;
    }
    const auto decoded = decodeEntities(raw);
    if (const auto* text = std::get_if<std::string>(&decoded)) {
        return document_.keep(*text);
    }
    const auto& unknown = std::get<UnknownEntity>(decoded);
    std::cout << "unknown escape character: '&" << unknown.reference << "'\n" << std::flush;
    const auto rawBegin = static_cast<std::size_t>(raw.data() - tokens_.document().data());
    stop(LoadCode::UnknownEntity, rawBegin + unknown.offset);
    return std::nullopt;
}

// `</profil_1>` closes Profil_1, but `</Profil_10>` does not: the name must end where the
// element's name does.
bool Reader::namesElement(const Node& node, std::size_t endTagNameBegin) const {
    if (!node.name) {
        return false;
    }
    const std::string_view rest = tokens_.document().substr(endTagNameBegin);
    // Most end tags spell the name as the start tag did; the byte compare settles those cheaply.
    if (!rest.starts_with(*node.name) && !text::startsWithIgnoringCase(rest, *node.name)) {
        return false;
    }
    const std::size_t after = node.name->size();
    if (after == rest.size()) {
        return false;
    }
    const char c = rest[after];
    return isWhiteSpace(c) || c == '/' || c == '<' || c == '=' || c == '>';
}

void Reader::setPlace(LoadResult& result, std::size_t offset) const {
    std::int32_t line = 1;
    std::int32_t column = 1;
    for (const char c : tokens_.document().substr(0, offset)) {
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    result.line = line;
    result.column = column;
}

}  // namespace

DocNode LoadText(std::string_view text, LoadResult& result) {
    // Counted before the tree's memory is taken: a file of nothing but `<a/>` would need about
    // fifty times its size.
    const std::string_view read = text.substr(0, text.find('\0'));
    std::size_t startTags = 0;
    for (std::size_t at = read.find('<'); at != std::string_view::npos;
         at = read.find('<', at + 1)) {
        if (at + 1 == read.size() || read[at + 1] != '/') {
            ++startTags;
        }
    }
    if (startTags > kMaxElements) {
        result = {};
        result.code = LoadCode::TooManyElements;
        return {};
    }
    return Reader(text).read(result);
}

DocNode LoadFile(const std::filesystem::path& path, LoadResult& result) {
    const text::FileBytes text = text::readTextFile(path);
    if (text.problem != text::FileProblem::None) {
        result = {};
        result.code = LoadCode::FileNotFound;
        result.fileProblem = text.problem;
        return {};
    }
    const DocNode top = LoadText(text.bytes, result);
    result.charactersLost = text.charactersLost;
    return top;
}

}  // namespace tavero::store::xml
