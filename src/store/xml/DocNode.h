// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tavero::store::xml {

struct Node;

/// A shared handle to one node of a document, or a null handle. Copies share the node, which
/// lives as long as a handle to any node of its document does: releasing a document keeps alive
/// the elements that are still held elsewhere.
class DocNode {
public:
    DocNode() = default;
    explicit DocNode(std::shared_ptr<Node> node) : node_(std::move(node)) {}
    /// A handle to `node`, which belongs to the same document as `sameDocument`.
    DocNode(const DocNode& sameDocument, Node* node) : node_(sameDocument.node_, node) {}

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    /// The node itself, for the reader and the writer; null for a null handle.
    Node* get() const { return node_.get(); }

    /// True when both refer to the same node (or both are null).
    friend bool operator==(const DocNode&, const DocNode&) = default;

private:
    std::shared_ptr<Node> node_;
};

// Building. Appending to a null handle does nothing.

/// A new node without name or content: the top of a document.
DocNode CreateTop();

/// Appends a child element; an empty name appends nothing and gives a null handle.
/// A declaration element (`<?name ...?>`) holds what follows it in the document.
DocNode AppendElement(const DocNode& node, std::string_view name, bool declaration = false);

/// Appends an attribute with a value; an empty name appends nothing.
void AppendAttribute(const DocNode& node, std::string_view name, std::string_view value);

/// Appends a text; an empty text is kept (and written as nothing).
void AppendText(const DocNode& node, std::string_view text);

/// Appends a section written as it is, e.g. ("<!--", " note ", "-->").
void AppendVerbatim(const DocNode& node, std::string_view opening, std::string_view content,
                    std::string_view closing);

// Reading. A null handle reads as a node without anything; letter case in names is compared as
// Windows-1252 defines it.

/// The first child element named `name`, or a null handle.
DocNode FindElement(const DocNode& node, std::string_view name);

/// The first child element named `name` from index `position` on; on a match `position` becomes
/// the index after it, so that repeated calls visit every such element.
DocNode FindElement(const DocNode& node, std::string_view name, std::size_t& position);

std::size_t ElementCount(const DocNode& node);

/// The child element at `index` (from 0), or a null handle.
DocNode ElementAt(const DocNode& node, std::size_t index);

/// The value of the first attribute named `name`; nothing if there is none or it has no value.
std::optional<std::string> AttributeValue(const DocNode& node, std::string_view name);

/// As above, from attribute index `position` on; on a match `position` becomes the index after it.
std::optional<std::string> AttributeValue(const DocNode& node, std::string_view name,
                                          std::size_t& position);

/// The text at `index` (from 0) among the node's texts, or nothing.
std::optional<std::string> TextAt(const DocNode& node, std::size_t index);

/// The element's name; nothing for the top node and a null handle.
std::optional<std::string> Name(const DocNode& node);

bool IsDeclaration(const DocNode& node);

/// Child elements, attributes, texts and verbatim sections together.
std::size_t EntryCount(const DocNode& node);

}  // namespace tavero::store::xml
