// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "measure/Oscilloscope.h"
#include "scope/ScpiPort.h"
#include "scope/Transport.h"

namespace tavero::scope {

/// What the drivers share: the connection, the settings to give back, and waiting for an
/// acquisition to end.
class ScpiScope : public measure::Oscilloscope {
public:
    ScpiScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits);

    measure::ScopeLimits limits() const override { return limits_; }
    void restore() override;

protected:
    /// Asks `query` and keeps the command that sets its answer back: `restorePrefix` and the
    /// answer, or the answer alone when the scope answers with the command's header.
    void keep(const std::string& query, const std::string& restorePrefix);
    /// Waits `screenTime`, then asks until `done` says the acquisition has ended. False when
    /// the clock says to stop; a scope that never ends it throws a time-out.
    bool waitForAcquisition(measure::SweepClock& clock, std::chrono::microseconds screenTime,
                            const std::function<bool()>& done);
    /// The command that lets the scope run again after restore.
    virtual std::string runCommand() const = 0;

    ScpiPort& port() { return port_; }

private:
    std::unique_ptr<Transport> transport_;
    ScpiPort port_;
    measure::ScopeLimits limits_;
    std::vector<std::string> restoreCommands_;
};

/// "%d" in `pattern` replaced by `channel`, e.g. ":CHANnel%d:SCALe" with 2.
std::string withChannel(std::string_view pattern, int channel);

}  // namespace tavero::scope
