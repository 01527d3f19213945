// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ScpiServe.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <optional>

#include "ctl/UsageError.h"
#include "qt/network/ListenAddress.h"
#include "qt/network/ScpiServer.h"

namespace tavero::qt {

namespace {

/// Turns SIGINT and SIGTERM into an orderly end of the event loop, so that the generator gets
/// its disconnect notice. Restores the signal mask when it goes.
class InterruptWatch {
public:
    InterruptWatch() {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        sigprocmask(SIG_BLOCK, &signals_, &previous_);
        fd_ = signalfd(-1, &signals_, SFD_CLOEXEC | SFD_NONBLOCK);
        notifier_.emplace(fd_, QSocketNotifier::Read);
        QObject::connect(&*notifier_, &QSocketNotifier::activated,
                         [] { QCoreApplication::quit(); });
    }
    ~InterruptWatch() {
        notifier_.reset();
        close(fd_);
        sigprocmask(SIG_SETMASK, &previous_, nullptr);
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    sigset_t signals_{};
    sigset_t previous_{};
    int fd_ = -1;
    std::optional<QSocketNotifier> notifier_;
};

}  // namespace

int serveScpi(const scpi::InstrumentEnvironment& environment, const std::string& listen,
              std::ostream& out, std::ostream& errors) {
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
    ScpiServer server(instrument, environment.clock);
    if (!server.listen(*address)) {
        errors << "tavero-ctl: cannot listen on " << listen << ": "
               << server.errorText().toStdString() << '\n';
        return ctl::kExitFailure;
    }
    out << "Listening on " << server.listeningOn().toStdString() << std::endl;
    QCoreApplication::exec();
    return ctl::kExitSuccess;
}

}  // namespace tavero::qt
