// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/GeneratorModel.h"
#include "scpi/Instrument.h"
#include "vxi11/Link.h"
#include "vxi11/RpcMessage.h"

namespace tavero::vxi11 {

inline constexpr std::uint32_t kCoreProgram = 0x0607AF;
inline constexpr std::uint32_t kAbortProgram = 0x0607B0;
inline constexpr std::uint32_t kVxi11Version = 1;

/// What to do with a call the service was given.
struct ServiceOutcome {
    enum class Kind {
        kReply,        ///< send `reply` (one record)
        kWaitForLock,  ///< another link holds the lock: give the same call again later
        kClose,        ///< the record is no call: close the connection
    };
    Kind kind = Kind::kReply;
    std::string reply;
};

/// The VXI-11 core and abort channels over the instrument: the links of every client, the
/// device lock they share, and the answers of their procedures. Each link carries out its
/// program messages through the instrument as a raw-socket client its lines.
class CoreService {
public:
    /// The most data one write or read carries, in bytes (maxRecvSize).
    static constexpr std::uint32_t kMaxReceiveBytes = 4096;
    /// The longest program message taken, in bytes: the raw socket's longest line.
    static constexpr std::size_t kMaxMessageBytes = 4096;
    /// The longest record a channel takes, in bytes with its fragment headers.
    static constexpr std::size_t kMaxRecordBytes = kMaxReceiveBytes + 1024;
    /// The most links one client holds at once.
    static constexpr std::size_t kMaxLinksPerClient = 16;

    /// Carries out the links' messages on `instrument` and tells `generator` who holds the lock.
    CoreService(scpi::Instrument& instrument, model::GeneratorModel& generator)
        : instrument_(instrument), generator_(generator) {}
    ~CoreService();

    CoreService(const CoreService&) = delete;
    CoreService& operator=(const CoreService&) = delete;

    /// The abort channel's port, told to each new link.
    void setAbortPort(std::uint16_t port) { abortPort_ = port; }

    /// Answers one record of the core channel of `client`, whose call has waited `waited` for
    /// the lock so far.
    ServiceOutcome callCore(ClientId client, std::string_view record,
                            std::chrono::milliseconds waited = {});
    /// Answers one record of the abort channel. device_abort ends the link's call that waits for
    /// the lock, with the abort error, when that call is given again.
    ServiceOutcome callAbort(std::string_view record);
    /// Names the client as the generator's observers see it, e.g. by its address.
    void nameClient(ClientId client, std::string name);
    /// The client's connection closed: its links end and their lock is released.
    void dropClient(ClientId client);

    std::size_t linkCount() const { return links_.size(); }

private:
    /// Carries out a procedure's arguments into its results; nothing while the call must wait.
    std::optional<std::string> carryOut(ClientId client, const RpcCall& call,
                                        std::chrono::milliseconds waited);
    Link* find(ClientId client, std::uint32_t id);
    /// Whether the call of link `id` may go on, must wait for the lock, or is refused because
    /// another link holds it or because the wait was aborted. `link` is null before the link
    /// exists, whose wait cannot be aborted.
    enum class LockState { kFree, kWait, kLocked, kAborted };
    LockState lockFor(Link* link, std::uint32_t id, std::uint32_t flags,
                      std::uint32_t lockTimeoutMs, std::chrono::milliseconds waited);
    /// Carries out the lines of the link's message. With `mayWait`, a line that needs the
    /// profile file while another program holds it stops the run: the message keeps it and the
    /// lines after it, and false is returned.
    bool runMessage(Link& link, bool mayWait);
    /// The lock held by `link`, or by none.
    void holdLock(std::optional<std::uint32_t> link);
    void destroy(std::map<std::uint32_t, std::unique_ptr<Link>>::iterator link);

    scpi::Instrument& instrument_;
    model::GeneratorModel& generator_;
    std::map<ClientId, std::string> clientNames_;
    std::uint16_t abortPort_ = 0;
    std::map<std::uint32_t, std::unique_ptr<Link>> links_;
    std::uint32_t nextLinkId_ = 1;
    std::optional<std::uint32_t> lockHolder_;
};

}  // namespace tavero::vxi11
