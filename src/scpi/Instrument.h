// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/GeneratorSettings.h"
#include "ctl/RunClock.h"
#include "ctl/SettingAssignments.h"
#include "ctl/StreamMessageSink.h"
#include "model/GeneratorModel.h"
#include "model/Origin.h"
#include "scpi/ErrorQueue.h"
#include "scpi/Parameters.h"
#include "scpi/ProgramMessage.h"
#include "scpi/ScopeHints.h"
#include "scpi/TaskListRun.h"
#include "store/FileWriter.h"

namespace tavero::ctl {
class ProfileFileAccess;
}  // namespace tavero::ctl

namespace tavero::scpi {

struct FieldCommand;

/// What the instrument works with. The references must outlive it.
struct InstrumentEnvironment {
    model::GeneratorModel& generator;
    std::filesystem::path profileFile;  ///< the window's; empty when there is no data folder
    store::FileWriter& fileWriter;
    ctl::RunClock& clock;  ///< times the task list
    /// Gets the server's warnings, a line each: for each kind of request of a Siglent
    /// oscilloscope that the generator cannot meet, the first time it comes, how to set the
    /// scope instead; each task list value replaced before it is sent.
    std::ostream& log;
};

/// The generator as a SCPI instrument: carries out the lines of its clients one at a time,
/// each to its end, with the window's rules for every value, on the generator model. A model
/// that connects on demand is connected by the first command that needs the generator and
/// again after a failed exchange, so an unplugged generator is taken back once it reappears.
class Instrument {
public:
    /// How long a client's line waits for the profile file while another program holds it,
    /// before its commands that need the file fail with -200.
    static constexpr std::chrono::milliseconds kMaxFileWait{3000};

    explicit Instrument(InstrumentEnvironment environment);
    ~Instrument();

    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    /// Connects to the generator now rather than on the first command; the failure otherwise.
    std::optional<ErrorEntry> connect();

    /// Carries out one line (without its LF) for a client whose status `client` holds and who
    /// is `origin` to the generator. Returns the responses of its queries joined by ";" and
    /// ended by LF, in 7-bit ASCII, or nothing. Never waits for the profile file: a command
    /// that needs it while another program holds its update lock fails with -200.
    std::string execute(ErrorQueue& client, std::string_view line, const model::Origin& origin);
    /// As execute(), unless the line needs the profile file while another program holds its
    /// update lock: then nothing of it is carried out and nothing is returned, so that the
    /// caller can give it again later and serve the others meanwhile.
    std::optional<std::string> tryExecute(ErrorQueue& client, std::string_view line,
                                          const model::Origin& origin);

    /// Carries out a change a front end made with its own controls, as the SCPI commands carry
    /// theirs out: connects when the model connects on demand, stops a running task list
    /// (saying so in `client`) and sends the edit's commands. The failure otherwise.
    std::optional<ErrorEntry> apply(ErrorQueue& client, model::Edit edit,
                                    const model::Origin& origin);
    /// Loads stored profile `number` (1-based) into the generator as *RCL does.
    std::optional<ErrorEntry> recall(ErrorQueue& client, std::size_t number,
                                     const model::Origin& origin);
    /// Plays `entries` from the first as TAV:LIST:STAR does, in place of a loaded list.
    std::optional<ErrorEntry> play(ErrorQueue& client, std::vector<TaskEntry> entries, bool loop,
                                   const model::Origin& origin);
    /// Stops a running task list.
    void stopPlaying();

    /// How far a running task list has come.
    struct TaskListProgress {
        std::size_t step;   ///< 1-based, 0 before the first
        std::size_t steps;  ///< entries in the list
        bool loops;
        /// When this pass's last hold time runs out, on the instrument's clock.
        std::chrono::milliseconds passEnd;
    };
    std::optional<TaskListProgress> taskListProgress() const;
    /// The instrument's clock, on which the task list's times are given.
    std::chrono::milliseconds now() const { return env_.clock.now(); }

    /// Sends the task list steps that have fallen due. Failures stop the run and go to the
    /// queue of the client that started it, while it is connected.
    void advanceTaskList();
    /// When advanceTaskList() should run next, while a task list runs.
    std::optional<std::chrono::milliseconds> taskListDue() const;
    /// The generator the instrument acts on.
    model::GeneratorModel& generatorModel() const { return env_.generator; }
    /// A client is gone: its queue must no longer be written.
    void forget(const ErrorQueue& client);

    struct Call;

private:
    struct Command;
    using Handler = void (Instrument::*)(Call&);

    static const std::vector<Command>& commandTable();
    /// The command the unit names, below `relativeTo` or else from the root; `path` receives
    /// the header nodes it was found by. Throws ScpiError.
    const Command& find(const ProgramUnit& unit, const std::vector<std::string>& relativeTo,
                        std::vector<std::string>& path) const;

