// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/DeviceErrors.h"

#include <array>
#include <string>

namespace tavero::scpi {

namespace {

struct MessageCode {
    std::string_view start;
    int code;
};

constexpr std::array<MessageCode, 6> kCodes = {{
    {"Antwort nicht OK", kDeviceNotOk},
    {"Antwort passt nicht auf gesendeten Befehl", kDeviceWrongReply},
    {"Fehler beim lesen", kDeviceReadFailed},
    {"Fehler beim senden", kDeviceSendFailed},
    {"Es konnte keine Datenverbindung", kDeviceNotConnected},
    {"Datenverbindung konnte nicht geschlossen", kDeviceCloseFailed},
}};

}  // namespace

ErrorEntry deviceError(std::string_view messages, int fallbackCode) {
    std::string text;
    bool blank = true;
    for (const char c : messages) {
        const bool space = c == '\n' || c == '\r' || c == ' ' || c == '\t';
        if (space && !blank) {
            text += ' ';
        } else if (!space) {
            text += c;
        }
        blank = space;
    }
    if (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    for (const MessageCode& known : kCodes) {
        if (text.starts_with(known.start)) {
            return {known.code, text};
        }
    }
    return {fallbackCode, text};
}

}  // namespace tavero::scpi
