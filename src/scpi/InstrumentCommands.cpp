// SPDX-License-Identifier: GPL-3.0-or-later
// The command tree and the handlers of the common and the instrument commands.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/OutputFrequency.h"
#include "core/BuildConfig.h"
#include "core/SettingsLimits.h"
#include "ctl/LoadFailureText.h"
#include "ctl/ProfileFileAccess.h"
#include "scpi/DeviceErrors.h"
#include "scpi/InstrumentCall.h"
#include "scpi/ScpiError.h"
#include "store/ProfileFile.h"
#include "store/TaskListFile.h"

namespace tavero::scpi {

namespace {

constexpr FieldCommand kSweepStart{"Wobbel-Startfrequenz", Unit::kHertz, 100.0, 2, 25};
constexpr FieldCommand kSweepStop{"Wobbel-Stoppfrequenz", Unit::kHertz, 100.0, 2, 25};
constexpr FieldCommand kLowLimit{"Minimalfrequenz", Unit::kHertz, 100.0, 2, 25};
constexpr FieldCommand kHighLimit{"Maximalfrequenz", Unit::kHertz, 100.0, 2, 25};
constexpr FieldCommand kAmplitude{"Amplitude", Unit::kVolt, 1000.0, 3, 1};
constexpr FieldCommand kAmDepth{"Amplitudenhub", Unit::kPercent, 1.0, 0, 1};
constexpr FieldCommand kDeviation{"Frequenzhub", Unit::kHertz, 100.0, 2, 25};
constexpr FieldCommand kModulationRate{"Modulationsfrequenz", Unit::kHertz, 10.0, 1, 1};
constexpr FieldCommand kPhaseDeviation{"Phasenhub", Unit::kDegree, 1.0, 0, 1};
constexpr FieldCommand kPllFactor{"PLL-Faktor", Unit::kNone, 1.0, 0, 1};
constexpr FieldCommand kPllOffset{"PLL-Offset", Unit::kHertz, 0.1, 0, 1};

/// The largest task list file read, in bytes: far more than the most entries a file may hold.
constexpr std::uintmax_t kLargestTaskListFile = 64U << 20U;

/// Beyond this a value in a field's units cannot be meant and would not round exactly.
constexpr double kLargestFieldValue = 1e15;

constexpr std::array<std::string_view, 5> kFunctionNames = {"SINusoid", "TRIangle", "SQUare",
                                                            "SQU2", "RAMP"};
constexpr std::array<std::uint8_t, 5> kFunctionWaveforms = {0, 1, 2, 3, 1};
constexpr std::array<std::string_view, 4> kWaveformAnswers = {"SIN", "TRI", "SQU", "SQU2"};
constexpr std::array<std::string_view, 2> kSourceNames = {"INTernal", "EXTernal"};

std::size_t fieldIndex(const FieldCommand& field) {
    return settingsFieldIndex(field.key);
}

std::string answerOf(long long stored, const FieldCommand& field) {
    const double shown = static_cast<double>(stored) * std::pow(10.0, field.decimals) / field.scale;
    return formatDecimal(std::llround(shown), field.decimals);
}

/// A quoted string answer, the quote doubled inside.
std::string quotedString(std::string_view text) {
    std::string answer = "\"";
    for (const char c : text) {
        answer += c;
        if (c == '"') {
            answer += '"';
        }
    }
    return answer + '"';
}

std::string shortest(double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

std::uint8_t mode(const GeneratorSettings& s) {
    return s.konfiguration & kKonfigurationBetriebsartMask;
}

/// The value a parameter stands for: MIN, MAX and DEF as given, a number as `fromNumber` reads
/// its value.
template <typename FromNumber>
long long valueOf(const Numeric& number, long long minimum, long long maximum, long long byDefault,
                  FromNumber fromNumber) {
    switch (number.kind) {
        case Numeric::Kind::kMinimum:
            return minimum;
        case Numeric::Kind::kMaximum:
            return maximum;
        case Numeric::Kind::kDefault:
            return byDefault;
        case Numeric::Kind::kValue:
            break;
    }
    return fromNumber(number.value);
}

/// A whole number from `from` to `to`, e.g. a profile number.
long long wholeNumber(std::string_view parameter, long long from, long long to) {
    const Numeric number = readNumeric(parameter, Unit::kNone);
    if (number.kind != Numeric::Kind::kValue) {
        throw ScpiError(kIllegalParameterValue, std::string(parameter));
    }
    const double rounded = std::round(number.value);
    if (rounded < static_cast<double>(from) || rounded > static_cast<double>(to)) {
        throw ScpiError(kDataOutOfRange,
                        "allowed is " + std::to_string(from) + " to " + std::to_string(to));
    }
    return static_cast<long long>(rounded);
}

/// The keying kind of the command, from its header: FSK, PSK or ASK.
std::uint8_t keyingOf(const std::vector<std::string>& path) {
    for (const std::string& node : path) {
        if (node.starts_with("PSK")) {
            return kPmArtPsk;
        }
        if (node.starts_with("ASK")) {
            return kPmArtAsk;
        }
    }
    return kPmArtFsk;
}

}  // namespace

const std::vector<Instrument::Command>& Instrument::commandTable() {
    using I = Instrument;
    static const std::vector<Command> table = {
        {HeaderPattern("IDN"), true, nullptr, &I::identify},
        {HeaderPattern("RST"), true, &I::reset, nullptr},
        {HeaderPattern("CLS"), true, &I::clearStatus, nullptr},
        {HeaderPattern("ESE"), true, &I::setEventEnable, &I::eventEnable},
        {HeaderPattern("ESR"), true, nullptr, &I::eventStatus},
        {HeaderPattern("STB"), true, nullptr, &I::statusByte},
        {HeaderPattern("OPC"), true, &I::operationComplete, &I::operationCompleteQuery},
        {HeaderPattern("WAI"), true, &I::wait, nullptr},
        {HeaderPattern("SAV"), true, &I::save, nullptr},
        {HeaderPattern("RCL"), true, &I::recall, nullptr},
        {HeaderPattern("TST"), true, nullptr, &I::selfTest},
        {HeaderPattern("SYSTem:ERRor:[NEXT]"), false, nullptr, &I::nextError},
        {HeaderPattern("SYSTem:VERSion"), false, nullptr, &I::version},
        {HeaderPattern("[SOURce#]:FREQuency:[CW]"), false, &I::setFrequency, &I::frequency},
        {HeaderPattern("[SOURce#]:FREQuency:STARt"), false, &I::setField, &I::field, &kSweepStart},
        {HeaderPattern("[SOURce#]:FREQuency:STOP"), false, &I::setField, &I::field, &kSweepStop},
        {HeaderPattern("[SOURce#]:FREQuency:LIMit:LOW"), false, &I::setField, &I::field,
         &kLowLimit},
        {HeaderPattern("[SOURce#]:FREQuency:LIMit:HIGH"), false, &I::setField, &I::field,
         &kHighLimit},
        {HeaderPattern("[SOURce#]:VOLTage:[LEVel]:[IMMediate]:[AMPLitude]"), false, &I::setField,
         &I::field, &kAmplitude},
        {HeaderPattern("[SOURce#]:VOLTage:UNIT"), false, &I::setVoltageUnit, &I::voltageUnit},
        {HeaderPattern("[SOURce#]:FUNCtion:[SHAPe]"), false, &I::setFunction, &I::function},
        {HeaderPattern("OUTPut#:[STATe]"), false, &I::setOutput, &I::output},
        {HeaderPattern("OUTPut#:FILTer:[STATe]"), false, &I::setFilter, &I::filter},
        {HeaderPattern("[SOURce#]:SWEep:STATe"), false, &I::setSweepState, &I::sweepState},
        {HeaderPattern("[SOURce#]:SWEep:TIME"), false, &I::setSweepTime, &I::sweepTime},
        {HeaderPattern("[SOURce#]:AM:STATe"), false, &I::setAmState, &I::amState},
        {HeaderPattern("[SOURce#]:AM:DEPTh"), false, &I::setField, &I::field, &kAmDepth},
        {HeaderPattern("[SOURce#]:FSKey:STATe"), false, &I::setKeyingState, &I::keyingState},
        {HeaderPattern("[SOURce#]:PSK:STATe"), false, &I::setKeyingState, &I::keyingState},
        {HeaderPattern("[SOURce#]:ASKey:STATe"), false, &I::setKeyingState, &I::keyingState},
        {HeaderPattern("[SOURce#]:FSKey:SOURce"), false, &I::setKeyingSource, &I::keyingSource},
        {HeaderPattern("[SOURce#]:PSK:SOURce"), false, &I::setKeyingSource, &I::keyingSource},
        {HeaderPattern("[SOURce#]:ASKey:SOURce"), false, &I::setKeyingSource, &I::keyingSource},
        {HeaderPattern("[SOURce#]:FSKey:FREQuency"), false, &I::setField, &I::field, &kDeviation},
        {HeaderPattern("[SOURce#]:FSKey:INTernal:RATE"), false, &I::setField, &I::field,
         &kModulationRate},
        {HeaderPattern("[SOURce#]:PSK:INTernal:RATE"), false, &I::setField, &I::field,
         &kModulationRate},
        {HeaderPattern("[SOURce#]:ASKey:INTernal:RATE"), false, &I::setField, &I::field,
         &kModulationRate},
        {HeaderPattern("[SOURce#]:AM:INTernal:FREQuency"), false, &I::setField, &I::field,
         &kModulationRate},
        {HeaderPattern("[SOURce#]:PSK:PHASe"), false, &I::setField, &I::field, &kPhaseDeviation},
        {HeaderPattern("TAVero:PLL:FACTor"), false, &I::setField, &I::field, &kPllFactor},
        {HeaderPattern("TAVero:PLL:OFFSet"), false, &I::setField, &I::field, &kPllOffset},
        {HeaderPattern("TAVero:LIST:LOAD"), false, &I::loadTaskList, nullptr},
        {HeaderPattern("TAVero:LIST:STARt"), false, &I::startTaskList, nullptr},
        {HeaderPattern("TAVero:LIST:STOP"), false, &I::stopTaskList, nullptr},
        {HeaderPattern("TAVero:LIST:STATe"), false, nullptr, &I::taskListState},
    };
    return table;
}

// Common commands.

void Instrument::identify(Call& call) {
    std::string firmware = "0.00";
    try {
        generator();
        firmware = formatDecimal(firmwareVersion_, 2);
    } catch (const ScpiError& error) {
        // Who answers is known without the generator; what failed goes to the queue.
        call.client.push(error.entry());
    }
    call.response = "Tavero,Tavero,0," + firmware + "-" + std::string(kProgramVersion);
}

void Instrument::reset(Call& call) {
    call.noParameters();
    ctl::GeneratorSession& session = generator();
    stopTaskListFor(call.client);
    settings_ = GeneratorSettings::emptyProfile();
    exchanged(session.commands().SendSettings(settings_));
}

void Instrument::clearStatus(Call& call) {
    call.noParameters();
    call.client.clear();
}

void Instrument::setEventEnable(Call& call) {
    call.client.eventStatusEnable =
        static_cast<std::uint8_t>(wholeNumber(call.parameter(), 0, 255));
}

void Instrument::eventEnable(Call& call) {
    call.response = std::to_string(call.client.eventStatusEnable);
}

void Instrument::eventStatus(Call& call) {
    call.response = std::to_string(call.client.takeEventStatus());
}

void Instrument::statusByte(Call& call) {
    call.response = std::to_string(call.client.statusByte());
}

void Instrument::operationComplete(Call& call) {
    call.noParameters();
    call.client.setEventBits(kOperationComplete);
}

void Instrument::operationCompleteQuery(Call& call) {
    // Every command has ended before the next is read.
    call.response = "1";
}

void Instrument::wait(Call& call) {
    call.noParameters();
}

void Instrument::save(Call& call) {
    const std::string_view parameter = call.parameter();
    ctl::ProfileFileAccess file(env_.profileFile, env_.fileWriter, messages_);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        failWithMessages(kProfileFileFailed, false);
    }
    const long long number = wholeNumber(parameter, 1, static_cast<long long>(profiles->size()));
    generator();
    // Read again under the lock, so that a store made meanwhile by another program stays.
    const bool saved =
        file.update(static_cast<std::size_t>(number - 1), [this, number](StoredProfile& profile) {
            if (profile.name.empty() || profile.name == store::kEmptyProfileName) {
                profile.name = "SCPI " + std::to_string(number);
            }
            profile.settings = settings_;
        });
    if (!saved) {
        failWithMessages(kProfileFileFailed, false);
    }
}

void Instrument::recall(Call& call) {
    const std::string_view parameter = call.parameter();
    ctl::ProfileFileAccess file(env_.profileFile, env_.fileWriter, messages_);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        failWithMessages(kProfileFileFailed, false);
    }
    const long long number = wholeNumber(parameter, 1, static_cast<long long>(profiles->size()));
    // What the window refuses is not sent as the file holds it.
    GeneratorSettings recalled = (*profiles)[static_cast<std::size_t>(number - 1)].settings;
    ctl::replaceRefusedFields(recalled);
    ctl::GeneratorSession& session = generator();
    stopTaskListFor(call.client);
    // As the window's profile load: the record changes only when the generator took it.
    exchanged(session.commands().SendSettings(recalled));
    settings_ = recalled;
}

