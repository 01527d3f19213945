// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiServe.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <memory>
#include <optional>

#include "ctl/UsageError.h"
#include "qt/network/InstrumentAnnouncement.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/RpcbindClient.h"
#include "qt/network/RpcbindRegistration.h"
#include "qt/network/ScpiServer.h"

namespace tavero::qt {

namespace {

/// Written by the signal handler, read by the event loop.
int interruptPipe[2] = {-1, -1};

extern "C" void onInterrupt(int /*signal*/) {
    const char byte = 1;
    // Nothing to do when it fails: the pipe then already holds an unread byte.
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &byte, 1);
}

/// Turns SIGINT and SIGTERM into an orderly end of the event loop, so that the generator gets
/// its disconnect notice. A handler rather than a blocked mask, as Qt's own threads would
/// otherwise take the signal with its default action.
class InterruptWatch {
public:
    InterruptWatch() {
        if (pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            return;
        }
        notifier_.emplace(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(&*notifier_, &QSocketNotifier::activated,
                         [] { QCoreApplication::quit(); });
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~InterruptWatch() {
        if (!notifier_) {
            return;
        }
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
        notifier_.reset();
        close(interruptPipe[0]);
        close(interruptPipe[1]);
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    std::optional<QSocketNotifier> notifier_;
};

/// Makes the VXI-11 core channel findable: registered with the system's rpcbind, or else
/// through a port mapper of the server's own, which alone can name two core ports in turn
/// (rpcbind keeps one port a program). Says on `errors` in one line when neither works.
/// Returns the mapping to unset on exit, if it was set with rpcbind.
std::optional<vxi11::PortMapping> announceVxi11(ScpiServer& server, const QHostAddress& host,
                                                bool alternateCorePorts, std::ostream& errors) {
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
        errors << "tavero-ctl: VXI-11 clients will not find this instrument: "
               << (alternateCorePorts ? "--vxi11-alternate-ports answers port 111 itself, which "
                                        "cannot be bound ("
                                      : "no rpcbind runs and port 111 cannot be bound (")
               << server.mapperErrorText().toStdString()
               << (alternateCorePorts ? "); stop rpcbind while it serves, and allow port 111 with "
                                      : "); install rpcbind, or allow it with ")
               << "'setcap cap_net_bind_service=+ep' on tavero-ctl\n";
    }
    return std::nullopt;
}

/// Says that every service of the server is open to whoever reaches `host`.
void warnOpenToNetwork(const ScpiServer& server, const QHostAddress& host, bool servesVxi11,
                       std::ostream& errors) {
    errors << "tavero-ctl: warning: " << hostText(host).toStdString()
           << " opens the generator to the network, with no password: raw SCPI on port "
           << server.port();
    if (servesVxi11) {
        errors << ", VXI-11 on ports " << server.corePort();
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

int serveScpi(const scpi::InstrumentEnvironment& environment, const ServeOptions& options,
              std::ostream& out, std::ostream& errors) {
    const std::string& listen = options.listen;
    const std::optional<ListenAddress> address = parseListenAddress(QString::fromStdString(listen));
    if (!address) {
        errors << "tavero-ctl: --listen takes HOST:PORT with an IP address, e.g. 127.0.0.1:5025 "
                  "or [::1]:5025; got '"
               << listen << "'\n";
        return ctl::kExitUsage;
    }
    // Caught before the connect, so that an interrupt at any point ends with the disconnect.
    const InterruptWatch interrupts;
    scpi::Instrument instrument(environment);
    if (const std::optional<scpi::ErrorEntry> failed = instrument.connect()) {
        errors << failed->message << '\n';
        return ctl::kExitFailure;
    }
    ScpiServer server(instrument, environment.clock, errors);
    if (!server.listen(*address)) {
        errors << "tavero-ctl: cannot listen on " << listen << ": "
               << server.errorText().toStdString() << '\n';
        return ctl::kExitFailure;
    }
    std::optional<vxi11::PortMapping> registered;
    const bool servesVxi11 = server.listenVxi11(address->host, options.vxi11AlternatePorts);
    bool findable = false;
    if (!servesVxi11) {
        errors << "tavero-ctl: VXI-11 not served: cannot listen on " << listen << ": "
               << server.vxi11ErrorText().toStdString() << '\n';
    } else {
        registered = announceVxi11(server, address->host, options.vxi11AlternatePorts, errors);
        findable = registered || server.servesPortMapper();
    }
    if (!address->host.isLoopback()) {
        warnOpenToNetwork(server, address->host, servesVxi11, errors);
    }
    out << "Listening on " << server.listeningOn().toStdString() << std::endl;
    const CompanionServer companion =
        options.companion ? options.companion(instrument, *address, server.port(), findable)
                          : CompanionServer{};
    int status = ctl::kExitFailure;
    if (!options.companion || companion.server) {
        std::unique_ptr<ServiceAnnouncement> announcement;
        if (options.announce) {
            scpi::ErrorQueue discarded;
            announcement =
                announceInstrument(instrument.execute(discarded, "*IDN?"), address->host,
                                   {.scpiRaw = server.port(),
                                    .portMapper = findable ? vxi11::kPortMapperPort : quint16{0},
                                    .web = companion.port},
                                   errors);
        }
        QCoreApplication::exec();
        status = ctl::kExitSuccess;
    }
    if (registered && changeRpcbindMapping(*registered, false) != RpcbindAnswer::kDone) {
        errors << "tavero-ctl: rpcbind did not take back the VXI-11 registration of port "
               << registered->port << "; 'rpcinfo -d 395183 1' removes it\n";
    }
    return status;
}

}  // namespace tavero::qt
