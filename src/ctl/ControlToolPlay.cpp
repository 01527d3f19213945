// SPDX-License-Identifier: GPL-3.0-or-later
// Playing a task list file.
#include <string>

#include "ctl/ControlTool.h"
#include "ctl/LineSafeText.h"
#include "ctl/LoadFailureText.h"
#include "ctl/StandardOutputRedirect.h"
#include "ctl/TaskListPlayer.h"
#include "ctl/UsageError.h"
#include "model/SendableSettings.h"
#include "store/ProfileRowText.h"
#include "store/TaskListFile.h"

namespace tavero::ctl {

namespace {

/// The window's message for a task list file it cannot read.
constexpr std::string_view kCannotReadText = "Die Aufgabenliste könnte nicht gelesen werden.";

std::string loadFailureDetail(const store::TaskListRead& read) {
    if (read.failure == store::ReadFailure::CountAboveLimit) {
        return "Anzahl announces more than " + std::to_string(store::kMaxTaskEntryCount) +
               " entries";
    }
    if (read.extent.list != store::ListElement::Found) {
        return store::missingListText(read.extent.list, "Playlist");
    }
    return store::loadFailureText(read.load);
}

bool loops(LoopChoice choice, bool fileSaysLoop) {
    switch (choice) {
        case LoopChoice::kAlways:
            return true;
        case LoopChoice::kOnce:
            return false;
        case LoopChoice::kAsFile:
            break;
    }
    return fileSaysLoop;
}

}  // namespace

int ControlTool::play(const CommandLine& line) {
    const std::filesystem::path path = line.arguments[0];
    const store::TaskListRead read = [this, &path] {
        const StandardOutputRedirect toErrors(env_.errors);
        return store::readTaskListFile(path);
    }();
    // Without a Playlist element the file is not a task list at all, unlike one that lists
    // nothing.
    if (!read.ok() || read.extent.list != store::ListElement::Found) {
        env_.errors << kCannotReadText << "\ntavero-ctl: " << path.string() << ": "
                    << loadFailureDetail(read) << '\n';
        return kExitFailure;
    }
    if (read.list.entries.empty()) {
        throw UsageError("the task list " + path.string() + " holds no entries to play");
    }
    if (read.extent.inPart) {
        env_.errors << readInPartWarning(path, read.extent, read.list.entries.size(),
                                         {"entry", "entries"})
                    << '\n';
    }

    // Every value is made fit to send before the first is sent.
    std::vector<TaskEntry> entries = read.list.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (const model::Replacement& replaced :
             model::makeSendable(entries[i].profile.settings)) {
            env_.errors << "tavero-ctl: warning: entry "
                        << store::profileRowText(i, lineSafeText(entries[i].profile.name)) << ' '
                        << model::replacementText(replaced) << '\n';
        }
    }

    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open()) {
        return stopped();
    }
    TaskListPlayer player(*generator, env_.clock, env_.out);
    const PlayEnd end = player.play(entries, loops(line.loop, read.list.loop));
    switch (end.reason) {
        case PlayEnd::Reason::kFinished:
            return kExitSuccess;
        case PlayEnd::Reason::kSendFailed:
            if (generator->lost()) {
                env_.errors << "tavero-ctl: the generator is gone (unplugged?); play stopped at "
                            << "step " << end.step + 1 << ", "
                            << store::profileRowText(
                                   end.step, lineSafeText(read.list.entries[end.step].profile.name))
                            << '\n';
            }
            return kExitFailure;
        case PlayEnd::Reason::kOutputFailed:
            return kExitFailure;
        case PlayEnd::Reason::kInterrupted:
            break;
    }
    return kExitInterrupted + end.signal;
}

}  // namespace tavero::ctl
