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

constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> table{};
    for (const Entity& e : kEntities) {
        table[static_cast<unsigned char>(e.character)] = true;
    }
    return table;
}();
constexpr std::size_t kReportedReferenceLength = 11;

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!kEscaped[static_cast<unsigned char>(text[at])]) {
            continue;
        }
        out.append(text, from, at - from);
        const auto entity =
            std::find_if(kEntities.begin(), kEntities.end(),
                         [c = text[at]](const Entity& e) { return e.character == c; });
        out += '&';
        out += entity->name;
        out += ';';
        from = at + 1;
    }
    out.append(text, from);
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
