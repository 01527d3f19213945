// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CalibrationDialogTest.h"
#include "HeadlessWindow.h"
#include "dialogs/calibration/COszillatorDlg.h"
#include "res/OszillatorTemplate.h"
#include "res/StandardIds.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

using Commands = std::vector<std::string>;
namespace ids = res::oszillator;

constexpr const char* kMethod1Refusal =
    "Bitte geben Sie einen Wert zwischen 66.109000 MHz und 68.109000 MHz ein!";
constexpr const char* kMethod2Refusal =
    "Bitte geben Sie einen Wert zwischen 24.627473 MHz und 25.372527 MHz ein!";

/// A typed measurement and what comes of it: the oscillator frequency sent (in 0.01 Hz), or a
/// refusal; and the text the field shows afterwards.
struct Measurement {
    const char* typed;
    std::optional<std::uint64_t> sent;
    const char* shown;
};

class OszillatorDialogTest : public CalibrationDialogTest {
protected:
    OszillatorDialogTest() : window(host.open(dialog)) {}

    /// Evaluates each measurement typed into `edit` and checks the command, the message box
    /// and the field's text.
    void expectOutcomes(int edit, const char* refusal, const std::vector<Measurement>& cases) {
        for (const Measurement& c : cases) {
            connection.generator.clearReceived();
            const std::size_t boxesBefore = host.messageBoxes().size();
            if (!c.sent) {
                host.answer(ui::Answer::Ok);
            }
            window.type(edit, c.typed);

            window.click(ids::kSendCalibration);

            if (c.sent) {
                EXPECT_EQ(received(), Commands{"k " + std::to_string(*c.sent)}) << c.typed;
                EXPECT_EQ(host.messageBoxes().size(), boxesBefore) << c.typed;
            } else {
                EXPECT_TRUE(received().empty()) << c.typed;
                ASSERT_EQ(host.messageBoxes().size(), boxesBefore + 1) << c.typed;
                EXPECT_EQ(host.messageBoxes().back().box,
                          (ui::MessageBoxRequest{refusal, "Kalibrierfehler", ui::Icon::Warning,
                                                 ui::Buttons::Ok}))
                    << c.typed;
            }
            EXPECT_EQ(window.text(edit), c.shown) << c.typed;
        }
    }

    COszillatorDlg dialog{connection.model};
    headless::HeadlessWindow& window;
};

TEST_F(OszillatorDialogTest, OpensWithMethod1AndTheNominalValuesAndClosesWithoutSending) {
    EXPECT_TRUE(window.isChecked(ids::kMethod1));
    EXPECT_FALSE(window.isChecked(ids::kMethod2));
    EXPECT_TRUE(window.isEnabled(ids::kMethod1Edit));
    EXPECT_FALSE(window.isEnabled(ids::kMethod2Edit));
    EXPECT_EQ(window.text(ids::kMethod1Edit), "67109000.00");
    EXPECT_EQ(window.text(ids::kMethod2Edit), "25000000.00");

    window.pressEscape();

    EXPECT_TRUE(window.ended());
    EXPECT_TRUE(connection.generator.received().empty());
}

TEST_F(OszillatorDialogTest, Method1SendsTheMeasuredOscillatorWithinItsRange) {
    expectOutcomes(ids::kMethod1Edit, kMethod1Refusal,
                   {
                       {"67109000", 6710900000, "67109000.00"},
                       {"66109000", 6610900000, "66109000.00"},
                       {"68109000", 6810900000, "68109000.00"},
                       {"67109012,5", 6710901250, "67109012.50"},
                       {"66108999.99", std::nullopt, "67109000.00"},
                       {"68109000.01", std::nullopt, "67109000.00"},
                       {"-67109000", std::nullopt, "67109000.00"},
                       // Nor is a number that is not finite or does not fit 64 bits.
                       {"1e300", std::nullopt, "67109000.00"},
                       {"inf", std::nullopt, "67109000.00"},
                       {"nan", std::nullopt, "67109000.00"},
                   });
}

TEST_F(OszillatorDialogTest, Method2SendsTheOscillatorThatGivesTheMeasuredOutput) {
    window.click(ids::kMethod2);
    expectOutcomes(ids::kMethod2Edit, kMethod2Refusal,
                   {
                       {"25000000", 6710900000, "25000000.00"},
                       {"25001000", 6711168436, "25001000.00"},
                       {"24627471.73", 6610900001, "24627471.73"},
                       {"25372528,27", 6810899998, "25372528.27"},
                       {"24627471.72", std::nullopt, "25000000.00"},
                       {"25372528.28", std::nullopt, "25000000.00"},
                       {"68000000", std::nullopt, "25000000.00"},
                       {"1e300", std::nullopt, "25000000.00"},
                       {"inf", std::nullopt, "25000000.00"},
                       {"nan", std::nullopt, "25000000.00"},
                   });
}

TEST_F(OszillatorDialogTest, EnterInTheEnabledFieldEvaluatesTheSelectedMethod) {
    window.type(ids::kMethod1Edit, "67109012,5");
    window.pressEnter();
    window.click(ids::kMethod2);
    EXPECT_FALSE(window.isEnabled(ids::kMethod1Edit));
    EXPECT_TRUE(window.isEnabled(ids::kMethod2Edit));
    window.type(ids::kMethod2Edit, "25001000");
    window.pressEnter();
    window.setFocus(ids::kSendCalibration);
    window.pressEnter();
    window.click(ids::kMethod1);
    EXPECT_TRUE(window.isEnabled(ids::kMethod1Edit));
    EXPECT_FALSE(window.isEnabled(ids::kMethod2Edit));

    EXPECT_FALSE(window.ended());
    EXPECT_EQ(received(), (Commands{"k 6710901250", "k 6711168436"}));
}

TEST_F(OszillatorDialogTest, AFailedCommandIsReportedAndTheFieldKeepsTheMeasurement) {
    connection.generator.injectFault(sim::Fault::kNak, 'k');
    host.answer(ui::Answer::Ok);
    window.type(ids::kMethod1Edit, "67109012,5");

    window.click(ids::kSendCalibration);

    ASSERT_EQ(host.messageBoxes().size(), 1U);
    EXPECT_EQ(host.messageBoxes()[0].box.text, "Antwort nicht OK");
    EXPECT_EQ(host.messageBoxes()[0].box.caption, "Übertragungsfehler");
    EXPECT_EQ(window.text(ids::kMethod1Edit), "67109012.50");
}

}  // namespace
}  // namespace tavero::dialogs
