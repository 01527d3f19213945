// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavero::vxi11 {

/// Arguments that end early or hold a length beyond its bound.
class XdrError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads XDR items (big-endian 4-byte units, opaque data padded to 4) from a record; throws
/// XdrError rather than read past its end.
class XdrReader {
public:
    explicit XdrReader(std::string_view data) : data_(data) {}

    std::uint32_t uint32();
    std::int32_t int32() { return static_cast<std::int32_t>(uint32()); }
    bool boolean() { return uint32() != 0; }
    /// Variable-length opaque data or a string of at most `maxBytes`.
    std::string_view opaque(std::size_t maxBytes);
    std::size_t remaining() const { return data_.size() - position_; }

private:
    std::string_view take(std::size_t bytes);

    std::string_view data_;
    std::size_t position_ = 0;
};

/// Writes XDR items.
class XdrWriter {
public:
    void uint32(std::uint32_t value);
    void int32(std::int32_t value) { uint32(static_cast<std::uint32_t>(value)); }
    void opaque(std::string_view bytes);
    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

}  // namespace tavero::vxi11
