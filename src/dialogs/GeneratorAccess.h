// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "dialogs/HostMessageSink.h"
#include "model/GeneratorModel.h"

namespace tavero::link {
class MessageSink;
}  // namespace tavero::link

namespace tavero::dialogs {

/// The generator model as a dialog uses it for the exchanges of one handler, acting as
/// `frontEnd`, with every failure reported to `failures`, or shown as a message box of the
/// dialog's host when there is none.
class GeneratorAccess {
public:
    GeneratorAccess(ui::Host& host, link::MessageSink* failures, model::GeneratorModel& generator,
                    model::FrontEnd frontEnd)
        : hostSink_(host),
          generator_(generator),
          requester_{{frontEnd, {}}, failures != nullptr ? *failures : hostSink_} {}

    GeneratorAccess(const GeneratorAccess&) = delete;
    GeneratorAccess& operator=(const GeneratorAccess&) = delete;

    bool apply(const model::Edit& edit) { return generator_.apply(edit, requester_); }
    bool sendLevel(std::uint16_t level) { return generator_.sendLevel(level, requester_); }
    bool sendCalibration(std::uint16_t level200mV, std::uint16_t level800mV) {
        return generator_.sendCalibration(level200mV, level800mV, requester_);
    }
    bool sendOscillatorFrequency(std::uint64_t frequencyCentiHz) {
        return generator_.sendOscillatorFrequency(frequencyCentiHz, requester_);
    }

private:
    HostMessageSink hostSink_;
    model::GeneratorModel& generator_;
    model::Requester requester_;
};

}  // namespace tavero::dialogs
