// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// "Aufgabenliste": builds a list of stored profiles with hold times and plays it on the
/// generator.
namespace aufgabenliste {
inline constexpr int kDialogId = 178;
inline constexpr int kProfileCombo = 1028;     ///< the stored profiles
inline constexpr int kDurationEdit = 1009;     ///< hold time of the next entry, in seconds
inline constexpr int kDurationSpin = 1049;     ///< steps the hold time
inline constexpr int kLoopCheck = 1048;        ///< check box "Schleife"
inline constexpr int kAdd = 1053;              ///< button "Hinzufügen"
inline constexpr int kRemove = 1054;           ///< button "Markierten Eintrag entfernen"
inline constexpr int kStart = 1056;            ///< button "Start"
inline constexpr int kStop = 1055;             ///< button "Stopp"
inline constexpr int kReset = 3;               ///< button "Zurücksetzen"
inline constexpr int kLoad = 1046;             ///< button "Laden"
inline constexpr int kSave = 1026;             ///< button "Speichern"
inline constexpr int kRemainingEdit = 1011;    ///< seconds left of the entry played
inline constexpr int kCurrentNameEdit = 1012;  ///< profile name of the entry played
inline constexpr int kEntryList = 1050;        ///< one row per entry
}  // namespace aufgabenliste

extern const DialogTemplate kAufgabenlisteTemplate;

}  // namespace tavero::res
