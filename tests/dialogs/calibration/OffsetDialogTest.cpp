// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "CalibrationDialogTest.h"
#include "HeadlessWindow.h"
#include "dialogs/calibration/COffsetDlg.h"
#include "res/OffsetTemplate.h"
#include "res/StandardIds.h"
#include "sim/Fault.h"

namespace tavero::dialogs {
namespace {

using Commands = std::vector<std::string>;
namespace ids = res::offset;

class OffsetDialogTest : public CalibrationDialogTest {};

/// The ways a user closes the dialog.
struct CloseWay {
    const char* name;
    void (*close)(headless::HeadlessWindow& window);
};
const std::array<CloseWay, 3> kCloseWays = {{
    {"Schließen", [](headless::HeadlessWindow& window) { window.click(res::kIdCancel); }},
    {"Escape", [](headless::HeadlessWindow& window) { window.pressEscape(); }},
    {"close box", [](headless::HeadlessWindow& window) { window.pressCloseBox(); }},
}};

TEST_F(OffsetDialogTest, OpeningSendsNothingAndEveryWayOfClosingRestoresTheAmplitude) {
    for (const CloseWay& way : kCloseWays) {
        connection.generator.clearReceived();
        COffsetDlg dialog(connection.model);
        headless::HeadlessWindow& window = host.open(dialog);
        EXPECT_TRUE(connection.generator.received().empty()) << way.name;

        way.close(window);

        EXPECT_EQ(window.result(), res::kIdCancel) << way.name;
        ASSERT_EQ(connection.generator.received().size(), 1U) << way.name;
        EXPECT_EQ(connection.generator.received()[0].letter, 'g') << way.name;
        EXPECT_EQ(connection.generator.received()[0].arguments,
                  (std::vector<std::uint8_t>{0x01, 0xF4}))
            << way.name;
    }
}

TEST_F(OffsetDialogTest, ButtonsDriveTheOutputStageToItsEndsAndEnterDoesNothing) {
    COffsetDlg dialog(connection.model);
    headless::HeadlessWindow& window = host.open(dialog);
    window.click(ids::kMinimumAmplitude);
    window.click(ids::kMinimumAmplitude);
    window.click(ids::kMaximumAmplitude);
    window.pressEnter();

    EXPECT_FALSE(window.ended());
    EXPECT_EQ(received(), (Commands{"d 16383", "d 16383", "d 0"}));
}

TEST_F(OffsetDialogTest, AFailedRestoreIsReportedAndTheDialogClosesAnyway) {
    COffsetDlg dialog(connection.model);
    headless::HeadlessWindow& window = host.open(dialog);
    connection.generator.injectFault(sim::Fault::kNak, 'g');
    host.answer(ui::Answer::Ok);

    window.click(res::kIdCancel);

    EXPECT_TRUE(window.ended());
    ASSERT_EQ(host.messageBoxes().size(), 1U);
    EXPECT_EQ(host.messageBoxes()[0].box,
              (ui::MessageBoxRequest{"Antwort nicht OK", "Übertragungsfehler", ui::Icon::Error,
                                     ui::Buttons::Ok}));
}

}  // namespace
}  // namespace tavero::dialogs
