// SPDX-License-Identifier: GPL-3.0-or-later
#include "vxi11/Xdr.h"

namespace tavero::vxi11 {

namespace {

std::size_t padded(std::size_t bytes) {
    return (bytes + 3) & ~std::size_t{3};
}

}  // namespace

std::string_view XdrReader::take(std::size_t bytes) {
    if (bytes > remaining()) {
        throw XdrError("the arguments end early");
    }
    const std::string_view taken = data_.substr(position_, bytes);
    position_ += bytes;
    return taken;
}

std::uint32_t XdrReader::uint32() {
    const std::string_view unit = take(4);
    std::uint32_t value = 0;
    for (const char byte : unit) {
        value = (value << 8) | static_cast<unsigned char>(byte);
    }
    return value;
}

std::string_view XdrReader::opaque(std::size_t maxBytes) {
    const std::uint32_t length = uint32();
    if (length > maxBytes) {
        throw XdrError("opaque data beyond its bound");
    }
    const std::string_view bytes = take(length);
    take(padded(length) - length);
    return bytes;
}

void XdrWriter::uint32(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes_.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void XdrWriter::opaque(std::string_view bytes) {
    uint32(static_cast<std::uint32_t>(bytes.size()));
    bytes_.append(bytes);
    bytes_.append(padded(bytes.size()) - bytes.size(), '\0');
}

}  // namespace tavero::vxi11
