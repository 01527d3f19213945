// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/ServeCommand.h"

#include <QCoreApplication>
#include <QTimer>
#include <memory>
#include <sstream>

#include "ctl/StreamMessageSink.h"
#include "ctl/UsageError.h"
#include "model/GeneratorModel.h"
#include "qt/instance/InstanceHolder.h"
#include "qt/remote/InterruptWatch.h"
#include "qt/remote/RemoteServices.h"
#include "scpi/DeviceErrors.h"

namespace tavero::qt {

namespace {

/// How often the generator is looked for while it is connected, in ms: a pulled cable shows
/// within a second.
constexpr int kWatchPeriodMs = 250;
/// How often a generator that went is looked for again, in ms: a plugged one shows within 2 s.
constexpr int kReconnectPeriodMs = 1000;

}  // namespace

int serve(const ServeEnvironment& environment, const RemoteOptions& options) {
    // Caught before the connect, so that an interrupt at any point ends with the disconnect.
    const InterruptWatch interrupts;
    model::GeneratorModel generator(environment.bridge, environment.trace, environment.diagnostics,
                                    model::ConnectPolicy::kOnDemand);
    std::ostringstream connectMessages;
    ctl::StreamMessageSink connectSink(connectMessages);
    if (!generator.ensureConnected({{model::FrontEnd::kScpi, {}}, connectSink})) {
        environment.errors
            << scpi::deviceError(connectMessages.str(), scpi::kDeviceNotConnected).message << '\n';
        return ctl::kExitFailure;
    }
    // Before the services say they listen, so that whoever waits for that line finds it too.
    const InstanceHolder holder(
        generator,
        {.program = "tavero-ctl serve", .devicePath = environment.heldDevicePath, .raise = {}},
        environment.errors);
    int status = ctl::kExitFailure;
    const std::unique_ptr<RemoteServices> services =
        RemoteServices::start({.generator = generator,
                               .profileFile = environment.profileFile,
                               .fileWriter = environment.fileWriter,
                               .clock = environment.clock,
                               .out = environment.out,
                               .errors = environment.errors,
                               .program = "tavero-ctl"},
                              options, status);
    if (services) {
        QTimer watch;
        int sinceReconnectMs = 0;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            generator.watch();
            sinceReconnectMs += kWatchPeriodMs;
            // Only a generator found gone is looked for: one disconnected on purpose stays so.
            if (generator.lost() && sinceReconnectMs >= kReconnectPeriodMs) {
                sinceReconnectMs = 0;
                std::ostringstream discarded;
                ctl::StreamMessageSink quiet(discarded);
                generator.ensureConnected({{model::FrontEnd::kScpi, {}}, quiet});
            }
        });
        watch.start(kWatchPeriodMs);
        QCoreApplication::exec();
        status = ctl::kExitSuccess;
    }
    if (generator.connected()) {
        std::ostringstream discarded;
        ctl::StreamMessageSink quiet(discarded);
        generator.disconnect({{model::FrontEnd::kScpi, {}}, quiet});
    }
    return status;
}

}  // namespace tavero::qt
