// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory_resource>
#include <string_view>

#include "store/xml/DocNode.h"

namespace tavero::store::xml {

struct Node;

/// Owns every node of one document and every string they refer to, in one arena: a document is
/// built and released as a whole, so nodes need neither their own allocations, nor counts, nor
/// destroying.
class Document {
public:
    /// `expectedBytes` sizes the arena's first block; more blocks follow as needed.
    explicit Document(std::size_t expectedBytes);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    /// A new document's top node; handles to any of its nodes keep the whole document.
    static DocNode createTop(std::size_t expectedBytes);

    Node& newNode();
    /// A copy of `text` that lives as long as the document.
    std::string_view keep(std::string_view text);
    /// As keep(), with a 0 byte after the copy's end (also for an empty text).
    std::string_view keepWithNul(std::string_view text);
    std::pmr::memory_resource* arena() { return &arena_; }

private:
    std::pmr::monotonic_buffer_resource arena_;
};

}  // namespace tavero::store::xml
