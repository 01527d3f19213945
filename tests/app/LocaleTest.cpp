// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include "GermanLocale.h"
#include "MainWindowFixture.h"
#include "res/AboutTemplate.h"
#include "res/PllTemplate.h"
#include "res/StandardIds.h"

namespace tavero::app::testing {
namespace {

using headless::HeadlessWindow;

// The Qt application object takes the C library's locale from the environment; a German one
// writes "%.2f" with a comma.
TEST_F(MainWindowTest, NumbersAreWrittenAndReadWithThePointUnderAGermanLocale) {
    const std::string german = tavero::testing::germanLocale();
    ASSERT_FALSE(german.empty()) << "no German locale and localedef could not build one";
    const tavero::testing::ScopedCLocale locale(german);

    std::vector<std::string> shown;
    host_->scriptModal(res::kAboutId, [&shown](HeadlessWindow& about) {
        shown.push_back(about.text(res::kAboutFirmwareLabel));
        about.click(res::kIdOk);
    });
    host_->scriptModal(res::pll::kDialogId, [&shown](HeadlessWindow& pll) {
        shown.push_back(pll.text(res::pll::kOffsetEdit));
        pll.pressEscape();
    });
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.pllOffset = 12345;
    openConnected(s);
    window_->type(res::kEditFrequency, "123560.5");
    window_->setFocus(res::kEditFrequency);
    window_->pressEnter();
    window_->chooseMenu(res::kMenuAbout);
    window_->click(res::kButtonPll);

    for (const int edit : res::kEntryEditIds) {
        shown.push_back(window_->text(edit));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Firmwareversion 1.20", "123.45", "123560.50", "500",
                                               "0.25", "30000000.00", "0.00"}));
}

}  // namespace
}  // namespace tavero::app::testing
