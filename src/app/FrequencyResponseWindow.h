// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::measure {
class SignalSource;
}  // namespace tavero::measure

namespace tavero::app {

/// The frequency response dialog ("Frequenzgang…"): the window system shows it modally, with
/// the generator as `source`, and returns once it is closed. The source is the main window's
/// and may only be used on the user-interface thread.
class FrequencyResponseWindow {
public:
    virtual ~FrequencyResponseWindow() = default;
    virtual void run(measure::SignalSource& source) = 0;
};

}  // namespace tavero::app
