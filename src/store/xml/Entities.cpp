// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/Entities.h"

#include <algorithm>
#include <array>

#include "store/text/Windows1252.h"

namespace tavero::store::xml {

namespace {

struct Entity {
    char character;
    std::string_view name;  ///< between '&' and ';'
};

constexpr std::array<Entity, 5> kEntities = {{
    {'<', "lt"},
    {'>', "gt"},
    {'&', "amp"},
    {'\'', "apos"},
    {'"', "quot"},
}};

/// What each byte becomes when written: itself, or its entity.
struct Escape {
    std::string_view name;  ///< of the entity; empty for a byte kept as it is
    std::size_t size;       ///< written
};

constexpr std::array<Escape, 256> kEscapes = [] {
    std::array<Escape, 256> table{};
    for (Escape& escape : table) {
        escape = {{}, 1};
    }
    for (const Entity& e : kEntities) {
        table[static_cast<unsigned char>(e.character)] = {e.name, e.name.size() + 2};
    }
    return table;
}();
constexpr std::size_t kReportedReferenceLength = 11;

}  // namespace

std::size_t escapedSize(std::string_view text) {
    std::size_t size = 0;
    for (const char c : text) {
        size += kEscapes[static_cast<unsigned char>(c)].size;
    }
    return size;
}

char* copyEscaped(char* out, std::string_view text) {
    for (const char c : text) {
        const Escape& escape = kEscapes[static_cast<unsigned char>(c)];
        if (escape.name.empty()) {
            *out++ = c;
        } else {
            *out++ = '&';
            out = std::copy(escape.name.begin(), escape.name.end(), out);
            *out++ = ';';
        }
    }
    return out;
}

std::variant<std::string, UnknownEntity> decodeEntities(std::string_view raw) {
    if (raw.find('&') == std::string_view::npos) {
        return std::string(raw);
    }
    std::string decoded;
    decoded.reserve(raw.size());
    std::size_t from = 0;
    for (std::size_t at = raw.find('&'); at != std::string_view::npos; at = raw.find('&', from)) {
        decoded.append(raw, from, at - from);
        const std::string_view rest = raw.substr(at + 1);
        const auto entity =
            std::find_if(kEntities.begin(), kEntities.end(), [rest](const Entity& e) {
                return rest.size() > e.name.size() && rest[e.name.size()] == ';' &&
                       text::startsWithIgnoringCase(rest, e.name);
            });
        if (entity == kEntities.end()) {
            const std::size_t semicolon = rest.find(';');
            const std::size_t length =
                std::min(semicolon == std::string_view::npos ? rest.size() : semicolon + 1,
                         kReportedReferenceLength);
            return UnknownEntity{at, std::string(rest.substr(0, length))};
        }
        decoded += entity->character;
        from = at + 1 + entity->name.size() + 1;
    }
    decoded.append(raw, from);
    return decoded;
}

}  // namespace tavero::store::xml
