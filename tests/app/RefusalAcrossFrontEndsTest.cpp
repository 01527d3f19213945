// SPDX-License-Identifier: GPL-3.0-or-later
// The window, a SCPI client and the command line refuse and take the same values.
#include <array>
#include <charconv>
#include <sstream>
#include <string>

#include "FakeRunClock.h"
#include "MainWindowFixture.h"
#include "ctl/SettingAssignments.h"
#include "ctl/UsageError.h"
#include "scpi/ErrorQueue.h"
#include "scpi/Instrument.h"

namespace tavero::app::testing {
namespace {

/// How a field's value is typed into the window and sent over SCPI: the value in its stored unit
/// times the scale, with so many decimals.
struct Entry {
    int edit;
    double windowScale;
    int windowDecimals;
    const char* header;
    double scpiScale;
    int scpiDecimals;
};

/// Whatever the locale, with a decimal point.
std::string decimal(std::int64_t value, double scale, int decimals) {
    std::array<char, 64> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(value) * scale,
                      std::chars_format::fixed, decimals)
            .ptr;
    return {text.data(), end};
}

class RefusalAcrossFrontEndsTest : public MainWindowTest {
protected:
    ctl::FakeRunClock clock_;
    std::ostringstream log_;
    scpi::Instrument instrument_{{.generator = generatorModel_->model,
                                  .profileFile = profileFile(),
                                  .fileWriter = fileWriter_,
                                  .clock = clock_,
                                  .log = log_}};
};

// Off-grid values differ by design: the window and the command line refuse them, the network
// rounds them (see FieldRulesTest); every case here lies on its field's grid.
TEST_F(RefusalAcrossFrontEndsTest, EachFrontEndRefusesExactlyTheValuesTheOthersRefuse) {
    struct Case {
        const char* key;
        const Entry& how;
        std::int64_t value;  ///< in the field's stored unit
        bool refused;
    };
    const Entry frequency{res::kEditFrequency, 0.01, 2, "FREQ", 0.01, 2};
    const Entry minimum{res::kEditMinimum, 0.01, 2, "FREQ:LIM:LOW", 0.01, 2};
    const Entry maximum{res::kEditMaximum, 0.01, 2, "FREQ:LIM:HIGH", 0.01, 2};
    const Entry amplitude{res::kEditAmplitude, 1.0, 0, "VOLT", 0.001, 3};
    const Case cases[] = {
        {"Frequenz", frequency, 25, false},
        {"Frequenz", frequency, 0, true},
        {"Frequenz", frequency, -25, true},
        {"Frequenz", frequency, 3000000000, false},
        {"Frequenz", frequency, 3000000025, true},
        {"Minimalfrequenz", minimum, 0, true},
        {"Minimalfrequenz", minimum, 25, false},
        {"Maximalfrequenz", maximum, 3000000025, true},
        {"Maximalfrequenz", maximum, 3000000000, false},
        {"Amplitude", amplitude, 0, false},
        {"Amplitude", amplitude, 1000, false},
        {"Amplitude", amplitude, 1001, true},
        {"Amplitude", amplitude, -1, true},
    };
    headless::HeadlessWindow& window = openConnected();
    for (const Case& c : cases) {
        const std::size_t field = settingsFieldIndex(c.key);
        const std::string value = std::string(c.key) + "=" + std::to_string(c.value);
        SCOPED_TRACE(value);
        const auto held = [&] { return settingsFields()[field].get(dialog_->settings()); };

        // Refused with a message, or not typed at all: the amplitude field takes no sign.
        window.type(c.how.edit, decimal(c.value, c.how.windowScale, c.how.windowDecimals));
        window.pressEnter();
        EXPECT_EQ(held() != c.value, c.refused) << "window";

        scpi::ErrorQueue client;
        instrument_.execute(
            client,
            std::string(c.how.header) + " " + decimal(c.value, c.how.scpiScale, c.how.scpiDecimals),
            {model::FrontEnd::kScpi, "test"});
        EXPECT_EQ(!client.empty(), c.refused) << "SCPI";
        EXPECT_EQ(held() != c.value, c.refused) << "SCPI";

        bool refusedByCommandLine = false;
        try {
            ctl::checkAssignment(ctl::parseAssignment(value));
        } catch (const ctl::UsageError&) {
            refusedByCommandLine = true;
        }
        EXPECT_EQ(refusedByCommandLine, c.refused) << "command line";
    }
}

}  // namespace
}  // namespace tavero::app::testing
