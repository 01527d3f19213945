// SPDX-License-Identifier: GPL-3.0-or-later
// The command tree and the handlers of the common and the instrument commands.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/BuildConfig.h"
#include "core/SettingsLimits.h"
#include "ctl/LineSafeText.h"
#include "ctl/ProfileFileAccess.h"
#include "model/FieldRules.h"
#include "model/OutputFrequency.h"
#include "model/SendableSettings.h"
#include "scpi/AsciiText.h"
#include "scpi/DeviceErrors.h"
#include "scpi/InstrumentCall.h"
#include "scpi/ScpiError.h"
#include "store/ListFile.h"
#include "store/ProfileFile.h"
#include "store/ProfileRowText.h"
#include "store/TaskListFile.h"

namespace tavero::scpi {

namespace {

constexpr FieldCommand kSweepStart{"Wobbel-Startfrequenz", Unit::kHertz, 100.0, 2};
constexpr FieldCommand kSweepStop{"Wobbel-Stoppfrequenz", Unit::kHertz, 100.0, 2};
constexpr FieldCommand kLowLimit{"Minimalfrequenz", Unit::kHertz, 100.0, 2};
constexpr FieldCommand kHighLimit{"Maximalfrequenz", Unit::kHertz, 100.0, 2};
constexpr FieldCommand kAmplitude{"Amplitude", Unit::kVolt, 1000.0, 3};
constexpr FieldCommand kAmDepth{"Amplitudenhub", Unit::kPercent, 1.0, 0};
constexpr FieldCommand kDeviation{"Frequenzhub", Unit::kHertz, 100.0, 2};
constexpr FieldCommand kModulationRate{"Modulationsfrequenz", Unit::kHertz, 10.0, 1};
constexpr FieldCommand kPhaseDeviation{"Phasenhub", Unit::kDegree, 1.0, 0};
constexpr FieldCommand kPllFactor{"PLL-Faktor", Unit::kNone, 1.0, 0};
constexpr FieldCommand kPllOffset{"PLL-Offset", Unit::kHertz, 0.1, 0};

/// One unit of the PLL offset (10 Hz) in 0.01 Hz.
constexpr long long kPllOffsetCentiHz = 1000;

/// The largest task list file read, in bytes: far more than the most entries a file may hold.
constexpr std::uintmax_t kLargestTaskListFile = 64U << 20U;

/// Beyond this a value in a field's units cannot be meant and would not round exactly.
constexpr double kLargestFieldValue = 1e15;

constexpr std::array<std::string_view, 5> kFunctionNames = {"SINusoid", "TRIangle", "SQUare",
                                                            "SQU2", "RAMP"};
constexpr std::array<std::uint8_t, 5> kFunctionWaveforms = {0, 1, 2, 3, 1};
constexpr std::array<std::string_view, 4> kWaveformAnswers = {"SIN", "TRI", "SQU", "SQU2"};
constexpr std::array<std::string_view, 2> kSourceNames = {"INTernal", "EXTernal"};

/// The sweep's repetition period is 10 s divided by the rate, which counts in 0.1 Hz.
constexpr double kSweepPeriodTimesRate = 10.0;
/// Enough significant digits to tell any two sweep rates apart by their periods.
constexpr int kSweepTimeDigits = 4;

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

/// What a field command allows now, in the field's units: its own range, narrowed where the
/// other settings would refuse a value (the limits keep their order, the PLL stage must not
/// need a least frequency above the highest).
struct FieldLimits {
    long long min;
    long long max;
};

FieldLimits fieldLimits(const FieldCommand& field, const GeneratorSettings& s) {
    const model::FieldRule& rule = model::fieldRule(settingsFieldIndex(field.key));
    FieldLimits limits{rule.minimum, rule.maximum};
    const long long factor = effectivePllFactor(s);
    if (field.key == kLowLimit.key) {
        const auto grid = static_cast<long long>(kFrequencyGridCentiHz);
        const auto least = static_cast<long long>(pllRequiredMinimum(s));
        limits.min = std::max(limits.min, (least + grid - 1) / grid * grid);
        limits.max = s.maximalfrequenz;
    } else if (field.key == kHighLimit.key) {
        limits.min = std::max<long long>(limits.min, s.minimalfrequenz);
    } else if (field.key == kPllOffset.key) {
        // The least synthesiser frequency, -offset x 1000 / factor, must not pass the highest.
        limits.min = std::max(
            limits.min, -(static_cast<long long>(s.maximalfrequenz) * factor / kPllOffsetCentiHz));
    } else if (field.key == kPllFactor.key && s.pllOffset < 0 && s.maximalfrequenz > 0) {
        const long long needed = -static_cast<long long>(s.pllOffset) * kPllOffsetCentiHz;
        limits.min = std::max(limits.min, (needed + s.maximalfrequenz - 1) / s.maximalfrequenz);
    }
    return limits;
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

/// The command's whole number from `from` to `to`, e.g. a profile number.
long long wholeNumber(const Instrument::Call& call, long long from, long long to) {
    const Numeric number = readNumeric(call.parameter(), Unit::kNone);
    if (number.kind != Numeric::Kind::kValue) {
        throw ScpiError(kIllegalParameterValue, std::string(call.parameter()));
    }
    const double rounded = std::round(number.value);
    if (!(rounded >= static_cast<double>(from) && rounded <= static_cast<double>(to))) {
        throw call.outOfRange(std::to_string(from), std::to_string(to), Unit::kNone);
    }
    return static_cast<long long>(rounded);
}

/// Whether the command belongs to the operation status register rather than the questionable.
bool operationRegister(const std::vector<std::string>& path) {
    return path.size() > 1 && path[1].starts_with("OPER");
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
        {HeaderPattern("SRE"), true, &I::setServiceRequestEnable, &I::serviceRequestEnable},
        {HeaderPattern("STB"), true, nullptr, &I::statusByte},
        {HeaderPattern("OPC"), true, &I::operationComplete, &I::operationCompleteQuery},
        {HeaderPattern("WAI"), true, &I::wait, nullptr},
        {HeaderPattern("SAV"), true, &I::save, nullptr},
        {HeaderPattern("RCL"), true, &I::recall, nullptr},
        {HeaderPattern("TST"), true, nullptr, &I::selfTest},
        {HeaderPattern("TRG"), true, &I::trigger, nullptr},
        {HeaderPattern("SYSTem:ERRor:[NEXT]"), false, nullptr, &I::nextError},
        {HeaderPattern("SYSTem:ERRor:ALL"), false, nullptr, &I::allErrors},
        {HeaderPattern("SYSTem:ERRor:COUNt"), false, nullptr, &I::errorCount},
        {HeaderPattern("SYSTem:VERSion"), false, nullptr, &I::version},
        {HeaderPattern("SYSTem:RWLock"), false, &I::remoteWithLockout, nullptr},
        {HeaderPattern("SYSTem:REMote"), false, &I::remoteWithLockout, nullptr},
        {HeaderPattern("SYSTem:LOCal"), false, &I::local, nullptr},
        {HeaderPattern("STATus:PRESet"), false, &I::presetStatus, nullptr},
        {HeaderPattern("STATus:OPERation:[EVENt]"), false, nullptr, &I::statusEvents},
        {HeaderPattern("STATus:OPERation:CONDition"), false, nullptr, &I::statusEvents},
        {HeaderPattern("STATus:OPERation:ENABle"), false, &I::setStatusEnable, &I::statusEnable},
        {HeaderPattern("STATus:QUEStionable:[EVENt]"), false, nullptr, &I::statusEvents},
        {HeaderPattern("STATus:QUEStionable:CONDition"), false, nullptr, &I::statusEvents},
        {HeaderPattern("STATus:QUEStionable:ENABle"), false, &I::setStatusEnable, &I::statusEnable},
        {HeaderPattern("[SOURce#]:FREQuency:[CW]"), false, &I::setFrequency, &I::frequency, nullptr,
         true},
        {HeaderPattern("[SOURce#]:FREQuency:FIXed"), false, &I::setFrequency, &I::frequency,
         nullptr, true},
        {HeaderPattern("[SOURce#]:FREQuency:STARt"), false, &I::setField, &I::field, &kSweepStart},
        {HeaderPattern("[SOURce#]:FREQuency:STOP"), false, &I::setField, &I::field, &kSweepStop},
        {HeaderPattern("[SOURce#]:FREQuency:LIMit:LOW"), false, &I::setField, &I::field,
         &kLowLimit},
        {HeaderPattern("[SOURce#]:FREQuency:LIMit:HIGH"), false, &I::setField, &I::field,
         &kHighLimit},
        {HeaderPattern("[SOURce#]:VOLTage:[LEVel]:[IMMediate]:[AMPLitude]"), false, &I::setField,
         &I::field, &kAmplitude},
        {HeaderPattern("[SOURce#]:VOLTage:[LEVel]:[IMMediate]:OFFSet"), false, &I::setOffset,
         &I::offset, nullptr, true},
        {HeaderPattern("[SOURce#]:VOLTage:UNIT"), false, &I::setVoltageUnit, &I::voltageUnit},
        {HeaderPattern("[SOURce#]:FUNCtion:[SHAPe]"), false, &I::setFunction, &I::function},
        {HeaderPattern("OUTPut#:[STATe]"), false, &I::setOutput, &I::output},
        {HeaderPattern("OUTPut#:FILTer:[STATe]"), false, &I::setFilter, &I::filter},
        {HeaderPattern("[SOURce#]:SWEep:STATe"), false, &I::setSweepState, &I::sweepState},
        {HeaderPattern("[SOURce#]:SWEep:TIME"), false, &I::setSweepTime, &I::sweepTime, nullptr,
         true},
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
        // The AWG commands of a Siglent oscilloscope's Bode plot.
        {HeaderPattern("IDN-SGLT-PRI"), false, nullptr, &I::siglentIdentify},
        {HeaderPattern("C1:BSWV"), false, &I::setBasicWave, &I::basicWave},
        {HeaderPattern("C2:BSWV"), false, &I::setBasicWave, &I::basicWave},
        {HeaderPattern("C1:OUTPut"), false, &I::setChannelOutput, &I::channelOutput},
        {HeaderPattern("C2:OUTPut"), false, &I::setChannelOutput, &I::channelOutput},
    };
    return table;
}

// Common commands.

void Instrument::identify(Call& call) {
    std::string firmware = "0.00";
    try {
        generator();
        firmware = formatDecimal(env_.generator.firmwareVersion(), 2);
    } catch (const ScpiError& error) {
        // Who answers is known without the generator; what failed goes to the queue.
        call.client.push(error.entry());
    }
    call.response = "Tavero,Tavero,0," + firmware + "-" + std::string(kProgramVersion);
}

void Instrument::reset(Call& call) {
    call.noParameters();
    generator();
    stopTaskListFor(call.client);
    exchanged(
        env_.generator.apply(model::Edit::whole(GeneratorSettings::emptyProfile()), requester()));
}

void Instrument::remoteWithLockout(Call& call) {
    call.noParameters();
    env_.generator.setLockout(true);
}

void Instrument::local(Call& call) {
    call.noParameters();
    env_.generator.setLockout(false);
}

void Instrument::clearStatus(Call& call) {
    call.noParameters();
    call.client.clear();
}

void Instrument::setEventEnable(Call& call) {
    call.client.eventStatusEnable = static_cast<std::uint8_t>(wholeNumber(call, 0, 255));
}

void Instrument::eventEnable(Call& call) {
    call.response = std::to_string(call.client.eventStatusEnable);
}

void Instrument::eventStatus(Call& call) {
    call.response = std::to_string(call.client.takeEventStatus());
}

void Instrument::setServiceRequestEnable(Call& call) {
    constexpr auto kRequestBit = std::uint8_t{0x40};  // summarises the others, enables nothing
    call.client.serviceRequestEnable = static_cast<std::uint8_t>(wholeNumber(call, 0, 255)) &
                                       static_cast<std::uint8_t>(~kRequestBit);
}

void Instrument::serviceRequestEnable(Call& call) {
    call.response = std::to_string(call.client.serviceRequestEnable);
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

void Instrument::trigger(Call& call) {
    // The output runs free: there is nothing a trigger starts.
    call.noParameters();
}

void Instrument::save(Call& call) {
    call.parameter();  // refuses a missing number before the file is read
    ctl::ProfileFileAccess file(env_.profileFile, env_.fileWriter, messages_);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        failWithProfileFile(file);
    }
    const long long number = wholeNumber(call, 1, static_cast<long long>(profiles->size()));
    generator();
    // Read again under the lock, so that a store made meanwhile by another program stays.
    const bool saved =
        file.update(static_cast<std::size_t>(number - 1), [this, number](StoredProfile& profile) {
            if (profile.name.empty() || profile.name == store::kEmptyProfileName) {
                profile.name = "SCPI " + std::to_string(number);
            }
            profile.settings = settings();
        });
    if (!saved) {
        failWithProfileFile(file);
    }
}

void Instrument::recall(Call& call) {
    call.parameter();  // refuses a missing number before the file is read
    ctl::ProfileFileAccess file(env_.profileFile, env_.fileWriter, messages_);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        failWithProfileFile(file);
    }
    const long long number = wholeNumber(call, 1, static_cast<long long>(profiles->size()));
    sendProfile(call.client, (*profiles)[static_cast<std::size_t>(number - 1)].settings);
}

void Instrument::selfTest(Call& call) {
    try {
        generator();
        exchanged(env_.generator.readParameters(requester()));
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

void Instrument::allErrors(Call& call) {
    do {
        const ErrorEntry entry = call.client.pop();
        call.response += (call.response.empty() ? "" : ",") + std::to_string(entry.code) + "," +
                         quotedString(entry.message);
    } while (!call.client.empty());
}

void Instrument::errorCount(Call& call) {
    call.response = std::to_string(call.client.size());
}

void Instrument::version(Call& call) {
    call.response = "1999.0";
}

void Instrument::presetStatus(Call& call) {
    call.noParameters();
    call.client.operationEnable = 0;
    call.client.questionableEnable = 0;
}

void Instrument::statusEvents(Call& call) {
    // Nothing the generator does sets an operation or questionable event.
    call.response = "0";
}

void Instrument::setStatusEnable(Call& call) {
    const auto mask = static_cast<std::uint16_t>(wholeNumber(call, 0, 65535));
    (operationRegister(call.path) ? call.client.operationEnable : call.client.questionableEnable) =
        mask;
}

void Instrument::statusEnable(Call& call) {
    call.response = std::to_string(operationRegister(call.path) ? call.client.operationEnable
                                                                : call.client.questionableEnable);
}

// Instrument commands.

void Instrument::setField(Call& call) {
    const FieldCommand& field = *call.command.field;
    const Numeric number = readNumeric(call.parameter(), field.unit);
    generator();
    change(call, {{fieldIndex(field), fieldValueFor(call, field, number)}});
}

long long Instrument::fieldValueFor(const Call& call, const FieldCommand& field,
                                    const Numeric& number) const {
    const std::size_t index = fieldIndex(field);
    const FieldLimits limits = fieldLimits(field, settings());
    const long long grid = model::fieldRule(index).grid;
    const long long value =
        valueOf(number, limits.min, limits.max,
                settingsFields()[index].get(GeneratorSettings::emptyProfile()), [&](double given) {
                    const double stored = given * field.scale / static_cast<double>(grid);
                    return std::fabs(stored) > kLargestFieldValue ? limits.max + 1
                                                                  : std::llround(stored) * grid;
                });
    if (value < limits.min || value > limits.max) {
        throw call.outOfRange(answerOf(limits.min, field), answerOf(limits.max, field), field.unit);
    }
    return value;
}

long long Instrument::amplitudeFor(const Call& call, const Numeric& volts) const {
    return fieldValueFor(call, kAmplitude, volts);
}

long long Instrument::highestAmplitude() const {
    return fieldLimits(kAmplitude, settings()).max;
}

void Instrument::field(Call& call) {
    generator();
    const FieldCommand& field = *call.command.field;
    const FieldLimits limits = fieldLimits(field, settings());
    const std::size_t index = fieldIndex(field);
    const long long current = settingsFields()[index].get(settings());
    const long long byDefault = settingsFields()[index].get(GeneratorSettings::emptyProfile());
    const std::optional<Numeric::Kind> limit = call.limit();
    call.response = answerOf(
        limit ? valueOf({*limit}, limits.min, limits.max, byDefault, [](double) { return 0LL; })
              : current,
        field);
}

std::uint32_t Instrument::frequenzNearest(double outputCentiHz) const {
    // The output is frequenz x factor + offset: the two synthesiser values around the one asked
    // for, kept within the limits, and the one whose output comes nearer.
    const double factor = effectivePllFactor(settings());
    const double offset = static_cast<double>(settings().pllOffset) * kPllOffsetCentiHz;
    const double below = std::floor((outputCentiHz - offset) / factor);
    const auto withinLimits = [this](double frequenz) {
        return static_cast<std::uint32_t>(
            std::clamp(frequenz, static_cast<double>(settings().minimalfrequenz),
                       static_cast<double>(settings().maximalfrequenz)));
    };
    const std::uint32_t lower = withinLimits(below);
    const std::uint32_t upper = withinLimits(below + 1.0);
    const auto distance = [&](std::uint32_t frequenz) {
        return std::fabs(static_cast<double>(model::outputFrequencyOf(settings(), frequenz)) -
                         outputCentiHz);
    };
    return distance(upper) < distance(lower) ? upper : lower;
}

void Instrument::setFrequency(Call& call) {
    const Numeric number = readNumeric(call.parameter(), Unit::kHertz);
    generator();
    // The output frequency is checked; the synthesiser's may lie off the grid with a PLL.
    change(call, {{settingsFieldIndex("Frequenz"), frequenzFor(call, number)}}, false);
}

std::uint32_t Instrument::frequenzFor(const Call& call, const Numeric& number) const {
    const auto [least, most] = outputLimits();
    // In 0.01 Hz; a number far out of range stays out of range.
    const double asked = std::clamp(
        static_cast<double>(valueOf(number, least, most, GeneratorSettings::emptyProfile().frequenz,
                                    [](double hertz) {
                                        return std::llround(std::clamp(hertz * 100.0,
                                                                       -kLargestFieldValue,
                                                                       kLargestFieldValue));
                                    })),
        -kLargestFieldValue, kLargestFieldValue);
    std::uint32_t frequenz = 0;
    if (model::usesPllStage(settings())) {
        // The synthesiser value is the window's business; the server takes the nearest output.
        if (asked < static_cast<double>(least) || asked > static_cast<double>(most)) {
            throw call.outOfRange(answerOf(least, kLowLimit), answerOf(most, kLowLimit),
                                  Unit::kHertz);
        }
        frequenz = frequenzNearest(asked);
    } else {
        const long long output =
            std::llround(asked / kFrequencyGridCentiHz) * kFrequencyGridCentiHz;
        if (output < least || output > most) {
            throw call.outOfRange(answerOf(least, kLowLimit), answerOf(most, kLowLimit),
                                  Unit::kHertz);
        }
        frequenz = static_cast<std::uint32_t>(output);
    }
    return frequenz;
}

std::pair<long long, long long> Instrument::outputLimits() const {
    // A negative offset can put the least output below zero, but no output is below 0 Hz.
    return {std::max<long long>(model::outputMinimum(settings()), 0),
            model::outputMaximum(settings())};
}

void Instrument::frequency(Call& call) {
    generator();
    const auto [least, most] = outputLimits();
    const std::optional<Numeric::Kind> limit = call.limit();
    const long long output =
        limit ? valueOf({*limit}, least, most, GeneratorSettings::emptyProfile().frequenz,
                        [](double) { return 0LL; })
              : static_cast<long long>(model::outputFrequencyOf(settings()));
    call.response = formatDecimal(output, 2);
}

void Instrument::setOffset(Call& call) {
    checkOffset(call, readNumeric(call.parameter(), Unit::kVolt));
}

void Instrument::checkOffset(const Call& call, const Numeric& volts) {
    // No offset can be set: 0 V is what the output has, like OUTP ON.
    if (volts.kind == Numeric::Kind::kValue && std::fabs(volts.value) >= 0.0005) {
        throw call.outOfRange("0.000", "0.000", Unit::kVolt);
    }
}

void Instrument::offset(Call& call) {
    call.limit();
    call.response = "0.000";
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
    call.response = std::string(kWaveformAnswers[settings().signalform & 3U]);
}

void Instrument::setFilter(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const auto bits =
        static_cast<std::uint8_t>(on ? settings().konfiguration | kKonfigurationFilter
                                     : settings().konfiguration & ~kKonfigurationFilter);
    change(call, {{settingsFieldIndex("Konfiguration"), bits}});
}

void Instrument::filter(Call& call) {
    generator();
    call.response = (settings().konfiguration & kKonfigurationFilter) != 0 ? "1" : "0";
}

void Instrument::setOutput(Call& call) {
    switchOutput(readBoolean(call.parameter()));
}

void Instrument::switchOutput(bool on) {
    // The output is always on: there is no switch that could silence it.
    if (!on) {
        throw ScpiError(kIllegalParameterValue, "the generator has no output switch");
    }
}

void Instrument::output(Call& call) {
    call.response = "1";
}

void Instrument::setModeBits(Call& call, std::uint8_t newMode, std::uint8_t modulationBits) {
    const auto konfiguration = static_cast<std::uint8_t>(
        (settings().konfiguration & ~kKonfigurationBetriebsartMask) | newMode);
    std::vector<ctl::SettingAssignment> assignments;
    if (modulationBits != settings().modulationseinstellungen) {
        assignments.push_back({settingsFieldIndex("Modulationseinstellungen"), modulationBits});
    }
    if (konfiguration != settings().konfiguration || assignments.empty()) {
        assignments.push_back({settingsFieldIndex("Konfiguration"), konfiguration});
    }
    change(call, assignments);
}

void Instrument::setSweepState(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const std::uint8_t current = mode(settings());
    const std::uint8_t wanted =
        on ? kBetriebsartWobbeln
           : (current == kBetriebsartWobbeln ? kBetriebsartStandard : current);
    setModeBits(call, wanted, settings().modulationseinstellungen);
}

void Instrument::sweepState(Call& call) {
    generator();
    call.response = mode(settings()) == kBetriebsartWobbeln ? "1" : "0";
}

void Instrument::setSweepTime(Call& call) {
    const std::size_t index = settingsFieldIndex("Wobbel-Frequenz");
    const model::FieldRule& rule = model::fieldRule(index);  // in 0.1 Hz
    const Numeric number = readNumeric(call.parameter(), Unit::kSecond);
    const double shortest = kSweepPeriodTimesRate / static_cast<double>(rule.maximum);
    const double longest = kSweepPeriodTimesRate / static_cast<double>(rule.minimum);
    // The shortest period is the highest rate; a period is taken at the nearest rate.
    const long long rate = valueOf(
        number, rule.maximum, rule.minimum, GeneratorSettings::emptyProfile().wobbelFrequenz,
        [&](double seconds) {
            if (!(seconds >= shortest && seconds <= longest)) {
                throw call.outOfRange(significant(shortest, kSweepTimeDigits),
                                      significant(longest, kSweepTimeDigits), Unit::kSecond);
            }
            return std::llround(kSweepPeriodTimesRate / seconds);
        });
    change(call, {{index, rate}});
}

void Instrument::sweepTime(Call& call) {
    generator();
    const model::FieldRule& rule = model::fieldRule(settingsFieldIndex("Wobbel-Frequenz"));
    const std::optional<Numeric::Kind> limit = call.limit();
    const long long rate = limit ? valueOf({*limit}, rule.maximum, rule.minimum,
                                           GeneratorSettings::emptyProfile().wobbelFrequenz,
                                           [](double) { return 0LL; })
                                 : static_cast<long long>(settings().wobbelFrequenz);
    call.response = rate == 0 ? "9.9E37"
                              : significant(kSweepPeriodTimesRate / static_cast<double>(rate),
                                            kSweepTimeDigits);
}

void Instrument::setAmState(Call& call) {
    const bool on = readBoolean(call.parameter());
    generator();
    const auto bits =
        static_cast<std::uint8_t>(on ? settings().modulationseinstellungen | kModulationAm
                                     : settings().modulationseinstellungen & ~kModulationAm);
    setModeBits(call, on ? kBetriebsartModulation : mode(settings()), bits);
}

void Instrument::amState(Call& call) {
    generator();
    const bool on = mode(settings()) == kBetriebsartModulation &&
                    (settings().modulationseinstellungen & kModulationAm) != 0;
    call.response = on ? "1" : "0";
}

void Instrument::setKeyingState(Call& call) {
    const bool on = readBoolean(call.parameter());
    const std::uint8_t keying = keyingOf(call.path);
    generator();
    const std::uint8_t bits = settings().modulationseinstellungen;
    if (on) {
        // The record holds one keying kind: choosing one replaces the other.
        setModeBits(call, kBetriebsartModulation,
                    static_cast<std::uint8_t>((bits & ~kModulationPmArtMask) | keying));
        return;
    }
    const bool active =
        mode(settings()) == kBetriebsartModulation && (bits & kModulationPmArtMask) == keying;
    setModeBits(call, active ? kBetriebsartStandard : mode(settings()), bits);
}

void Instrument::keyingState(Call& call) {
    generator();
    const bool on =
        mode(settings()) == kBetriebsartModulation &&
        (settings().modulationseinstellungen & kModulationPmArtMask) == keyingOf(call.path);
    call.response = on ? "1" : "0";
}

void Instrument::setKeyingSource(Call& call) {
    const bool external = readChoice(call.parameter(), kSourceNames) == 1;
    generator();
    const std::uint8_t bits = settings().modulationseinstellungen;
    change(call,
           {{settingsFieldIndex("Modulationseinstellungen"),
             external ? bits | kModulationPmQuelleExtern : bits & ~kModulationPmQuelleExtern}});
}

void Instrument::keyingSource(Call& call) {
    generator();
    call.response =
        (settings().modulationseinstellungen & kModulationPmQuelleExtern) != 0 ? "EXT" : "INT";
}

void Instrument::loadTaskList(Call& call) {
    const std::string path = unquote(call.parameter());
    // A client names the file, so it must not get the server to read a device or a giant.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kLargestTaskListFile) {
        throw ScpiError(kTaskListUnreadable, "Die Aufgabenliste könnte nicht gelesen werden. " +
                                                 escapedClientBytes(path) +
                                                 ": not a task list file");
    }
    const store::TaskListRead read = store::readTaskListFile(path);
    if (!read.ok() || read.list.entries.empty()) {
        const std::string detail = read.ok() ? "no entries" : store::loadFailureText(read.load);
        throw ScpiError(kTaskListUnreadable, "Die Aufgabenliste könnte nicht gelesen werden. " +
                                                 escapedClientBytes(path) + ": " + detail);
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
    startRun(call.client, taskList_, taskListLoops_);
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
