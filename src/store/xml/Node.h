// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "store/xml/ArenaList.h"

namespace tavero::store::xml {

class Document;

/// Names, values and texts below are views into their document's storage.
struct Attribute {
    std::string_view name;
    std::optional<std::string_view> value;  ///< none for an attribute written without `=`
};

struct Verbatim {
    std::string_view opening;
    std::string_view content;
    std::string_view closing;
};

enum class EntryKind : std::uint8_t { Element, Text, Verbatim };

/// One item of a node's content in the order it was added; `index` points into the list of its
/// kind. Attributes are not listed: they are always written in the start tag.
struct Entry {
    EntryKind kind;
    std::size_t index;
};

/// What a `DocNode` refers to. Only the reader and the writer look inside. Its document owns it
/// and everything it refers to.
struct Node {
    Document* document = nullptr;
    std::optional<std::string_view> name;  ///< none for the top of a document
    bool declaration = false;
    ArenaList<Node*> elements;
    ArenaList<Attribute> attributes;
    ArenaList<std::string_view> texts;
    ArenaList<Verbatim> verbatims;
    ArenaList<Entry> order;  ///< the writer follows it

    /// The views must already live in the document.
    Node& addElement(std::string_view elementName, bool isDeclaration);
    void addAttributes(std::span<const Attribute> tag);
    void addText(std::string_view text);
    void addVerbatim(const Verbatim& section);

    bool hasContent() const { return !order.empty(); }
};

}  // namespace tavero::store::xml
