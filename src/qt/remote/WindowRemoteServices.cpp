// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/WindowRemoteServices.h"

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
    services_ = RemoteServices::start({.generator = env_.generator,
                                       .profileFile = env_.profileFile,
                                       .fileWriter = env_.fileWriter,
                                       .clock = clock_,
                                       .out = env_.out,
                                       .errors = errors_,
                                       .program = "tavero"},
                                      options, startStatus_);
    recorder_.recording = false;
    return services_ != nullptr;
}

void WindowRemoteServices::stop() {
    services_.reset();
}

}  // namespace tavero::qt
