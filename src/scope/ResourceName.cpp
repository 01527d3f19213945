// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ResourceName.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace tavero::scope {

namespace {

bool equalsKeyword(std::string_view text, std::string_view keyword) {
    return text.size() == keyword.size() &&
           std::equal(text.begin(), text.end(), keyword.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

std::vector<std::string_view> fields(std::string_view name) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t separator = name.find("::");
        parts.push_back(name.substr(0, separator));
        if (separator == std::string_view::npos) {
            return parts;
        }
        name.remove_prefix(separator + 2);
    }
}

/// "TCPIP" followed by an optional board number.
bool isTcpip(std::string_view field) {
    if (field.size() < 5 || !equalsKeyword(field.substr(0, 5), "TCPIP")) {
        return false;
    }
    return std::all_of(field.begin() + 5, field.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::optional<Resource> parseResource(std::string_view name) {
    if (name.starts_with("/dev/usbtmc") && name.size() > 11 &&
        std::all_of(name.begin() + 11, name.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        Resource device;
        device.kind = Resource::Kind::kUsbtmc;
        device.path = name;
        return device;
    }
    const std::vector<std::string_view> parts = fields(name);
    if (parts.size() < 3 || !isTcpip(parts[0]) || parts[1].empty()) {
        return std::nullopt;
    }
    Resource resource;
    resource.host = parts[1];
    if (parts.size() == 4 && equalsKeyword(parts[3], "SOCKET")) {
        const auto [end, error] =
            std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), resource.port);
        if (error != std::errc{} || end != parts[2].data() + parts[2].size() ||
            resource.port == 0) {
            return std::nullopt;
        }
        resource.kind = Resource::Kind::kSocket;
        return resource;
    }
    if (!equalsKeyword(parts.back(), "INSTR") || parts.size() > 4) {
        return std::nullopt;
    }
    if (parts.size() == 4) {
        if (parts[2].empty()) {
            return std::nullopt;
        }
        resource.device = parts[2];
    }
    return resource;
}

std::string vxi11ResourceName(std::string_view host) {
    return "TCPIP::" + std::string(host) + "::INSTR";
}

}  // namespace tavero::scope
