// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on the window's profile file.
#include <optional>
#include <utility>
#include <vector>

#include "ctl/ControlTool.h"
#include "ctl/LineSafeText.h"
#include "ctl/ProfileArguments.h"
#include "ctl/ProfileFileAccess.h"
#include "ctl/SettingAssignments.h"
#include "ctl/SettingsOutput.h"
#include "ctl/UsageError.h"
#include "model/SendableSettings.h"
#include "store/ProfileRowText.h"

namespace tavero::ctl {

int ControlTool::profiles(const CommandLine&) {
    ProfileFileAccess file(env_.profileFile, env_.fileWriter, env_.errors, &env_.clock);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        return kExitFailure;
    }
    for (std::size_t i = 0; i < profiles->size(); ++i) {
        env_.out << store::profileRowText(i, lineSafeText((*profiles)[i].name)) << '\n';
    }
    return kExitSuccess;
}

int ControlTool::profile(const CommandLine& line) {
    ProfileFileAccess file(env_.profileFile, env_.fileWriter, env_.errors, &env_.clock);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        return kExitFailure;
    }
    const std::size_t index = profileIndex(line.arguments[0], profiles->size());
    printProfile(env_.out, (*profiles)[index], line.json);
    return kExitSuccess;
}

int ControlTool::load(const CommandLine& line) {
    ProfileFileAccess file(env_.profileFile, env_.fileWriter, env_.errors, &env_.clock);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        return kExitFailure;
    }
    const std::size_t index = profileIndex(line.arguments[0], profiles->size());
    GeneratorSettings settings = (*profiles)[index].settings;
    for (const model::Replacement& replaced : model::makeSendable(settings)) {
        env_.errors << "tavero-ctl: warning: profile " << index + 1 << ' '
                    << model::replacementText(replaced) << '\n';
    }
    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->apply(model::Edit::whole(settings))) {
        return stopped();
    }
    return interrupted() ? stopped() : kExitSuccess;
}

int ControlTool::store(const CommandLine& line) {
    const std::string& name = line.arguments[1];
    checkProfileName(name);
    ProfileFileAccess file(env_.profileFile, env_.fileWriter, env_.errors, &env_.clock);
    std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (!profiles) {
        return kExitFailure;
    }
    const std::size_t index = profileIndex(line.arguments[0], profiles->size());
    StoredProfile stored;
    {
        const std::unique_ptr<GeneratorSession> generator = session();
        if (!generator->open() || interrupted() || !generator->readParameters() || interrupted()) {
            return stopped();
        }
        stored = StoredProfile{generator->settings(), name};
    }
    // The file is read again under the lock: a store made meanwhile by another program stays.
    if (!file.update(index, [&stored](StoredProfile& profile) { profile = stored; })) {
        return stopped();
    }
    // The settings were read whole before the notice: the store itself succeeded.
    if (std::exchange(disconnectFailed_, false)) {
        env_.errors << "tavero-ctl: warning: profile " << index + 1
                    << " was stored; only the disconnect notice failed\n";
    }
    return kExitSuccess;
}

}  // namespace tavero::ctl
