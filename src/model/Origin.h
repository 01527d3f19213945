// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace tavero::link {
class MessageSink;
}

namespace tavero::model {

/// The front ends that act on the generator.
enum class FrontEnd : std::uint8_t {
    kWindow,       ///< the main window and its dialogs
    kTaskList,     ///< a task list being played, in the window or by the command line
    kCommandLine,  ///< tavero-ctl
    kScpi,         ///< a raw socket client
    kVxi11,        ///< a VXI-11 link
    kPage,         ///< the front panel in a browser
    kMeasurement,  ///< a frequency response measurement
    kGenerator,    ///< the generator itself: found gone
};

/// Who asked for something: a front end and, where it serves several, which client.
struct Origin {
    FrontEnd frontEnd = FrontEnd::kWindow;
    /// The client among the front end's: "192.0.2.7", "tavero-ctl"; empty for the window.
    std::string client;

    /// Whether it acts from outside the window: a script, an instrument or a browser.
    bool remote() const {
        return frontEnd == FrontEnd::kCommandLine || frontEnd == FrontEnd::kScpi ||
               frontEnd == FrontEnd::kVxi11 || frontEnd == FrontEnd::kPage;
    }
};

/// A front end's request: who asks, and where the failures of its exchanges are told, each
/// with exactly one message.
struct Requester {
    Origin origin;
    link::MessageSink& failures;
};

}  // namespace tavero::model
