// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

namespace tavero::app::testing {

namespace {

template <typename Ids>
std::string digitsOf(const headless::HeadlessWindow& window, const Ids& ids) {
    std::string shown;
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const res::Picture picture = window.picture(*it);
        shown += picture.kind() == res::Picture::Kind::Digit
                     ? static_cast<char>('0' + picture.digitValue())
                     : ' ';
    }
    return shown;
}

}  // namespace

std::string MainWindowTest::frequencyDigits() const {
    return digitsOf(*window_, res::kFrequencyDigitIds);
}

std::string MainWindowTest::amplitudeDigits() const {
    return digitsOf(*window_, res::kAmplitudeDigitIds);
}

ui::Point MainWindowTest::centreOf(int id) const {
    const ui::Rect rect = window_->controlRect(id);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace tavero::app::testing
