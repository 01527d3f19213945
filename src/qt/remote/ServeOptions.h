// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <filesystem>
#include <optional>

#include "ctl/CommandLine.h"
#include "qt/remote/RemoteOptions.h"

namespace tavero::qt {

/// The network services of tavero-ctl's parsed `serve` command line.
RemoteOptions remoteOptions(const ctl::CommandLine& line);

/// What `tavero --serve` and its options ask the window for.
struct WindowServeRequest {
    std::optional<RemoteOptions> serve;  ///< the services to start; nothing without --serve
    std::filesystem::path tracePath;     ///< empty after --no-trace
};

/// `--serve` and the options of `tavero-ctl serve` on the window's command line, checked by
/// tavero-ctl's own rules. The trace options apply to the window without --serve too.
class WindowServeOptions {
public:
    WindowServeOptions();
    void addTo(QCommandLineParser& parser) const;
    /// Throws ctl::UsageError for what tavero-ctl serve refuses, and for a network option
    /// without --serve.
    WindowServeRequest read(const QCommandLineParser& parser) const;

private:
    QCommandLineOption serve_;
    QCommandLineOption listen_;
    QCommandLineOption http_;
    QCommandLineOption httpPasswordFile_;
    QCommandLineOption announce_;
    QCommandLineOption vxi11AlternatePorts_;
    QCommandLineOption trace_;
    QCommandLineOption noTrace_;
};

}  // namespace tavero::qt
