// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "measure/SignalSource.h"

namespace tavero::qt {

/// A source whose every call runs on the user-interface thread, whichever thread makes it: a
/// sweep on a worker thread keeps the window responsive, while the generator is still only
/// ever spoken to where the window speaks to it. A call from another thread waits for its
/// turn; a call on the user-interface thread runs at once.
class UiThreadSignalSource final : public QObject, public measure::SignalSource {
public:
    /// Lives on the thread that creates it, which must be the user-interface thread.
    explicit UiThreadSignalSource(measure::SignalSource& source) : source_(source) {}

    measure::FrequencyRange range() const override;
    bool start(std::uint32_t amplitudeMillivolt) override;
    bool setFrequency(std::uint32_t frequencyCentiHz) override;
    bool restore() override;

private:
    template <typename Call>
    bool onUiThread(Call call);

    measure::SignalSource& source_;
};

}  // namespace tavero::qt
