// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/DocNode.h"

#include "store/text/Windows1252.h"
#include "store/xml/Document.h"
#include "store/xml/Node.h"

namespace tavero::store::xml {

Node& Node::addElement(std::string_view elementName, bool isDeclaration) {
    Node& child = document->newNode();
    child.name = elementName;
    child.declaration = isDeclaration;
    order.append(*document->arena(), {EntryKind::Element, elements.size()});
    elements.append(*document->arena(), &child);
    return child;
}

void Node::addAttributes(std::span<const Attribute> tag) {
    attributes.append(*document->arena(), tag);
}

void Node::addText(std::string_view text) {
    order.append(*document->arena(), {EntryKind::Text, texts.size()});
    texts.append(*document->arena(), text);
}

void Node::addVerbatim(const Verbatim& section) {
    order.append(*document->arena(), {EntryKind::Verbatim, verbatims.size()});
    verbatims.append(*document->arena(), section);
}

DocNode CreateTop() {
    return Document::createTop(0);
}

DocNode AppendElement(const DocNode& node, std::string_view name, bool declaration) {
    if (node.isNull() || name.empty()) {
        return {};
    }
    Node& parent = *node.get();
    return DocNode(node, &parent.addElement(parent.document->keep(name), declaration));
}

void AppendAttribute(const DocNode& node, std::string_view name, std::string_view value) {
    if (!node.isNull() && !name.empty()) {
        Document& document = *node.get()->document;
        const Attribute attribute{document.keep(name), document.keep(value)};
        node.get()->addAttributes({&attribute, 1});
    }
}

void AppendText(const DocNode& node, std::string_view text) {
    if (!node.isNull()) {
        node.get()->addText(node.get()->document->keep(text));
    }
}

void AppendVerbatim(const DocNode& node, std::string_view opening, std::string_view content,
                    std::string_view closing) {
    if (!node.isNull()) {
        Document& document = *node.get()->document;
        node.get()->addVerbatim(
            {document.keep(opening), document.keep(content), document.keep(closing)});
    }
}

DocNode FindElement(const DocNode& node, std::string_view name) {
    std::size_t position = 0;
    return FindElement(node, name, position);
}

DocNode FindElement(const DocNode& node, std::string_view name, std::size_t& position) {
    if (node.isNull()) {
        return {};
    }
    const auto& elements = node.get()->elements;
    for (std::size_t i = position; i < elements.size(); ++i) {
        const auto& childName = elements[i]->name;
        if (childName && text::equalsIgnoringCase(*childName, name)) {
            position = i + 1;
            return DocNode(node, elements[i]);
        }
    }
    return {};
}

std::size_t ElementCount(const DocNode& node) {
    return node.isNull() ? 0 : node.get()->elements.size();
}

DocNode ElementAt(const DocNode& node, std::size_t index) {
    if (index >= ElementCount(node)) {
        return {};
    }
    return DocNode(node, node.get()->elements[index]);
}

std::optional<std::string> AttributeValue(const DocNode& node, std::string_view name) {
    std::size_t position = 0;
    return AttributeValue(node, name, position);
}

std::optional<std::string> AttributeValue(const DocNode& node, std::string_view name,
                                          std::size_t& position) {
    if (node.isNull()) {
        return std::nullopt;
    }
    const auto& attributes = node.get()->attributes;
    for (std::size_t i = position; i < attributes.size(); ++i) {
        if (text::equalsIgnoringCase(attributes[i].name, name)) {
            position = i + 1;
            const auto& value = attributes[i].value;
            return value ? std::optional<std::string>(*value) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TextAt(const DocNode& node, std::size_t index) {
    if (node.isNull() || index >= node.get()->texts.size()) {
        return std::nullopt;
    }
    return std::string(node.get()->texts[index]);
}

std::optional<std::string> Name(const DocNode& node) {
    if (node.isNull() || !node.get()->name) {
        return std::nullopt;
    }
    return std::string(*node.get()->name);
}

bool IsDeclaration(const DocNode& node) {
    return !node.isNull() && node.get()->declaration;
}

std::size_t EntryCount(const DocNode& node) {
    return node.isNull() ? 0 : node.get()->order.size() + node.get()->attributes.size();
}

}  // namespace tavero::store::xml
