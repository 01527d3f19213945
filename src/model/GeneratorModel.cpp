// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GeneratorModel.h"

#include <algorithm>
#include <utility>

#include "link/TraceFile.h"
#include "model/SettingsCommand.h"

namespace tavero::model {

namespace {

const Origin kGeneratorOrigin{FrontEnd::kGenerator, {}};

}  // namespace

class GeneratorModel::RequestScope {
public:
    RequestScope(GeneratorModel& model, const Requester& by)
        : failures_(model.failures_), previous_(failures_.target) {
        failures_.target = &by.failures;
    }
    ~RequestScope() { failures_.target = previous_; }
    RequestScope(const RequestScope&) = delete;
    RequestScope& operator=(const RequestScope&) = delete;

private:
    Failures& failures_;
    link::MessageSink* previous_;
};

void GeneratorModel::Failures::showError(std::string_view text, std::string_view caption) {
    if (model_.port_.deviceLost()) {
        model_.noticeLoss();
    }
    if (target != nullptr) {
        target->showError(text, caption);
    }
}

GeneratorModel::GeneratorModel(link::UsbBridge& bridge, link::TraceFile& trace,
                               std::ostream& diagnostics, ConnectPolicy policy)
    : policy_(policy), port_(bridge), link_(trace, diagnostics) {}

GeneratorModel::~GeneratorModel() {
    if (port_.IsOpen()) {
        port_.Close();
    }
}

link::ConnectResult GeneratorModel::connect(const Requester& by) {
    const RequestScope scope(*this, by);
    const link::ConnectResult result = link::connectGenerator(port_, link_, commands_);
    if (result == link::ConnectResult::kConnected) {
        notifyAll([&by](GeneratorObserver& o) {
            o.connectionChanged({ConnectionEvent::kConnected, by.origin});
        });
    }
    return result;
}

bool GeneratorModel::ensureConnected(const Requester& by) {
    if (connected() || policy_ == ConnectPolicy::kByUser) {
        return connected();
    }
    switch (connect(by)) {
        case link::ConnectResult::kNoDevice:
            by.failures.showError(link::kConnectFailedText, link::kConnectionErrorCaption);
            return false;
        case link::ConnectResult::kHandshakeFailed:
            return false;
        case link::ConnectResult::kConnected:
            break;
    }
    return readParameters(by);
}

bool GeneratorModel::readParameters(const Requester& by) {
    const RequestScope scope(*this, by);
    GeneratorSettings read = settings_;
    std::uint16_t version = firmwareVersion_;
    if (!commands_.ReadParameters(read, version)) {
        return false;
    }
    const FieldSet changed = differingFields(settings_, read);
    settings_ = read;
    firmwareVersion_ = version;
    notifyAll([&](GeneratorObserver& o) { o.settingsChanged({changed, by.origin, true}); });
    return true;
}

link::DisconnectResult GeneratorModel::disconnect(const Requester& by) {
    const RequestScope scope(*this, by);
    const bool wasOpen = port_.IsOpen();
    const link::DisconnectResult result = link::disconnectGenerator(port_, commands_);
    if (wasOpen && !port_.IsOpen()) {
        notifyAll([&by](GeneratorObserver& o) {
            o.connectionChanged({ConnectionEvent::kDisconnected, by.origin});
        });
    }
    return result;
}

bool GeneratorModel::closeWithoutNotice(const Origin& by) {
    if (!port_.IsOpen()) {
        return true;
    }
    const bool closed = port_.Close();
    notifyAll([&by](GeneratorObserver& o) {
        o.connectionChanged({ConnectionEvent::kDisconnected, by});
    });
    return closed;
}

void GeneratorModel::watch() {
    if (port_.IsOpen() && !port_.Flush() && port_.deviceLost()) {
        noticeLoss();
    }
}

void GeneratorModel::noticeLoss() {
    if (!port_.IsOpen()) {
        return;
    }
    // Nothing can carry a disconnect notice; the record stays as it is.
    port_.Close();
    notifyAll([](GeneratorObserver& o) {
        o.connectionChanged({ConnectionEvent::kLost, kGeneratorOrigin});
    });
}

bool GeneratorModel::apply(const Edit& edit, const Requester& by) {
    const RequestScope scope(*this, by);
    const GeneratorSettings before = settings_;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        if (edit.fields[i]) {
            settingsFields()[i].set(settings_, settingsFields()[i].get(edit.values));
        }
    }
    bool taken = true;
    for (const char letter : edit.commands) {
        if (lost()) {
            taken = false;
            break;
        }
        taken = sendSettingsCommand(commands_, letter, settings_) && taken;
    }
    if (!taken && edit.restoreOnFailure) {
        settings_ = before;
    }
    const FieldSet changed = differingFields(before, settings_);
    notifyAll([&](GeneratorObserver& o) { o.settingsChanged({changed, by.origin, taken}); });
    return taken;
}

bool GeneratorModel::sendLevel(std::uint16_t level, const Requester& by) {
    const RequestScope scope(*this, by);
    return commands_.SendLevel(level);
}

bool GeneratorModel::sendCalibration(std::uint16_t level200mV, std::uint16_t level800mV,
                                     const Requester& by) {
    const RequestScope scope(*this, by);
    return commands_.SendCalibration(level200mV, level800mV);
}

bool GeneratorModel::sendOscillatorFrequency(std::uint64_t frequencyCentiHz, const Requester& by) {
    const RequestScope scope(*this, by);
    return commands_.SendOscillatorFrequency(frequencyCentiHz);
}

bool GeneratorModel::sendFactoryReset(const Requester& by) {
    const RequestScope scope(*this, by);
    return commands_.SendFactoryReset();
}

bool GeneratorModel::startBootloader(const Requester& by) {
    const RequestScope scope(*this, by);
    return commands_.StartBootloader();
}

void GeneratorModel::setLockHolder(std::string holder) {
    if (holder == remote_.lockHolder) {
        return;
    }
    remote_.lockHolder = std::move(holder);
    remote_.localOverride = false;
    notifyAll([](GeneratorObserver& o) { o.remoteControlChanged(); });
}

void GeneratorModel::setLockout(bool on) {
    if (!on) {
        goLocal();
        return;
    }
    remote_.lockout = true;
    remote_.localOverride = false;
    notifyAll([](GeneratorObserver& o) { o.remoteControlChanged(); });
}

void GeneratorModel::goLocal() {
    remote_.lockout = false;
    remote_.localOverride = !remote_.lockHolder.empty();
    notifyAll([](GeneratorObserver& o) { o.remoteControlChanged(); });
}

void GeneratorModel::subscribe(GeneratorObserver& observer) {
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
        observers_.push_back(&observer);
    }
}

void GeneratorModel::unsubscribe(GeneratorObserver& observer) {
    std::erase(observers_, &observer);
}

template <typename Notify>
void GeneratorModel::notifyAll(Notify notify) {
    // An observer may subscribe or unsubscribe others while it is told; one that left is not
    // told any more.
    const std::vector<GeneratorObserver*> told = observers_;
    for (GeneratorObserver* observer : told) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) {
            notify(*observer);
        }
    }
}

}  // namespace tavero::model
