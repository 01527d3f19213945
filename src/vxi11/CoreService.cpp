// SPDX-License-Identifier: GPL-3.0-or-later
#include "vxi11/CoreService.h"

#include <algorithm>
#include <utility>
#include <variant>

namespace tavero::vxi11 {

namespace {

/// Procedures of the core channel.
enum CoreProcedure : std::uint32_t {
    kNull = 0,
    kCreateLink = 10,
    kDeviceWrite = 11,
    kDeviceRead = 12,
    kDeviceReadStb = 13,
    kDeviceTrigger = 14,
    kDeviceClear = 15,
    kDeviceRemote = 16,
    kDeviceLocal = 17,
    kDeviceLock = 18,
    kDeviceUnlock = 19,
    kDeviceEnableSrq = 20,
    kDeviceDoCmd = 22,
    kDestroyLink = 23,
    kCreateInterruptChannel = 25,
    kDestroyInterruptChannel = 26,
};
constexpr std::uint32_t kDeviceAbort = 1;

/// The outcome of a record that holds no call this channel answers.
ServiceOutcome insteadOfCall(std::string reply) {
    return reply.empty() ? ServiceOutcome{ServiceOutcome::Kind::kClose, {}}
                         : ServiceOutcome{ServiceOutcome::Kind::kReply, std::move(reply)};
}

/// A procedure number the core channel does not have.
struct UnknownProcedure {};

/// Device_ErrorCode values.
enum DeviceError : std::uint32_t {
    kNoError = 0,
    kInvalidLinkId = 4,
    kChannelNotEstablished = 6,
    kNotSupported = 8,
    kOutOfResources = 9,
    kLockedByAnother = 11,
    kNoLockHeld = 12,
    kIoTimeout = 15,
    kAborted = 23,
};

/// The error a call refused by the lock answers with.
std::uint32_t lockError(bool aborted) {
    return aborted ? kAborted : kLockedByAnother;
}

/// Device_Flags bits.
constexpr std::uint32_t kWaitLock = 0x01;
constexpr std::uint32_t kEnd = 0x08;
constexpr std::uint32_t kTermCharSet = 0x80;

/// Reasons a read ended.
constexpr std::uint32_t kReasonRequestCount = 0x01;
constexpr std::uint32_t kReasonTermChar = 0x02;
constexpr std::uint32_t kReasonEnd = 0x04;

constexpr std::size_t kMaxDeviceNameBytes = 256;
constexpr std::size_t kMaxInterruptHandleBytes = 40;

std::string errorOnly(std::uint32_t error) {
    XdrWriter out;
    out.uint32(error);
    return out.take();
}

/// The device_generic arguments: link, flags, lock timeout and I/O timeout in ms.
struct GenericParameters {
    std::uint32_t link;
    std::uint32_t flags;
    std::uint32_t lockTimeoutMs;
};

GenericParameters readGeneric(XdrReader& in) {
    GenericParameters parameters{};
    parameters.link = in.uint32();
    parameters.flags = in.uint32();
    parameters.lockTimeoutMs = in.uint32();
    in.uint32();  // I/O timeout: nothing here waits for input
    return parameters;
}

}  // namespace

CoreService::~CoreService() {
    for (const auto& [id, link] : links_) {
        instrument_.forget(link->status);
    }
}

Link* CoreService::find(ClientId client, std::uint32_t id) {
    const auto found = links_.find(id);
    return found != links_.end() && found->second->client == client ? found->second.get() : nullptr;
}

CoreService::LockState CoreService::lockFor(Link* link, std::uint32_t id, std::uint32_t flags,
                                            std::uint32_t lockTimeoutMs,
                                            std::chrono::milliseconds waited) {
    LockState state = LockState::kFree;
    if (lockHolder_ && *lockHolder_ != id) {
        const bool mayWait = (flags & kWaitLock) != 0 && waited.count() < lockTimeoutMs;
        state = mayWait ? LockState::kWait : LockState::kLocked;
    }
    if (link == nullptr) {
        return state;
    }
    if (state == LockState::kWait && link->abortRequested) {
        state = LockState::kAborted;
    }
    link->waiting = state == LockState::kWait;
    link->abortRequested = false;
    return state;
}

void CoreService::destroy(std::map<std::uint32_t, std::unique_ptr<Link>>::iterator link) {
    if (lockHolder_ == link->first) {
        holdLock(std::nullopt);
    }
    instrument_.forget(link->second->status);
    links_.erase(link);
}

void CoreService::nameClient(ClientId client, std::string name) {
    clientNames_[client] = std::move(name);
}

void CoreService::holdLock(std::optional<std::uint32_t> link) {
    lockHolder_ = link;
    generator_.setLockHolder(link ? links_.at(*link)->origin.client : std::string());
}

void CoreService::dropClient(ClientId client) {
    clientNames_.erase(client);
    for (auto link = links_.begin(); link != links_.end();) {
        const auto next = std::next(link);
        if (link->second->client == client) {
            destroy(link);
        }
        link = next;
    }
}

bool CoreService::runMessage(Link& link, bool mayWait) {
    std::string_view message = link.message;
    if (message.ends_with('\n')) {
        message.remove_suffix(1);
    }
    // An answer left unread is dropped by the next program message, so that a client that
    // never reads holds one answer at most.
    if (!link.waitingForFile) {
        link.answer.clear();
    }
    while (true) {
        const std::size_t end = message.find('\n');
        std::string_view line = message.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::optional<std::string> answer =
            mayWait ? instrument_.tryExecute(link.status, line, link.origin)
                    : instrument_.execute(link.status, line, link.origin);
        if (!answer) {
            link.message.erase(0, static_cast<std::size_t>(message.data() - link.message.data()));
            link.waitingForFile = true;
            return false;
        }
        link.answer += *answer;
        if (end == std::string_view::npos) {
            break;
        }
        message.remove_prefix(end + 1);
    }
    link.message.clear();
    link.waitingForFile = false;
    return true;
}

std::optional<std::string> CoreService::carryOut(ClientId client, const RpcCall& call,
                                                 std::chrono::milliseconds waited) {
    XdrReader in = call.arguments;
    XdrWriter out;
    switch (call.procedure) {
        case kNull:
            return std::string();
        case kCreateLink: {
            in.int32();  // the client's own id, only for its logs
            const bool lockDevice = in.boolean();
            const std::uint32_t lockTimeoutMs = in.uint32();
            in.opaque(kMaxDeviceNameBytes);  // inst0, inst, or what a scope sends: all the same
            const std::size_t held = static_cast<std::size_t>(std::count_if(
                links_.begin(), links_.end(),
                [client](const auto& link) { return link.second->client == client; }));
            std::uint32_t error = kNoError;
            const LockState lock = lockDevice
                                       ? lockFor(nullptr, 0, kWaitLock, lockTimeoutMs, waited)
                                       : LockState::kFree;
            if (lock == LockState::kWait) {
                return std::nullopt;
            }
            std::uint32_t id = 0;
            if (held >= kMaxLinksPerClient) {
                error = kOutOfResources;
            } else if (lock == LockState::kLocked) {
                error = kLockedByAnother;
            } else {
                id = nextLinkId_++;
                auto link = std::make_unique<Link>();
                link->client = client;
                link->origin = {model::FrontEnd::kVxi11, clientNames_[client]};
                links_.emplace(id, std::move(link));
                if (lockDevice) {
                    holdLock(id);
                }
            }
            out.uint32(error);
            out.uint32(id);
            out.uint32(abortPort_);
            out.uint32(kMaxReceiveBytes);
            return out.take();
        }
        case kDeviceWrite: {
            const std::uint32_t id = in.uint32();
            in.uint32();  // I/O timeout
            const std::uint32_t lockTimeoutMs = in.uint32();
            const std::uint32_t flags = in.uint32();
            const std::string_view data = in.opaque(kMaxRecordBytes);
            Link* link = find(client, id);
            if (link == nullptr) {
                out.uint32(kInvalidLinkId);
                out.uint32(0);
                return out.take();
            }
            const LockState lock = lockFor(link, id, flags, lockTimeoutMs, waited);
            if (lock == LockState::kWait) {
                return std::nullopt;
            }
            if (lock != LockState::kFree) {
                out.uint32(lockError(lock == LockState::kAborted));
                out.uint32(0);
                return out.take();
            }
            // A write given again after waiting for the profile file brings nothing new.
            if (!link->waitingForFile && !link->overrun &&
                link->message.size() + data.size() > kMaxMessageBytes) {
                link->status.push(
                    {scpi::kInputBufferOverrun, scpi::standardMessage(scpi::kInputBufferOverrun)});
                link->overrun = true;
                link->message.clear();
            }
            if (!link->waitingForFile && !link->overrun) {
                link->message.append(data);
            }
            if ((flags & kEnd) != 0) {
                if (!link->overrun && !runMessage(*link, waited < scpi::Instrument::kMaxFileWait)) {
                    return std::nullopt;
                }
                link->overrun = false;
            }
            out.uint32(kNoError);
            out.uint32(static_cast<std::uint32_t>(data.size()));
            return out.take();
        }
        case kDeviceRead: {
            const std::uint32_t id = in.uint32();
            const std::uint32_t requestSize = in.uint32();
            in.uint32();  // I/O timeout
            const std::uint32_t lockTimeoutMs = in.uint32();
            const std::uint32_t flags = in.uint32();
            const char termChar = static_cast<char>(in.uint32() & 0xFF);
            Link* link = find(client, id);
            std::uint32_t error = kNoError;
            std::uint32_t reason = 0;
            std::string data;
            const LockState lock = link != nullptr ? lockFor(link, id, flags, lockTimeoutMs, waited)
                                                   : LockState::kFree;
            if (lock == LockState::kWait) {
                return std::nullopt;
            }
            if (link == nullptr) {
                error = kInvalidLinkId;
            } else if (lock != LockState::kFree) {
                error = lockError(lock == LockState::kAborted);
            } else if (link->answer.empty()) {
                // No answer comes by waiting: every message is carried out before its write
                // is answered.
                error = kIoTimeout;
            } else {
                std::size_t size =
                    std::min<std::size_t>({requestSize, link->answer.size(), kMaxReceiveBytes});
                if ((flags & kTermCharSet) != 0) {
                    const std::size_t at = link->answer.find(termChar);
                    if (at < size) {
                        size = at + 1;
                        reason |= kReasonTermChar;
                    }
                }
                if (size == link->answer.size()) {
                    reason |= kReasonEnd;
                }
                if (size == requestSize) {
                    reason |= kReasonRequestCount;
                }
                data = link->answer.substr(0, size);
                link->answer.erase(0, size);
            }
            out.uint32(error);
            out.uint32(reason);
            out.opaque(data);
            return out.take();
        }
        case kDeviceReadStb:
        case kDeviceTrigger:
        case kDeviceClear:
        case kDeviceRemote:
        case kDeviceLocal: {
            const GenericParameters parameters = readGeneric(in);
            Link* link = find(client, parameters.link);
            std::uint32_t error = kNoError;
            const LockState lock = link != nullptr
                                       ? lockFor(link, parameters.link, parameters.flags,
                                                 parameters.lockTimeoutMs, waited)
                                       : LockState::kFree;
            if (lock == LockState::kWait) {
                return std::nullopt;
            }
            std::uint8_t statusByte = 0;
            if (link == nullptr) {
                error = kInvalidLinkId;
            } else if (lock != LockState::kFree) {
                error = lockError(lock == LockState::kAborted);
            } else if (call.procedure == kDeviceReadStb) {
                statusByte = link->status.statusByte(!link->answer.empty());
            } else if (call.procedure == kDeviceTrigger) {
                // As *TRG would; an answer not yet read stays.
                link->answer += instrument_.execute(link->status, "*TRG", link->origin);
            } else if (call.procedure == kDeviceClear) {
                link->message.clear();
                link->answer.clear();
                link->overrun = false;
            } else {
                link->remote = call.procedure == kDeviceRemote;
                if (!link->remote) {
                    generator_.goLocal();
                }
            }
            out.uint32(error);
            if (call.procedure == kDeviceReadStb) {
                out.uint32(statusByte);
            }
            return out.take();
        }
        case kDeviceLock: {
            const std::uint32_t id = in.uint32();
            const std::uint32_t flags = in.uint32();
            const std::uint32_t lockTimeoutMs = in.uint32();
            Link* link = find(client, id);
            if (link == nullptr) {
                return errorOnly(kInvalidLinkId);
            }
            const LockState lock = lockFor(link, id, flags, lockTimeoutMs, waited);
            if (lock == LockState::kWait) {
                return std::nullopt;
            }
            if (lock != LockState::kFree) {
                return errorOnly(lockError(lock == LockState::kAborted));
            }
            holdLock(id);
            return errorOnly(kNoError);
        }
        case kDeviceUnlock: {
            const std::uint32_t id = in.uint32();
            if (find(client, id) == nullptr) {
                return errorOnly(kInvalidLinkId);
            }
            if (lockHolder_ != id) {
                return errorOnly(kNoLockHeld);
            }
            holdLock(std::nullopt);
            return errorOnly(kNoError);
        }
        case kDeviceEnableSrq: {
            in.uint32();
            in.boolean();
            in.opaque(kMaxInterruptHandleBytes);
            return errorOnly(kNotSupported);  // the instrument never requests service
        }
        case kDeviceDoCmd: {
            for (int field = 0; field < 6; ++field) {
                in.uint32();
            }
            in.opaque(kMaxRecordBytes);
            out.uint32(kNotSupported);
            out.opaque({});
            return out.take();
        }
        case kDestroyLink: {
            const std::uint32_t id = in.uint32();
            if (find(client, id) == nullptr) {
                return errorOnly(kInvalidLinkId);
            }
            destroy(links_.find(id));
            return errorOnly(kNoError);
        }
        case kCreateInterruptChannel:
            return errorOnly(kNotSupported);
        case kDestroyInterruptChannel:
            return errorOnly(kChannelNotEstablished);
        default:
            break;
    }
    throw UnknownProcedure{};
}

ServiceOutcome CoreService::callCore(ClientId client, std::string_view record,
                                     std::chrono::milliseconds waited) {
    auto read = callOf(record, kCoreProgram, kVxi11Version);
    if (auto* instead = std::get_if<std::string>(&read)) {
        return insteadOfCall(std::move(*instead));
    }
    const auto& call = std::get<RpcCall>(read);
    try {
        std::optional<std::string> results = carryOut(client, call, waited);
        if (!results) {
            return {ServiceOutcome::Kind::kWaitForLock, {}};
        }
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kSuccess, *results)};
    } catch (const UnknownProcedure&) {
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kProcedureUnavailable)};
    } catch (const XdrError&) {
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kGarbageArguments)};
    }
}

ServiceOutcome CoreService::callAbort(std::string_view record) {
    auto read = callOf(record, kAbortProgram, kVxi11Version);
    if (auto* instead = std::get_if<std::string>(&read)) {
        return insteadOfCall(std::move(*instead));
    }
    const auto& call = std::get<RpcCall>(read);
    if (call.procedure == kNull) {
        return {ServiceOutcome::Kind::kReply, acceptedReply(call.xid, AcceptStatus::kSuccess)};
    }
    if (call.procedure != kDeviceAbort) {
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kProcedureUnavailable)};
    }
    XdrReader in = call.arguments;
    try {
        const std::uint32_t id = in.uint32();
        // Every call is carried out to its end before the next is read: only a wait for the
        // lock is under way to be aborted.
        const auto link = links_.find(id);
        if (link != links_.end() && link->second->waiting) {
            link->second->abortRequested = true;
        }
        const std::uint32_t error = link != links_.end() ? kNoError : kInvalidLinkId;
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kSuccess, errorOnly(error))};
    } catch (const XdrError&) {
        return {ServiceOutcome::Kind::kReply,
                acceptedReply(call.xid, AcceptStatus::kGarbageArguments)};
    }
}

}  // namespace tavero::vxi11