void Instrument::selfTest(Call& call) {
    try {
        ctl::GeneratorSession& session = generator();
        exchanged(session.readParameters());
        settings_ = session.settings;
        firmwareVersion_ = session.firmwareVersion;
        call.response = "0";
    } catch (const ScpiError& error) {
        call.client.push(error.entry());
        call.response = "1";
    }
}

void Instrument::nextError(Call& call) {
    const ErrorEntry entry = call.client.pop();
    call.response = std::to_string(entry.code) + "," + quotedString(entry.message);
}

void Instrument::version(Call& call) {
    call.response = "1999.0";
}

// Instrument commands.

void Instrument::setField(Call& call) {
    const FieldCommand& field = *call.command.field;
    const std::size_t index = fieldIndex(field);
    const Numeric number = readNumeric(call.parameter(), field.unit);
    const ctl::FieldRange range = ctl::fieldRange(index);
    const long long value =
        valueOf(number, range.min, range.max,
                settingsFields()[index].get(GeneratorSettings::emptyProfile()), [&](double given) {
                    const double stored = given * field.scale / static_cast<double>(field.grid);
                    if (std::fabs(stored) > kLargestFieldValue) {
                        throw ScpiError(kDataOutOfRange, std::string(call.parameter()));
                    }
                    return std::llround(stored) * field.grid;
                });
    change(call, {{index, value}});
}

