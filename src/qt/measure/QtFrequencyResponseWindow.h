// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FrequencyResponseWindow.h"

namespace tavero::qt {

class QtHost;

/// Shows the frequency response dialog modally over the window in front.
class QtFrequencyResponseWindow final : public app::FrequencyResponseWindow {
public:
    explicit QtFrequencyResponseWindow(QtHost& host) : host_(host) {}

    void run(measure::SignalSource& source) override;

private:
    QtHost& host_;
};

}  // namespace tavero::qt
