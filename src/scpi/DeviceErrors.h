// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "scpi/ScpiError.h"

namespace tavero::scpi {

/// Device-specific codes of the error queue, each with the message text it stands for.
enum DeviceErrorCode : int {
    kDeviceOther = 100,         ///< any other message of the link
    kDeviceNotOk = 101,         ///< "Antwort nicht OK"
    kDeviceWrongReply = 102,    ///< "Antwort passt nicht auf gesendeten Befehl"
    kDeviceReadFailed = 103,    ///< "Fehler beim lesen"
    kDeviceSendFailed = 104,    ///< "Fehler beim senden"
    kDeviceNotConnected = 110,  ///< "Es konnte keine Datenverbindung zum Tavero aufgebaut ..."
    kDeviceCloseFailed = 111,   ///< "Datenverbindung konnte nicht geschlossen werden."
    kTaskListStopped = 120,     ///< "Aufgabenliste angehalten"
    kTaskListUnreadable = 121,  ///< "Die Aufgabenliste könnte nicht gelesen werden."
    kValueReplaced = 122,       ///< a task list value the window refuses, sent replaced
    kProfileFileFailed = 130,   ///< the profile file could not be read or written
};

inline constexpr std::string_view kTaskListStoppedText = "Aufgabenliste angehalten";

/// The queue entry for the messages one failed operation wrote, one per line: the code of the
/// first message, the lines joined by blanks.
ErrorEntry deviceError(std::string_view messages, int fallbackCode = kDeviceOther);

}  // namespace tavero::scpi
