// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure/UiThreadSignalSource.h"

#include <QMetaObject>
#include <QThread>

namespace tavero::qt {

template <typename Call>
bool UiThreadSignalSource::onUiThread(Call call) {
    if (QThread::currentThread() == thread()) {
        return call();
    }
    bool result = false;
    QMetaObject::invokeMethod(
        this, [&result, &call] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
}

measure::FrequencyRange UiThreadSignalSource::range() const {
    // A constant of the generator's: no exchange.
    return source_.range();
}

bool UiThreadSignalSource::start(std::uint32_t amplitudeMillivolt) {
    return onUiThread([&] { return source_.start(amplitudeMillivolt); });
}

bool UiThreadSignalSource::setFrequency(std::uint32_t frequencyCentiHz) {
    return onUiThread([&] { return source_.setFrequency(frequencyCentiHz); });
}

bool UiThreadSignalSource::restore() {
    return onUiThread([&] { return source_.restore(); });
}

}  // namespace tavero::qt
