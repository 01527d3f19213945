// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "core/GeneratorSettings.h"
#include "link/ComCP2102.h"
#include "link/Connection.h"
#include "link/DeviceCommands.h"
#include "link/MessageSink.h"
#include "link/PacketLink.h"
#include "model/Edit.h"
#include "model/GeneratorObserver.h"
#include "model/Origin.h"
#include "model/RemoteControl.h"

namespace tavero::link {
class TraceFile;
class UsbBridge;
}  // namespace tavero::link

namespace tavero::model {

/// Whether a request may open the connection by itself.
enum class ConnectPolicy : std::uint8_t {
    kByUser,    ///< the window's: only its connect button connects
    kOnDemand,  ///< a server's: the first request that needs the generator connects
};

/// The one generator every front end views: it owns the port, the link and the settings record
/// with the firmware version, carries out every exchange, watches for a generator that vanished,
/// and tells its observers what changed, by whom, and whether the generator took it. Nothing
/// else sends a frame. Single-threaded: every call comes on the thread that made it.
class GeneratorModel {
public:
    /// @param bridge the USB bridge library the port opens the generator through
    /// @param trace every byte sent is appended to it
    /// @param diagnostics where the link prints what it receives
    /// All must outlive the model.
    GeneratorModel(link::UsbBridge& bridge, link::TraceFile& trace, std::ostream& diagnostics,
                   ConnectPolicy policy = ConnectPolicy::kByUser);
    GeneratorModel(const GeneratorModel&) = delete;
    GeneratorModel& operator=(const GeneratorModel&) = delete;
    /// Closes an open port without the disconnect notice: its owner sends that when it ends.
    ~GeneratorModel();

    // The connection.

    /// Opens the generator by its USB ids and sends the connect notice (`x`).
    link::ConnectResult connect(const Requester& by);
    /// Under kOnDemand connects and reads the record when not connected, telling the requester
    /// of a generator not found as of a failed exchange; whether connected.
    bool ensureConnected(const Requester& by);
    /// Reads the firmware version and the record (`P`); the record is kept unless the whole
    /// reply arrived.
    bool readParameters(const Requester& by);
    /// Sends the disconnect notice and closes the port whatever its outcome.
    link::DisconnectResult disconnect(const Requester& by);
    /// Closes the port without a notice, as after starting the bootloader; false when the port
    /// could not be closed.
    bool closeWithoutNotice(const Origin& by);
    /// Looks whether an idle connection's generator is still there: a flush sends nothing and
    /// fails at once on a device that has gone. Called periodically by the program that hosts
    /// the model.
    void watch();
    bool connected() const { return port_.IsOpen(); }
    /// Whether the generator was found gone, until the next connect.
    bool lost() const { return port_.deviceLost(); }
    ConnectPolicy policy() const { return policy_; }

    // The record.

    const GeneratorSettings& settings() const { return settings_; }
    /// In hundredths: 120 is version 1.20; 0 before the first read.
    std::uint16_t firmwareVersion() const { return firmwareVersion_; }
    /// Takes the edit's fields into the record and sends its commands in order. Every command
    /// is tried even when one before failed, unless the generator was found gone. Whether all
    /// were taken.
    bool apply(const Edit& edit, const Requester& by);

    // Commands that leave the record as it is.

    /// `d`: raw level of the amplitude stage, 0..16383.
    bool sendLevel(std::uint16_t level, const Requester& by);
    /// `q`: the raw levels found for 0.2 V and for 0.8 V.
    bool sendCalibration(std::uint16_t level200mV, std::uint16_t level800mV, const Requester& by);
    /// `k`: the measured oscillator frequency, in 0.01 Hz.
    bool sendOscillatorFrequency(std::uint64_t frequencyCentiHz, const Requester& by);
    /// `r`: factory reset. The generator needs a second before the record can be read again.
    bool sendFactoryReset(const Requester& by);
    /// `!`: starts the bootloader; the port is to be closed without a notice next.
    bool startBootloader(const Requester& by);

    // Remote control.

    const RemoteControl& remoteControl() const { return remote_; }
    /// The VXI-11 lock taken by `holder`, or released with an empty one.
    void setLockHolder(std::string holder);
    /// Remote with lockout on (SYST:RWL), or back to local (SYST:LOC) as goLocal().
    void setLockout(bool on);
    /// The window's "Lokal": lockout off, and the window may edit while a lock is held.
    void goLocal();

    // Observers: each must unsubscribe before it is destroyed.

    void subscribe(GeneratorObserver& observer);
    void unsubscribe(GeneratorObserver& observer);

private:
    /// Passes the link's failure messages to the requester of the exchange under way, and
    /// notices a generator found gone first.
    class Failures final : public link::MessageSink {
    public:
        explicit Failures(GeneratorModel& model) : model_(model) {}
        void showError(std::string_view text, std::string_view caption) override;
        link::MessageSink* target = nullptr;

    private:
        GeneratorModel& model_;
    };
    /// Routes the failures of the calls in its lifetime to one requester; nests.
    class RequestScope;

    /// The port found the generator gone: closes it and tells the observers, once.
    void noticeLoss();
    template <typename Notify>
    void notifyAll(Notify notify);

    ConnectPolicy policy_;
    link::ComCP2102 port_;
    link::PacketLink link_;
    Failures failures_{*this};
    link::DeviceCommands commands_{port_, link_, failures_};
    GeneratorSettings settings_;
    std::uint16_t firmwareVersion_ = 0;
    RemoteControl remote_;
    std::vector<GeneratorObserver*> observers_;
};

}  // namespace tavero::model
