// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/RemoteServices.h"

#include <QString>
#include <string>

#include "ctl/UsageError.h"
#include "qt/network/InstrumentAnnouncement.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/RpcbindClient.h"
#include "qt/network/RpcbindRegistration.h"
#include "qt/network/ScpiServer.h"
#include "qt/network/ServiceAnnouncement.h"
#include "qt/web/FrontPanelServer.h"
#include "qt/web/FrontPanelStart.h"

namespace tavero::qt {

namespace {

/// Makes the VXI-11 core channel findable: registered with the system's rpcbind, or else
/// through a port mapper of the server's own, which alone can name two core ports in turn
/// (rpcbind keeps one port a program). Says on `errors` in one line when neither works.
/// Returns the mapping to unset on exit, if it was set with rpcbind.
std::optional<vxi11::PortMapping> announceVxi11(ScpiServer& server, const QHostAddress& host,
                                                bool alternateCorePorts, std::ostream& errors,
                                                std::string_view program) {
    const vxi11::PortMapping core{vxi11::kCoreProgram, vxi11::kVxi11Version, vxi11::kProtocolTcp,
                                  server.corePort()};
    const RpcbindAnswer rpcbind =
        alternateCorePorts ? RpcbindAnswer::kNotRunning : registerWithRpcbind(core, errors);
    switch (rpcbind) {
        case RpcbindAnswer::kDone:
            return core;
        case RpcbindAnswer::kRefused:
            return std::nullopt;
        case RpcbindAnswer::kNotRunning:
            break;
    }
    if (!server.servePortMapper(host)) {
        errors << program << ": VXI-11 clients will not find this instrument: "
               << (alternateCorePorts ? "--vxi11-alternate-ports answers port 111 itself, which "
                                        "cannot be bound ("
                                      : "no rpcbind runs and port 111 cannot be bound (")
               << server.mapperErrorText().toStdString()
               << (alternateCorePorts ? "); stop rpcbind while it serves, and allow port 111 with "
                                      : "); install rpcbind, or allow it with ")
               << "'setcap cap_net_bind_service=+ep' on " << program << '\n';
    }
    return std::nullopt;
}

/// Says that every service of the server is open to whoever reaches `host`.
void warnOpenToNetwork(const ScpiServer& server, const QHostAddress& host, bool servesScpiSocket,
                       bool servesVxi11, std::ostream& errors, std::string_view program) {
    errors << program << ": warning: " << hostText(host).toStdString()
           << " opens the generator to the network, with no password: ";
    if (servesScpiSocket) {
        errors << "raw SCPI on port " << server.port() << (servesVxi11 ? ", " : "");
    }
    if (servesVxi11) {
        errors << "VXI-11 on ports " << server.corePort();
        if (server.alternateCorePort() != 0) {
            errors << ", " << server.alternateCorePort();
        }
        errors << " and " << server.abortPort();
        if (server.servesPortMapper()) {
            errors << " and the port mapper on port " << vxi11::kPortMapperPort;
        }
    }
    errors << "; anyone who reaches them can drive it\n";
}

}  // namespace

RemoteServices::RemoteServices(const Environment& environment)
    : env_(environment),
      instrumentEnvironment_{.generator = environment.generator,
                             .profileFile = environment.profileFile,
                             .fileWriter = environment.fileWriter,
                             .clock = environment.clock,
                             .log = environment.errors},
      instrument_(instrumentEnvironment_) {}

std::unique_ptr<RemoteServices> RemoteServices::start(const Environment& environment,
                                                      const RemoteOptions& options, int& status) {
    std::ostream& errors = environment.errors;
    const std::string_view program = environment.program;
    status = ctl::kExitUsage;
    const std::optional<ListenAddress> address =
        parseListenAddress(QString::fromStdString(options.listen));
    if (!address) {
        errors << program
               << ": --listen takes HOST:PORT with an IP address, e.g. 127.0.0.1:5025 or "
                  "[::1]:5025; got '"
               << options.listen << "'\n";
        return nullptr;
    }
    std::optional<HttpAddress> http;
    if (!options.http.empty()) {
        http = parseHttpAddress(QString::fromStdString(options.http));
        if (!http) {
            errors << program
                   << ": --http takes [HOST:]PORT with an IP address, e.g. 8080 or "
                      "127.0.0.1:8080; got '"
                   << options.http << "'\n";
            return nullptr;
        }
    }
    status = ctl::kExitFailure;
    std::unique_ptr<RemoteServices> services(new RemoteServices(environment));
    services->server_ =
        std::make_unique<ScpiServer>(services->instrument_, environment.clock, errors);
    ScpiServer& server = *services->server_;
    if (options.scpiSocket && !server.listen(*address)) {
        errors << program << ": cannot listen on " << options.listen << ": "
               << server.errorText().toStdString() << '\n';
        return nullptr;
    }
    bool servesVxi11 = false;
    bool findable = false;
    if (options.vxi11) {
        servesVxi11 = server.listenVxi11(address->host, options.vxi11AlternatePorts);
        if (!servesVxi11) {
            errors << program << ": VXI-11 not served: cannot listen on " << options.listen << ": "
                   << server.vxi11ErrorText().toStdString() << '\n';
        } else {
            services->registered_ =
                announceVxi11(server, address->host, options.vxi11AlternatePorts, errors, program);
            findable = services->registered_ || server.servesPortMapper();
        }
    }
    if (!address->host.isLoopback() && (options.scpiSocket || servesVxi11)) {
        warnOpenToNetwork(server, address->host, options.scpiSocket, servesVxi11, errors, program);
    }
    if (options.scpiSocket) {
        environment.out << "Listening on " << server.listeningOn().toStdString() << std::endl;
    }
    if (http) {
        services->frontPanel_ =
            startFrontPanel(*http, options.httpPasswordFile, services->instrument_,
                            services->instrumentEnvironment_, *address, server.port(), findable,
                            environment.out, errors, program);
        if (!services->frontPanel_) {
            return nullptr;
        }
    }
    if (options.announce) {
        scpi::ErrorQueue discarded;
        services->announcement_ = announceInstrument(
            services->instrument_.execute(discarded, "*IDN?", {model::FrontEnd::kScpi, {}}),
            address->host,
            {.scpiRaw = server.port(),
             .portMapper = findable ? vxi11::kPortMapperPort : quint16{0},
             .web = services->frontPanel_ ? services->frontPanel_->port() : quint16{0}},
            errors, program);
    }
    status = ctl::kExitSuccess;
    return services;
}

RemoteServices::~RemoteServices() {
    if (registered_ && changeRpcbindMapping(*registered_, false) != RpcbindAnswer::kDone) {
        env_.errors << env_.program
                    << ": rpcbind did not take back the VXI-11 registration of port "
                    << registered_->port << "; 'rpcinfo -d 395183 1' removes it\n";
    }
}

}  // namespace tavero::qt
