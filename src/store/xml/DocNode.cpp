// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/DocNode.h"

#include <utility>

#include "store/text/Windows1252.h"
#include "store/xml/Node.h"

namespace tavero::store::xml {

Node& Node::addElement(std::string elementName, bool isDeclaration) {
    auto child = std::make_shared<Node>();
    child->name = std::move(elementName);
    child->declaration = isDeclaration;
    order.push_back({EntryKind::Element, elements.size()});
    elements.emplace_back(child);
    return *child;
}

void Node::addAttribute(std::string attributeName, std::optional<std::string> value) {
    order.push_back({EntryKind::Attribute, attributes.size()});
    attributes.push_back({std::move(attributeName), std::move(value)});
}

void Node::addAttributes(std::vector<Attribute>& tag) {
    attributes.reserve(attributes.size() + tag.size());
    order.reserve(order.size() + tag.size());
    for (Attribute& attribute : tag) {
        order.push_back({EntryKind::Attribute, attributes.size()});
        attributes.push_back(std::move(attribute));
    }
    tag.clear();
}

void Node::addText(std::string text) {
    order.push_back({EntryKind::Text, texts.size()});
    texts.push_back(std::move(text));
}

void Node::addVerbatim(Verbatim section) {
    order.push_back({EntryKind::Verbatim, verbatims.size()});
    verbatims.push_back(std::move(section));
}

DocNode CreateTop() {
    return DocNode(std::make_shared<Node>());
}

DocNode AppendElement(const DocNode& node, std::string_view name, bool declaration) {
    if (node.isNull() || name.empty()) {
        return {};
    }
    node.get()->addElement(std::string(name), declaration);
    return node.get()->elements.back();
}

void AppendAttribute(const DocNode& node, std::string_view name, std::string_view value) {
    if (!node.isNull() && !name.empty()) {
        node.get()->addAttribute(std::string(name), std::string(value));
    }
}

void AppendText(const DocNode& node, std::string_view text) {
    if (!node.isNull()) {
        node.get()->addText(std::string(text));
    }
}

void AppendVerbatim(const DocNode& node, std::string_view opening, std::string_view content,
                    std::string_view closing) {
    if (!node.isNull()) {
        node.get()->addVerbatim({std::string(opening), std::string(content), std::string(closing)});
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
        const auto& childName = elements[i].get()->name;
        if (childName && text::equalsIgnoringCase(*childName, name)) {
            position = i + 1;
            return elements[i];
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
    return node.get()->elements[index];
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
            return attributes[i].value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TextAt(const DocNode& node, std::size_t index) {
    if (node.isNull() || index >= node.get()->texts.size()) {
        return std::nullopt;
    }
    return node.get()->texts[index];
}

std::optional<std::string> Name(const DocNode& node) {
    return node.isNull() ? std::nullopt : node.get()->name;
}

bool IsDeclaration(const DocNode& node) {
    return !node.isNull() && node.get()->declaration;
}

std::size_t EntryCount(const DocNode& node) {
    return node.isNull() ? 0 : node.get()->order.size();
}

}  // namespace tavero::store::xml
