// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/InstanceProtocol.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace tavero::ctl {

namespace {

/// Verbs and keys are short lower-case words.
constexpr std::size_t kWordLimit = 16;
/// More fields than any line of the protocol has.
constexpr std::size_t kFieldLimit = 16;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

bool isWord(std::string_view text) {
    return !text.empty() && text.size() <= kWordLimit &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool needsEscape(unsigned char byte) {
    return byte <= ' ' || byte == '%' || byte == 0x7F;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte)) {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<int> hexDigit(char c) {
    const std::size_t at = kHexDigits.find(c);
    return at == std::string_view::npos ? std::nullopt : std::optional(static_cast<int>(at));
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const std::optional<int> high = hexDigit(text[i + 1]);
        const std::optional<int> low = hexDigit(text[i + 2]);
        if (!high || !low) {
            return std::nullopt;
        }
        out += static_cast<char>(*high << 4 | *low);
        i += 2;
    }
    return out;
}

template <typename Number>
std::optional<Number> number(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> flag(const InstanceLine& line, std::string_view key) {
    const std::string* value = line.find(key);
    if (value == nullptr || (*value != "0" && *value != "1")) {
        return std::nullopt;
    }
    return *value == "1";
}

}  // namespace

std::string instanceSocketName(std::string_view canonicalDevicePath) {
    // 64-bit FNV-1a; the welcome names the device, so a clash is noticed, not acted on.
    std::uint64_t hash = 0xcbf29ce484222325U;
    for (const char c : canonicalDevicePath) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3U;
    }
    std::string name = "generator-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHexDigits[(hash >> shift) & 0x0F];
    }
    return name;
}

const std::string* InstanceLine::find(std::string_view key) const {
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [key](const auto& field) { return field.first == key; });
    return found == fields.end() ? nullptr : &found->second;
}

InstanceLine& InstanceLine::add(std::string key, std::string value) {
    fields.emplace_back(std::move(key), std::move(value));
    return *this;
}

std::string formatInstanceLine(const InstanceLine& line) {
    std::string text = line.verb;
    for (const auto& [key, value] : line.fields) {
        text += ' ' + key + '=' + escaped(value);
    }
    return text + '\n';
}

std::optional<InstanceLine> parseInstanceLine(std::string_view text) {
    if (text.size() >= kInstanceLineLimit || std::any_of(text.begin(), text.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < ' ' || byte == 0x7F;
        })) {
        return std::nullopt;
    }
    InstanceLine line;
    const std::size_t verbEnd = std::min(text.find(' '), text.size());
    line.verb = text.substr(0, verbEnd);
    if (!isWord(line.verb)) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(verbEnd);
    while (!rest.empty()) {
        rest.remove_prefix(1);  // the blank before the field
        const std::string_view field = rest.substr(0, rest.find(' '));
        rest.remove_prefix(field.size());
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos || line.fields.size() == kFieldLimit) {
            return std::nullopt;
        }
        const std::string_view key = field.substr(0, equals);
        std::optional<std::string> value = unescaped(field.substr(equals + 1));
        if (!isWord(key) || !value || line.find(key) != nullptr) {
            return std::nullopt;
        }
        line.add(std::string(key), std::move(*value));
    }
    return line;
}

std::string formatSettings(const GeneratorSettings& settings) {
    std::string text;
    for (const SettingsField& field : settingsFields()) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(field.get(settings));
    }
    return text;
}

std::optional<GeneratorSettings> parseSettings(std::string_view text) {
    GeneratorSettings settings;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == kSettingsFieldCount;
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        const std::optional<std::int64_t> value = number<std::int64_t>(text.substr(0, comma));
        if (!value) {
            return std::nullopt;
        }
        // A value wider than its field would be cut short: refused rather than changed.
        const SettingsField& field = settingsFields()[i];
        field.set(settings, *value);
        if (field.get(settings) != *value) {
            return std::nullopt;
        }
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    return settings;
}

InstanceLine applyRequest(const model::Edit& edit) {
    char fields[8];
    const auto end = std::to_chars(fields, fields + sizeof fields, edit.fields.to_ulong(), 16).ptr;
    return InstanceLine{"apply", {}}
        .add("fields", std::string(fields, end))
        .add("commands", edit.commands)
        .add("restore", edit.restoreOnFailure ? "1" : "0")
        .add("settings", formatSettings(edit.values));
}

std::optional<model::Edit> editOf(const InstanceLine& request) {
    const std::string* fields = request.find("fields");
    const std::string* commands = request.find("commands");
    const std::string* settings = request.find("settings");
    const std::optional<bool> restore = flag(request, "restore");
    if (fields == nullptr || commands == nullptr || settings == nullptr || !restore ||
        commands->size() > model::kSettingsCommands.size() * 2 ||
        commands->find_first_not_of(model::kSettingsCommands) != std::string::npos) {
        return std::nullopt;
    }
    const std::optional<unsigned long> bits = number<unsigned long>(*fields, 16);
    const std::optional<GeneratorSettings> values = parseSettings(*settings);
    if (!bits || *bits >> kSettingsFieldCount != 0 || !values) {
        return std::nullopt;
    }
    return model::Edit{*values, model::FieldSet(*bits), *commands, *restore};
}

InstanceLine doneLine(const InstanceOutcome& outcome) {
    return InstanceLine{"done", {}}
        .add("ok", outcome.ok ? "1" : "0")
        .add("lost", outcome.lost ? "1" : "0")
        .add("firmware", std::to_string(outcome.firmwareVersion))
        .add("settings", formatSettings(outcome.settings));
}

std::optional<InstanceOutcome> outcomeOf(const InstanceLine& done) {
    const std::optional<bool> ok = flag(done, "ok");
    const std::optional<bool> lost = flag(done, "lost");
    const std::string* firmware = done.find("firmware");
    const std::string* settings = done.find("settings");
    if (done.verb != "done" || !ok || !lost || firmware == nullptr || settings == nullptr) {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> version = number<std::uint16_t>(*firmware);
    const std::optional<GeneratorSettings> values = parseSettings(*settings);
    if (!version || !values) {
        return std::nullopt;
    }
    return InstanceOutcome{*ok, *lost, *version, *values};
}

InstanceLine welcomeLine(const HolderIdentity& holder) {
    return InstanceLine{"welcome", {}}
        .add("version", std::to_string(kInstanceProtocolVersion))
        .add("pid", std::to_string(holder.processId))
        .add("program", holder.program)
        .add("device", holder.device)
        .add("window", holder.hasWindow ? "1" : "0");
}

std::optional<HolderIdentity> holderOf(const InstanceLine& welcome) {
    const std::string* version = welcome.find("version");
    const std::string* pid = welcome.find("pid");
    const std::string* program = welcome.find("program");
    const std::string* device = welcome.find("device");
    const std::optional<bool> window = flag(welcome, "window");
    if (welcome.verb != "welcome" || version == nullptr ||
        *version != std::to_string(kInstanceProtocolVersion) || pid == nullptr ||
        program == nullptr || device == nullptr || !window) {
        return std::nullopt;
    }
    const std::optional<long long> processId = number<long long>(*pid);
    if (!processId || *processId <= 0) {
        return std::nullopt;
    }
    return HolderIdentity{*program, *processId, *device, *window};
}

}  // namespace tavero::ctl