void Instrument::field(Call& call) {
    generator();
    const FieldCommand& field = *call.command.field;
    call.response = answerOf(settingsFields()[fieldIndex(field)].get(settings_), field);
}

void Instrument::setFrequency(Call& call) {
    const Numeric number = readNumeric(call.parameter(), Unit::kHertz);
    generator();
    // A negative offset can put the least output below zero, but no output is below 0 Hz.
    const long long least = std::max<long long>(app::outputMinimum(settings_), 0);
    const long long most = app::outputMaximum(settings_);
    // In 0.01 Hz, on the grid; a number far out of range stays out of range.
    const long long output =
        valueOf(number, least, most, GeneratorSettings::emptyProfile().frequenz, [](double hertz) {
            const double steps = std::clamp(hertz * 100.0 / kFrequencyGridCentiHz,
                                            -kLargestFieldValue, kLargestFieldValue);
            return std::llround(steps) * kFrequencyGridCentiHz;
        });
    if (output < least || output > most) {
        throw ScpiError(kDataOutOfRange, "allowed is " + answerOf(least, kLowLimit) + " to " +
                                             answerOf(most, kLowLimit) + " Hz");
    }
    const std::uint32_t frequenz = app::frequenzForOutput(settings_, output);
    // The output frequency is checked above; the synthesiser's may lie off the grid with a PLL.
    change(call, {{settingsFieldIndex("Frequenz"), frequenz}}, false);
}

