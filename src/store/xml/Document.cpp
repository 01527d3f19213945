// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/Document.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "store/xml/Node.h"

namespace tavero::store::xml {

namespace {

/// Below this the arena's blocks would be too small to hold a useful number of nodes.
constexpr std::size_t kMinimumFirstBlock = 4096;

}  // namespace

Document::Document(std::size_t expectedBytes)
    : arena_(std::max(expectedBytes, kMinimumFirstBlock)) {}

DocNode Document::createTop(std::size_t expectedBytes) {
    auto document = std::make_shared<Document>(expectedBytes);
    Node& top = document->newNode();
    return DocNode(std::shared_ptr<Node>(document, &top));
}

Node& Document::newNode() {
    static_assert(std::is_trivially_destructible_v<Node>,
                  "nodes go with the arena, without being destroyed");
    Node* const node = new (arena_.allocate(sizeof(Node), alignof(Node))) Node;
    node->document = this;
    return *node;
}

std::string_view Document::keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    auto* copy = static_cast<char*>(arena_.allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

std::string_view Document::keepWithNul(std::string_view text) {
    auto* copy = static_cast<char*>(arena_.allocate(text.size() + 1, 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return {copy, text.size()};
}

}  // namespace tavero::store::xml
