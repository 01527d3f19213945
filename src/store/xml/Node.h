// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/xml/DocNode.h"

namespace tavero::store::xml {

struct Attribute {
    std::string name;
    std::optional<std::string> value;  ///< none for an attribute written without `=`
};

struct Verbatim {
    std::string opening;
    std::string content;
    std::string closing;
};

enum class EntryKind : std::uint8_t { Element, Attribute, Text, Verbatim };

/// One item of a node in the order it was added; `index` points into the list of its kind.
struct Entry {
    EntryKind kind;
    std::size_t index;
};

/// What a `DocNode` refers to. Only the reader and the writer look inside.
struct Node {
    std::optional<std::string> name;  ///< none for the top of a document
    bool declaration = false;
    std::vector<DocNode> elements;
    std::vector<Attribute> attributes;
    std::vector<std::string> texts;
    std::vector<Verbatim> verbatims;
    std::vector<Entry> order;  ///< the writer follows it

    Node& addElement(std::string elementName, bool isDeclaration);
    void addAttribute(std::string attributeName, std::optional<std::string> value);
    /// Moves all of `tag` over in one step, leaving it empty.
    void addAttributes(std::vector<Attribute>& tag);
    void addText(std::string text);
    void addVerbatim(Verbatim section);

    bool hasContent() const { return !elements.empty() || !texts.empty() || !verbatims.empty(); }
};

}  // namespace tavero::store::xml