void Instrument::frequency(Call& call) {
    generator();
    call.response = formatDecimal(static_cast<long long>(app::outputFrequencyOf(settings_)), 2);
}

void Instrument::setVoltageUnit(Call& call) {
    if (!mnemonicMatches("VPP", call.parameter())) {
        throw ScpiError(kIllegalParameterValue, "the amplitude is set peak to peak only");
    }
}

void Instrument::voltageUnit(Call& call) {
    call.response = "VPP";
}

void Instrument::setFunction(Call& call) {
    const std::size_t choice = readChoice(call.parameter(), kFunctionNames);
    change(call, {{settingsFieldIndex("Signalform"), kFunctionWaveforms[choice]}});
}

void Instrument::function(Call& call) {
    generator();
    call.response = std::string(kWaveformAnswers[settings_.signalform & 3U]);
}

void Instrument::setFilter(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const auto bits =
        static_cast<std::uint8_t>(on ? settings_.konfiguration | kKonfigurationFilter
                                     : settings_.konfiguration & ~kKonfigurationFilter);
    change(call, {{settingsFieldIndex("Konfiguration"), bits}});
}

void Instrument::filter(Call& call) {
    generator();
    call.response = (settings_.konfiguration & kKonfigurationFilter) != 0 ? "1" : "0";
}

