// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/WindowRemoteServices.h"

#include <sstream>

#include "ctl/StreamMessageSink.h"
#include "qt/remote/RemoteServices.h"

namespace tavero::qt {

std::streamsize WindowRemoteServices::Recorder::xsputn(const char* text, std::streamsize count) {
    if (recording) {
        recorded.append(text, static_cast<std::size_t>(count));
    }
    return target->sputn(text, count);
}

WindowRemoteServices::Recorder::int_type WindowRemoteServices::Recorder::overflow(
    int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    if (recording) {
        recorded.push_back(traits_type::to_char_type(character));
    }
    return target->sputc(traits_type::to_char_type(character));
}

WindowRemoteServices::WindowRemoteServices(const Environment& environment)
    : env_(environment), recorder_(environment.errors.rdbuf()), errors_(&recorder_) {}

WindowRemoteServices::~WindowRemoteServices() = default;

bool WindowRemoteServices::start(const RemoteOptions& options) {
    // The old services give up their ports before the new ones take them.
    stop();
    recorder_.recorded.clear();
    recorder_.recording = true;
    // Before the services say they listen, so that whoever waits for that line may end them.
    interrupts_.emplace();
    services_ = RemoteServices::start({.generator = env_.generator,
                                       .profileFile = env_.profileFile,
                                       .fileWriter = env_.fileWriter,
                                       .clock = clock_,
                                       .out = env_.out,
                                       .errors = errors_,
                                       .program = "tavero"},
                                      options, startStatus_);
    recorder_.recording = false;
    if (!services_) {
        interrupts_.reset();
    }
    return services_ != nullptr;
}

void WindowRemoteServices::stop() {
    services_.reset();
    interrupts_.reset();
}

void WindowRemoteServices::endAfterInterrupt() {
    if (!interrupts_ || !interrupts_->interrupted() || !env_.generator.connected()) {
        return;
    }
    // Nobody is left to read a failure: the program ends either way.
    std::ostringstream discarded;
    ctl::StreamMessageSink quiet(discarded);
    env_.generator.disconnect({{model::FrontEnd::kWindow, {}}, quiet});
}

}  // namespace tavero::qt
