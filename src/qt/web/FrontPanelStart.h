// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "qt/network/ListenAddress.h"
#include "qt/web/FrontPanelServer.h"
#include "scpi/Instrument.h"

namespace tavero::qt {

/// `--http [HOST:]PORT`: the host is that of the SCPI server when it is left out.
struct HttpAddress {
    std::optional<QHostAddress> host;
    quint16 port = 0;
};

/// Reads "8080", "127.0.0.1:8080" or "[::1]:8080"; nothing when the text is not one.
std::optional<HttpAddress> parseHttpAddress(const QString& text);

/// Starts the front panel on `http` beside the SCPI server on `scpi`, and names its page on
/// `out`; `vxi11Findable` says whether VXI-11 clients find the instrument. Null after saying on
/// `errors` why it cannot: the password file cannot be read or holds no password, or the address
/// cannot be listened on. Refused clients and wrong passwords are logged on `errors` too, each
/// line of the start named by `program`.
std::unique_ptr<FrontPanelServer> startFrontPanel(const HttpAddress& http,
                                                  const std::filesystem::path& passwordFile,
                                                  scpi::Instrument& instrument,
                                                  const scpi::InstrumentEnvironment& environment,
                                                  const ListenAddress& scpi, quint16 scpiPort,
                                                  bool vxi11Findable, std::ostream& out,
                                                  std::ostream& errors, std::string_view program);

}  // namespace tavero::qt
