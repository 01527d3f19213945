// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "ctl/SteadyRunClock.h"
#include "model/GeneratorModel.h"
#include "qt/remote/InterruptWatch.h"
#include "qt/remote/RemoteOptions.h"
#include "store/FileWriter.h"

namespace tavero::qt {

class RemoteServices;

/// The network services of the window's generator: started from its command line or its
/// "Fernsteuerung" dialog, restarted when the dialog changes them, ended with the window. While
/// they run, SIGINT, SIGTERM and SIGHUP end the window as they end `tavero-ctl serve`.
class WindowRemoteServices {
public:
    /// What the services work with. The references must outlive them.
    struct Environment {
        model::GeneratorModel& generator;
        std::filesystem::path profileFile;  ///< the window's; empty when there is no data folder
        store::FileWriter& fileWriter;
        std::ostream& out;     ///< a line for each address served
        std::ostream& errors;  ///< refusals and warnings, named "tavero"
    };

    explicit WindowRemoteServices(const Environment& environment);
    ~WindowRemoteServices();
    WindowRemoteServices(const WindowRemoteServices&) = delete;
    WindowRemoteServices& operator=(const WindowRemoteServices&) = delete;

    /// Ends the services running and starts those `options` ask for. False when they could
    /// not be started, and none run then; startReport() says why.
    bool start(const RemoteOptions& options);
    void stop();
    bool serving() const { return services_ != nullptr; }
    /// What the last start said on `errors`: its refusals and warnings, one a line.
    const std::string& startReport() const { return recorder_.recorded; }
    /// The exit status of the last start as `serve` has it: 0 when it started, 1 for an
    /// address that cannot be listened on, 2 for one that cannot be one.
    int startStatus() const { return startStatus_; }
    /// After the window's run: when a signal ended it, sends the generator its disconnect
    /// notice, which the window's own closing did not.
    void endAfterInterrupt();

private:
    /// Passes what is written on to `errors`, and keeps it while a start goes on.
    struct Recorder final : std::streambuf {
        explicit Recorder(std::streambuf* passedTo) : target(passedTo) {}
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int_type overflow(int_type character) override;
        int sync() override { return target->pubsync(); }

        std::streambuf* target;
        bool recording = false;
        std::string recorded;
    };

    Environment env_;
    ctl::SteadyRunClock clock_;
    Recorder recorder_;
    std::ostream errors_;
    std::unique_ptr<RemoteServices> services_;
    std::optional<InterruptWatch> interrupts_;
    int startStatus_ = 0;
};

}  // namespace tavero::qt
