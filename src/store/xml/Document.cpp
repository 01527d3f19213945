// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/Document.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "store/xml/Node.h"

namespace tavero::store::xml {

namespace {

/// Below this the arena's blocks would be too small to hold a useful number of nodes.
constexpr std::size_t kMinimumFirstBlock = 4096;

}  // namespace

Document::Document(std::size_t expectedBytes)
    : arena_(std::max(expectedBytes, kMinimumFirstBlock)), nodes_(&arena_) {}

Document::~Document() {
    for (Node* node : nodes_) {
        node->~Node();
    }
}

DocNode Document::createTop(std::size_t expectedBytes) {
    auto document = std::make_shared<Document>(expectedBytes);
    Node& top = document->newNode();
    return DocNode(std::shared_ptr<Node>(document, &top));
}

Node& Document::newNode() {
    void* place = arena_.allocate(sizeof(Node), alignof(Node));
    // Listed before it is made, so that no node is left out; making one cannot fail.
    Node*& slot = nodes_.emplace_back();
    slot = new (place) Node(*this);
    return *slot;
}

std::string_view Document::keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    auto* copy = static_cast<char*>(arena_.allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

}  // namespace tavero::store::xml
