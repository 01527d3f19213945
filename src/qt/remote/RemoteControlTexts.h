// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The remote control dialog's German texts: the catalogue's keys, translated where they reach a
// widget. %1, %2 … stand for numbers and addresses filled in there.

namespace tavero::qt::texts {

inline constexpr char kRemoteTitle[] = "Fernsteuerung";
inline constexpr char kRemoteScpiSocket[] = "SCPI über TCP-Socket, Port";
inline constexpr char kRemoteVxi11[] = "VXI-11 (VISA, LXI, Bode-Plot von Siglent-Oszilloskopen)";
inline constexpr char kRemoteFrontPanel[] = "Frontplatte im Browser (HTTP), Port";
inline constexpr char kRemoteAddress[] = "Adresse";
inline constexpr char kRemoteAddressHint[] =
    "127.0.0.1: nur dieser Rechner; 0.0.0.0: jedes Netz, an dem er hängt";
inline constexpr char kRemoteLoopback[] = "Nur Programme auf diesem Rechner erreichen die Dienste.";
inline constexpr char kRemoteOpenToNetwork[] =
    "Warnung: %1 öffnet den Generator ohne Passwort für das Netz: %2. Wer sie erreicht, kann "
    "ihn steuern.";
inline constexpr char kRemoteScpiOnPort[] = "SCPI auf Port %1";
inline constexpr char kRemoteVxi11WithMapper[] = "VXI-11 mit dem Portmapper auf Port 111";
inline constexpr char kRemoteFrontPanelOnPort[] = "die Frontplatte auf Port %1";
inline constexpr char kRemoteInvalidAddress[] =
    "Bitte geben Sie eine IP-Adresse ein, z. B. 127.0.0.1 oder 0.0.0.0.";
inline constexpr char kRemoteStartFailed[] =
    "Die Fernsteuerung konnte nicht gestartet werden:\n\n%1";
inline constexpr char kRemoteNotStored[] =
    "Die Einstellungen der Fernsteuerung konnten nicht gespeichert werden.";

}  // namespace tavero::qt::texts
