// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::link {

class ComCP2102;
class DeviceCommands;
class PacketLink;

/// Line rate of the generator's serial link, in bit/s.
inline constexpr std::uint32_t kGeneratorBaudRate = 76800;

/// Shown when no generator could be opened. Linux needs no driver: it names what to check there
/// instead, in the order the README goes through it.
#ifdef __linux__
inline constexpr std::string_view kConnectFailedText =
    "Es konnte keine Datenverbindung zum Tavero aufgebaut werden.\n\nBitte prüfen Sie:\n"
    "- Ist das Tavero angeschlossen? (ls -l /dev/serial/by-id/)\n"
    "- Darf Ihr Benutzer es öffnen? (udev-Regel; über SSH: Gruppe dialout)\n"
    "- Belegt ModemManager es? (sudo systemctl stop ModemManager)\n"
    "- Verwendet ein anderes Programm es? (fuser -v /dev/ttyUSB0)";
#else
inline constexpr std::string_view kConnectFailedText =
    "Es konnte keine Datenverbindung zum Tavero aufgebaut werden.\n\nVergewissern Sie sich, "
    "dass das Tavero angeschlossen ist,\ndie Treiber installiert sind und dass keine andere "
    "Tavero Anwendung \ndas Gerät bereits verwendet.";
#endif
inline constexpr std::string_view kConnectionErrorCaption = "Verbindungsfehler";
/// Shown once when the generator vanished while connected (cable pulled, power lost).
inline constexpr std::string_view kConnectionLostText =
    "Die Datenverbindung zum Tavero ist abgebrochen.\n\nSchließen Sie das Tavero wieder an und "
    "aktivieren Sie die PC-Verbindung erneut.";
/// Shown when the port cannot be closed.
inline constexpr std::string_view kCloseFailedText =
    "Datenverbindung konnte nicht geschlossen werden.";

enum class ConnectResult {
    kConnected,
    kNoDevice,         ///< no generator found, or it could not be opened or set up
    kHandshakeFailed,  ///< the connect notice failed; its message has been shown
};

/// Opens the generator by its USB ids, attaches the port to the link and sends the connect
/// notice. A failed notice closes the port again, so that a retry can find it.
ConnectResult connectGenerator(ComCP2102& port, PacketLink& link, DeviceCommands& commands);

struct DisconnectResult {
    bool notified;  ///< the disconnect notice was acknowledged
    bool closed;    ///< the port was open and is now closed
};

/// Sends the disconnect notice and closes the port whatever its outcome.
DisconnectResult disconnectGenerator(ComCP2102& port, DeviceCommands& commands);

}  // namespace tavero::link