void Instrument::setOutput(Call& call) {
    // The output is always on: there is no switch that could silence it.
    if (!readBoolean(call.parameter())) {
        throw ScpiError(kIllegalParameterValue, "the generator has no output switch");
    }
}

void Instrument::output(Call& call) {
    call.response = "1";
}

void Instrument::setModeBits(Call& call, std::uint8_t newMode, std::uint8_t modulationBits) {
    const auto konfiguration = static_cast<std::uint8_t>(
        (settings_.konfiguration & ~kKonfigurationBetriebsartMask) | newMode);
    std::vector<ctl::SettingAssignment> assignments;
    if (modulationBits != settings_.modulationseinstellungen) {
        assignments.push_back({settingsFieldIndex("Modulationseinstellungen"), modulationBits});
    }
    if (konfiguration != settings_.konfiguration || assignments.empty()) {
        assignments.push_back({settingsFieldIndex("Konfiguration"), konfiguration});
    }
    change(call, assignments);
}

void Instrument::setSweepState(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const std::uint8_t current = mode(settings_);
    const std::uint8_t wanted =
        on ? kBetriebsartWobbeln
           : (current == kBetriebsartWobbeln ? kBetriebsartStandard : current);
    setModeBits(call, wanted, settings_.modulationseinstellungen);
}

void Instrument::sweepState(Call& call) {
    generator();
    call.response = mode(settings_) == kBetriebsartWobbeln ? "1" : "0";
}

void Instrument::setSweepTime(Call& call) {
    const std::size_t index = settingsFieldIndex("Wobbel-Frequenz");
    const ctl::FieldRange range = ctl::fieldRange(index);  // in 0.1 Hz
    const Numeric number = readNumeric(call.parameter(), Unit::kSecond);
    // The shortest period is the highest rate.
    const long long rate =
        valueOf(number, range.max, range.min, GeneratorSettings::emptyProfile().wobbelFrequenz,
                [](double s) {
                    if (!(s > 0.0) || 10.0 / s > kLargestFieldValue) {
                        throw ScpiError(kDataOutOfRange, "the sweep time must be more than 0 s");
                    }
                    return std::llround(10.0 / s);
                });
    change(call, {{index, rate}});
}

