// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/ServeOptions.h"

#include <string>
#include <vector>

#include "ctl/UsageError.h"

namespace tavero::qt {

RemoteOptions remoteOptions(const ctl::CommandLine& line) {
    return {.listen = line.listen,
            .http = line.http,
            .httpPasswordFile = line.httpPasswordFile,
            .announce = line.announce,
            .vxi11AlternatePorts = line.vxi11AlternatePorts};
}

WindowServeOptions::WindowServeOptions()
    : serve_("serve",
             "Serve the generator on the network as tavero-ctl serve does, while the window is "
             "open."),
      listen_("listen", "With --serve: raw SCPI and VXI-11 on this address (127.0.0.1:5025).",
              "host:port"),
      http_("http", "With --serve: also the front panel page for browsers on this port.",
            "[host:]port"),
      httpPasswordFile_("http-password-file",
                        "With --http: the page asks for the password in the file's first line.",
                        "file"),
      announce_("announce", "With --serve: announce the instrument by multicast DNS."),
      vxi11AlternatePorts_("vxi11-alternate-ports",
                           "With --serve: two VXI-11 ports in turn, for older Siglent scopes."),
      trace_("trace", "Append every byte sent to the generator to this file (out.txt).", "file"),
      noTrace_("no-trace", "Keep no trace of the bytes sent.") {}

void WindowServeOptions::addTo(QCommandLineParser& parser) const {
    parser.addOptions({serve_, listen_, http_, httpPasswordFile_, announce_, vxi11AlternatePorts_,
                       trace_, noTrace_});
}

WindowServeRequest WindowServeOptions::read(const QCommandLineParser& parser) const {
    // tavero-ctl's parser checks them, so that both programs take and refuse the same.
    std::vector<std::string> arguments{"serve"};
    bool networkOption = false;
    for (const QCommandLineOption* option : {&listen_, &http_, &httpPasswordFile_, &trace_}) {
        for (const QString& value : parser.values(*option)) {
            arguments.push_back("--" + option->names().front().toStdString());
            arguments.push_back(value.toStdString());
            networkOption = networkOption || option != &trace_;
        }
    }
    for (const QCommandLineOption* option : {&announce_, &vxi11AlternatePorts_, &noTrace_}) {
        if (parser.isSet(*option)) {
            arguments.push_back("--" + option->names().front().toStdString());
            networkOption = networkOption || option != &noTrace_;
        }
    }
    const ctl::CommandLine line = ctl::parseCommandLine(arguments);
    WindowServeRequest request{.serve = std::nullopt, .tracePath = line.tracePath};
    if (parser.isSet(serve_)) {
        request.serve = remoteOptions(line);
    } else if (networkOption) {
        throw ctl::UsageError(
            "--listen, --http, --announce and --vxi11-alternate-ports need "
            "--serve");
    }
    return request;
}

}  // namespace tavero::qt
