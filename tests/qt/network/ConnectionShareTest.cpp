// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that keep one client from locking the others out of a full server, without sockets.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "qt/network/ConnectionShare.h"
#include "qt/network/LineLimiter.h"
#include "qt/network/ListenAddress.h"

namespace tavero::qt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ConnectionShareTest, AFullServerClosesForANewcomerOnlyWhatItsShareAllows) {
    const Clock::time_point start{};
    const QHostAddress a("10.0.0.1"), b("10.0.0.2"), c("10.0.0.3");
    struct Case {
        const char* what;
        std::vector<HeldConnection> held;  ///< a full server of capacity 8: share 2
        QHostAddress newcomer;
        std::optional<std::size_t> closed;
    };
    const auto idle = [&](const QHostAddress& peer, int secondsAgo) {
        return HeldConnection{peer, start - std::chrono::seconds(secondsAgo), false};
    };
    const auto partial = [&](const QHostAddress& peer, int secondsAgo) {
        return HeldConnection{peer, start - std::chrono::seconds(secondsAgo), true};
    };
    const std::vector<Case> cases = {
        {"the longest idle of the address holding the most",
         {idle(a, 1), idle(a, 9), idle(a, 3), idle(a, 2), idle(a, 1), idle(b, 99), idle(b, 1),
          idle(a, 1)},
         c,
         1},
        {"a partial request goes before a longer idle one",
         {idle(a, 9), idle(a, 9), idle(a, 9), partial(b, 1), idle(b, 9), idle(b, 9), idle(a, 9),
          idle(a, 9)},
         c,
         3},
        {"the newcomer's address at its share is refused",
         {idle(a, 1), idle(a, 1), idle(a, 1), idle(a, 1), idle(a, 1), idle(a, 1), idle(c, 1),
          idle(c, 1)},
         c,
         std::nullopt},
        {"one address holding everything refuses itself",
         {idle(a, 1), idle(a, 2), idle(a, 3), idle(a, 4), idle(a, 5), idle(a, 6), idle(a, 7),
          idle(a, 8)},
         a,
         std::nullopt},
        {"only addresses holding more than the newcomer give way",
         {idle(a, 1), idle(a, 1), partial(b, 9), idle(c, 1), idle(c, 1), idle(c, 1), idle(c, 9),
          idle(c, 1)},
         b,
         6},
        {"an address of its own for each connection: the longest idle",
         {idle(QHostAddress("10.0.1.1"), 1), idle(QHostAddress("10.0.1.2"), 5),
          idle(QHostAddress("10.0.1.3"), 2), idle(QHostAddress("10.0.1.4"), 1),
          idle(QHostAddress("10.0.1.5"), 1), idle(QHostAddress("10.0.1.6"), 1),
          idle(QHostAddress("10.0.1.7"), 1), idle(QHostAddress("10.0.1.8"), 1)},
         c,
         1},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(connectionToClose(test.held, test.newcomer, 8), test.closed) << test.what;
    }
}

TEST(ConnectionShareTest, LetsOneLineAMinuteThroughPerKeyAndCountsTheOthers) {
    LineLimiter limiter;
    const Clock::time_point start{};
    struct Step {
        std::string key;
        Clock::duration at;
        std::optional<std::size_t> admitted;  ///< lines held back before it, or held back
    };
    const std::array<Step, 7> steps = {{
        {"10.0.0.1", 0s, 0},
        {"10.0.0.1", 1s, std::nullopt},
        {"10.0.0.2", 1s, 0},
        {"10.0.0.1", 59s, std::nullopt},
        {"10.0.0.1", 60s, 2},
        {"10.0.0.1", 61s, std::nullopt},
        {"10.0.0.2", 200s, 0},
    }};
    for (const Step& step : steps) {
        EXPECT_EQ(limiter.admit(step.key, start + step.at), step.admitted)
            << step.key << " at "
            << std::chrono::duration_cast<std::chrono::seconds>(step.at).count();
    }
    // A flood of keys is bounded: beyond the most remembered, new ones wait for old ones.
    for (std::size_t key = 0; key < LineLimiter::kMaxKeys; ++key) {
        limiter.admit("flood " + std::to_string(key), start + 300s);
    }
    EXPECT_EQ(limiter.admit("one more", start + 301s), std::nullopt);
    EXPECT_EQ(limiter.admit("one more", start + 400s), 0U);
}

TEST(ListenAddressTest, TellsWhichAddressesAServerTakesAndNamesThem) {
    const QHostAddress both = parseListenAddress("[::]:5025")->host;
    const QHostAddress ipv4 = parseListenAddress("0.0.0.0:5025")->host;
    const QHostAddress lan("192.168.1.20");
    struct Case {
        QHostAddress listened;
        QHostAddress local;
        bool takes;
    };
    const std::array<Case, 8> cases = {{
        {both, QHostAddress("192.168.1.20"), true},
        {both, QHostAddress("::ffff:192.168.1.20"), true},
        {both, QHostAddress("2001:db8::1"), true},
        {ipv4, QHostAddress("2001:db8::1"), false},
        {ipv4, QHostAddress("::ffff:127.0.0.1"), true},
        {lan, QHostAddress("::ffff:192.168.1.20"), true},
        {lan, QHostAddress("192.168.1.21"), false},
        {QHostAddress("::1"), QHostAddress("::1"), true},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(listensOn(c.listened, c.local), c.takes)
            << c.listened.toString().toStdString() << " " << c.local.toString().toStdString();
    }
    EXPECT_EQ(addressText(both, 5025), "[::]:5025");
    EXPECT_EQ(plainAddress(QHostAddress("::ffff:10.0.0.1")), QHostAddress("10.0.0.1"));
    EXPECT_EQ(listText({"a"}), "a");
    EXPECT_EQ(listText({"a", "b", "c"}), "a, b and c");
    EXPECT_EQ(reachableAddresses(QHostAddress::LocalHost),
              QList{QHostAddress(QHostAddress::LocalHost)});
    const QList<QHostAddress> everywhere = reachableAddresses(both);
    ASSERT_FALSE(everywhere.isEmpty());
    EXPECT_TRUE(everywhere.last().isLoopback());  // what other computers reach comes first
}

}  // namespace
}  // namespace tavero::qt