void Instrument::sweepTime(Call& call) {
    generator();
    call.response =
        settings_.wobbelFrequenz == 0 ? "9.9E37" : shortest(10.0 / settings_.wobbelFrequenz);
}

void Instrument::setAmState(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const auto bits =
        static_cast<std::uint8_t>(on ? settings_.modulationseinstellungen | kModulationAm
                                     : settings_.modulationseinstellungen & ~kModulationAm);
    setModeBits(call, on ? kBetriebsartModulation : mode(settings_), bits);
}

void Instrument::amState(Call& call) {
    generator();
    const bool on = mode(settings_) == kBetriebsartModulation &&
                    (settings_.modulationseinstellungen & kModulationAm) != 0;
    call.response = on ? "1" : "0";
}

void Instrument::setKeyingState(Call& call) {
    const bool on = readBoolean(call.parameter());
    const std::uint8_t keying = keyingOf(call.path);
    generator();
    const std::uint8_t bits = settings_.modulationseinstellungen;
    if (on) {
        // The record holds one keying kind: choosing one replaces the other.
        setModeBits(call, kBetriebsartModulation,
                    static_cast<std::uint8_t>((bits & ~kModulationPmArtMask) | keying));
        return;
    }
    const bool active =
        mode(settings_) == kBetriebsartModulation && (bits & kModulationPmArtMask) == keying;
    setModeBits(call, active ? kBetriebsartStandard : mode(settings_), bits);
}

void Instrument::keyingState(Call& call) {
    generator();
    const bool on =
        mode(settings_) == kBetriebsartModulation &&
        (settings_.modulationseinstellungen & kModulationPmArtMask) == keyingOf(call.path);
    call.response = on ? "1" : "0";
}

void Instrument::setKeyingSource(Call& call) {
    const bool external = readChoice(call.parameter(), kSourceNames) == 1;
    generator();
    const std::uint8_t bits = settings_.modulationseinstellungen;
    change(call,
           {{settingsFieldIndex("Modulationseinstellungen"),
             external ? bits | kModulationPmQuelleExtern : bits & ~kModulationPmQuelleExtern}});
}

void Instrument::keyingSource(Call& call) {
    generator();
    call.response =
        (settings_.modulationseinstellungen & kModulationPmQuelleExtern) != 0 ? "EXT" : "INT";
}

void Instrument::loadTaskList(Call& call) {
    const std::string path = unquote(call.parameter());
    // A client names the file, so it must not get the server to read a device or a giant.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kLargestTaskListFile) {
        throw ScpiError(kTaskListUnreadable, "Die Aufgabenliste könnte nicht gelesen werden. " +
                                                 path + ": not a task list file");
    }
    const store::TaskListRead read = store::readTaskListFile(path);
    if (!read.ok() || read.list.entries.empty()) {
        const std::string detail = read.ok() ? "no entries" : ctl::loadFailureText(read.load);
        throw ScpiError(kTaskListUnreadable,
                        "Die Aufgabenliste könnte nicht gelesen werden. " + path + ": " + detail);
    }
    taskList_ = read.list.entries;
    taskListLoops_ = read.list.loop;
}

void Instrument::startTaskList(Call& call) {
    call.noParameters();
    if (taskList_.empty()) {
        throw ScpiError(kSettingsConflict, "no task list is loaded");
    }
    generator();
    stopTaskListFor(call.client);
    run_.emplace(taskList_, taskListLoops_, env_.clock.now());
    runOwner_ = &call.client;
    advanceTaskList();
}

void Instrument::stopTaskList(Call& call) {
    call.noParameters();
    run_.reset();
    runOwner_ = nullptr;
}

void Instrument::taskListState(Call& call) {
    call.response = run_ ? "1," + std::to_string(run_->step()) : "0,0";
}

}  // namespace tavero::scpi
