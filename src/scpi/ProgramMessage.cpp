// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/ProgramMessage.h"

#include "scpi/ScpiError.h"

namespace tavero::scpi {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool isMnemonicChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

/// Calls `cut(position)` at each `separator` outside quotes; false when a quote stays open.
template <typename Cut>
bool forEachSeparator(std::string_view text, char separator, Cut cut) {
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;  // a doubled quote closes and reopens, which reads the same
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == separator) {
            cut(i);
        }
    }
    return quote == 0;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string mnemonic(std::string_view& rest) {
    std::string name;
    // A hyphen between letters belongs to the name, as in Siglent's IDN-SGLT-PRI; "FREQ-1"
    // stays a header directly followed by a number.
    while (!rest.empty() &&
           (isMnemonicChar(rest.front()) ||
            (rest.front() == '-' && !name.empty() && rest.size() > 1 && isLetter(rest[1])))) {
        name += upper(rest.front());
        rest.remove_prefix(1);
    }
    if (name.empty() || !((name.front() >= 'A' && name.front() <= 'Z'))) {
        throw ScpiError(kSyntaxError, "header expected");
    }
    return name;
}

std::vector<std::string> parameterList(std::string_view text) {
    std::vector<std::string> parameters;
    text = trimmed(text);
    if (text.empty()) {
        return parameters;
    }
    std::size_t start = 0;
    const bool closed = forEachSeparator(text, ',', [&](std::size_t at) {
        parameters.emplace_back(trimmed(text.substr(start, at - start)));
        start = at + 1;
    });
    if (!closed) {
        throw ScpiError(kSyntaxError, "string not terminated");
    }
    parameters.emplace_back(trimmed(text.substr(start)));
    for (const std::string& p : parameters) {
        if (p.empty()) {
            throw ScpiError(kSyntaxError, "empty parameter");
        }
    }
    return parameters;
}

}  // namespace

std::vector<std::string_view> splitUnits(std::string_view line) {
    std::vector<std::string_view> units;
    std::size_t start = 0;
    forEachSeparator(line, ';', [&](std::size_t at) {
        units.push_back(line.substr(start, at - start));
        start = at + 1;
    });
    units.push_back(line.substr(start));
    return units;
}

ProgramUnit parseUnit(std::string_view text) {
    ProgramUnit unit;
    std::string_view rest = trimmed(text);
    if (rest.empty()) {
        return unit;
    }
    if (rest.front() == '*') {
        rest.remove_prefix(1);
        unit.common = true;
        unit.nodes.push_back(mnemonic(rest));
    } else {
        if (rest.front() == ':') {
            unit.rooted = true;
            rest.remove_prefix(1);
        }
        unit.nodes.push_back(mnemonic(rest));
        while (!rest.empty() && rest.front() == ':') {
            rest.remove_prefix(1);
            unit.nodes.push_back(mnemonic(rest));
        }
    }
    if (!rest.empty() && rest.front() == '?') {
        unit.query = true;
        rest.remove_prefix(1);
    }
    if (!rest.empty() && !isBlank(rest.front())) {
        throw ScpiError(kSyntaxError, "unexpected character in header");
    }
    unit.parameters = parameterList(rest);
    return unit;
}

std::string unquote(std::string_view parameter) {
    if (parameter.size() < 2 || (parameter.front() != '"' && parameter.front() != '\'') ||
        parameter.back() != parameter.front()) {
        throw ScpiError(kDataTypeError, "a quoted string is expected");
    }
    const char quote = parameter.front();
    std::string text;
    for (std::size_t i = 1; i + 1 < parameter.size(); ++i) {
        if (parameter[i] == quote) {
            if (parameter[i + 1] != quote || i + 2 == parameter.size()) {
                throw ScpiError(kDataTypeError, "a quoted string is expected");
            }
            ++i;
        }
        text += parameter[i];
    }
    return text;
}

}  // namespace tavero::scpi
