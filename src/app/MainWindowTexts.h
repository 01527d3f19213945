// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace tavero::app {

// Texts of the main window's messages.
inline constexpr std::string_view kNoConnectionText =
    "Es wurde noch keine Datenverbindung zum Tavero augebaut!";
inline constexpr std::string_view kConnectButtonText = "PC-Verbindung aktivieren";
inline constexpr std::string_view kDisconnectButtonText = "PC-Verbindung deaktivieren";
inline constexpr std::string_view kFrequencyLabel = "aktuelle Frequenz";
inline constexpr std::string_view kFrequencyLabelPll = "aktuelle Frequenz (PLL)";
inline constexpr std::string_view kCannotShowFrequencyText =
    "Der Frequenzwert kann nicht angezeigt werden";
inline constexpr std::string_view kCannotShowFrequencyCaption = "Fehler in der Ausgabe";
inline constexpr std::string_view kFactoryResetQuestion =
    "Ihre momentane Einstellung wird gelöscht und\ndas Tavero-Board in den Werkszustand "
    "zurückgesetzt.\n\nMöchten Sie damit fortsetzen?";
inline constexpr std::string_view kFactoryResetCaption = "Werkszustand wiederherstellen";
inline constexpr std::string_view kBootloaderQuestion =
    "Mit Hilfe des Bootloaders können\nFirmwareupdates eingespielt werden.\n\nWurde der "
    "Bootloader versehentlich gestartet,\ngenügt ein trennen des Tavero vom USB-Port,\num ihm "
    "wieder normal starten zu lassen.\n\nMöchten Sie den Bootloader des Tavero starten?";
inline constexpr std::string_view kBootloaderCaption = "Tavero Bootloader starten";
/// "%s" stands for the characters, separated by blanks.
inline constexpr std::string_view kUnstorableNameText =
    "Der Profilname enthält Zeichen, die in der Profildatei\nnicht gespeichert werden können: "
    "%s\n\nSie werden dort durch \"?\" ersetzt.\n\nMöchten Sie das Profil trotzdem speichern?";
inline constexpr std::string_view kUnstorableNameCaption = "Profil speichern";

}  // namespace tavero::app