    const GeneratorSettings& settings() const { return env_.generator.settings(); }
    /// The client of the line under way, with this instrument's messages.
    model::Requester requester() { return {origin_, messageSink_}; }
    /// Connects when the model connects on demand; throws the device error when the generator
    /// is not connected.
    void generator();
    /// Reports a failed exchange of the generator: drops an on-demand connection, which the
    /// next command opens again, and throws the device error.
    void exchanged(bool succeeded);
    /// Sends the edit's commands one at a time, its fields with the first: the first failure
    /// throws and stops the rest.
    void send(model::Edit edit);
    /// Throws the device error for the messages written since the last one.
    [[noreturn]] void failWithMessages(int fallbackCode, bool dropConnection);
    /// Throws the error for a failed read or update of the profile file.
    [[noreturn]] void failWithProfileFile(const ctl::ProfileFileAccess& file);
    /// Whether a command of the line stores or recalls a profile.
    bool needsProfileFile(std::string_view line) const;
    /// Stops a running task list before the settings change, saying so in the client's queue.
    void stopTaskListFor(ErrorQueue& client);
    /// Sends a stored profile's settings, made fit to send, in place of the record's.
    void sendProfile(ErrorQueue& client, GeneratorSettings recalled);
    /// Starts playing `entries`, each value made fit to send first and each replacement told.
    void startRun(ErrorQueue& client, std::vector<TaskEntry> entries, bool loop);
    /// Runs `action` for a front end other than a SCPI client; its failure.
    template <typename Action>
    std::optional<ErrorEntry> actFor(const model::Origin& origin, Action action);
    /// Checks the assignments against the window's rules, applies them and sends each group
    /// touched.
    void change(Call& call, const std::vector<ctl::SettingAssignment>& assignments,
                bool checkRanges = true);
    void setModeBits(Call& call, std::uint8_t mode, std::uint8_t modulationBits);

    /// The least and the highest output frequency the settings allow, in 0.01 Hz.
    std::pair<long long, long long> outputLimits() const;
    /// The synthesiser frequency within the limits whose output after the PLL stage lies
    /// nearest to `outputCentiHz`.
    std::uint32_t frequenzNearest(double outputCentiHz) const;
    /// The synthesiser frequency that gives the output frequency `hertz` by FREQ's rules;
    /// throws ScpiError.
    std::uint32_t frequenzFor(const Call& call, const Numeric& hertz) const;
    /// The field's value in its units for `number` by the field command's rules; throws
    /// ScpiError.
    long long fieldValueFor(const Call& call, const FieldCommand& field,
                            const Numeric& number) const;
    /// The amplitude in mV for `volts` by VOLT's rules; throws ScpiError.
    long long amplitudeFor(const Call& call, const Numeric& volts) const;
    /// The highest amplitude the settings allow, in mV.
    long long highestAmplitude() const;
    /// Throws ScpiError for an offset `volts` other than the output's 0 V.
    static void checkOffset(const Call& call, const Numeric& volts);
    /// Throws ScpiError for off: the output has no switch.
    static void switchOutput(bool on);
    /// Throws ScpiError, and hints the first time, for a Siglent command on a channel other
    /// than the one output.
    void checkSiglentChannel(const Call& call);
    /// Pushes a Siglent value's refusal to the client's queue and hints how to set the scope.
    void refuseScopeValue(Call& call, const ScpiError& refused, ScopeHint kind,
                          const std::string& hint);

    // Common commands.
    void identify(Call& call);
    void reset(Call& call);
    void clearStatus(Call& call);
    void setEventEnable(Call& call);
    void eventEnable(Call& call);
    void eventStatus(Call& call);
    void statusByte(Call& call);
    void operationComplete(Call& call);
    void operationCompleteQuery(Call& call);
    void wait(Call& call);
    void trigger(Call& call);
    void save(Call& call);
    void recall(Call& call);
    void selfTest(Call& call);
    void setServiceRequestEnable(Call& call);
    void serviceRequestEnable(Call& call);
    void nextError(Call& call);
    void allErrors(Call& call);
    void errorCount(Call& call);
    void version(Call& call);
    /// The window's controls read-only until SYST:LOC or its "Lokal"; SYST:REM alike, as the
    /// window has no keys that would stay live.
    void remoteWithLockout(Call& call);
    void local(Call& call);
    void presetStatus(Call& call);
    void statusEvents(Call& call);
    void setStatusEnable(Call& call);
    void statusEnable(Call& call);

    // Instrument commands.
    void setField(Call& call);
    void field(Call& call);
    void setFrequency(Call& call);
    void frequency(Call& call);
    void setOffset(Call& call);
    void offset(Call& call);
    void setVoltageUnit(Call& call);
    void voltageUnit(Call& call);
    void setFunction(Call& call);
    void function(Call& call);
    void setFilter(Call& call);
    void filter(Call& call);
    void setOutput(Call& call);
    void output(Call& call);
    void setSweepState(Call& call);
    void sweepState(Call& call);
    void setSweepTime(Call& call);
    void sweepTime(Call& call);
    void setAmState(Call& call);
    void amState(Call& call);
    void setKeyingState(Call& call);
    void keyingState(Call& call);
    void setKeyingSource(Call& call);
    void keyingSource(Call& call);
    void loadTaskList(Call& call);
    void startTaskList(Call& call);
    void stopTaskList(Call& call);
    void taskListState(Call& call);

    // The Siglent AWG commands.
    void siglentIdentify(Call& call);
    void setBasicWave(Call& call);
    void basicWave(Call& call);
    void setChannelOutput(Call& call);
    void channelOutput(Call& call);

    InstrumentEnvironment env_;
    std::ostringstream messages_;
    ctl::StreamMessageSink messageSink_{messages_};
    model::Origin origin_;

    std::vector<TaskEntry> taskList_;
    bool taskListLoops_ = false;
    std::optional<TaskListRun> run_;
    ErrorQueue* runOwner_ = nullptr;

    ScopeHints scopeHints_;
    /// The load a Siglent client set on its output, "50" or "HZ": kept for its query only, as
    /// the generator's amplitude is calibrated into 50 ohms whatever the scope assumes.
    std::string siglentLoad_ = "HZ";
};

}  // namespace tavero::scpi
