// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory_resource>
#include <span>
#include <type_traits>

namespace tavero::store::xml {

/// A list whose items live in a document's arena. Growing leaves the old items where they are;
/// the arena gives everything back at once, so neither the list nor its items need destroying.
template <typename T>
class ArenaList {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](std::size_t index) const { return items_[index]; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }

    void append(std::pmr::memory_resource& arena, std::span<const T> items) {
        if (size_ + items.size() > capacity_) {
            grow(arena, size_ + items.size());
        }
        std::copy(items.begin(), items.end(), items_ + size_);
        size_ += items.size();
    }

    void append(std::pmr::memory_resource& arena, const T& item) { append(arena, {&item, 1}); }

private:
    void grow(std::pmr::memory_resource& arena, std::size_t needed) {
        const std::size_t capacity = std::max({needed, 2 * capacity_, std::size_t{4}});
        T* const items = static_cast<T*>(arena.allocate(capacity * sizeof(T), alignof(T)));
        std::copy(items_, items_ + size_, items);
        items_ = items;
        capacity_ = capacity;
    }

    T* items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace tavero::store::xml
