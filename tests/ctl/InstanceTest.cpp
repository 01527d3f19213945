// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "ctl/HolderNotice.h"
#include "ctl/InstanceConversation.h"
#include "ctl/InstanceSession.h"
#include "ctl/StreamMessageSink.h"
#include "sim/Fault.h"

namespace tavero::ctl {
namespace {

constexpr char kDevice[] = "/dev/ttyUSB0";

/// Carries each request straight to the holder's conversation.
class DirectChannel final : public InstanceChannel {
public:
    explicit DirectChannel(InstanceConversation& holder) : holder_(holder) {}

    bool send(std::string_view line) override {
        pending_ += holder_.answer(line.substr(0, line.size() - 1));
        return true;
    }
    Received receive(std::chrono::steady_clock::time_point) override {
        const std::size_t end = pending_.find('\n');
        if (end == std::string::npos) {
            return {holder_.ended() ? Status::kGone : Status::kTimedOut, {}};
        }
        Received line{Status::kLine, pending_.substr(0, end)};
        pending_.erase(0, end + 1);
        return line;
    }
    long long peerProcessId() const override { return 4711; }

private:
    InstanceConversation& holder_;
    std::string pending_;
};

/// A program that holds a generator of its own, connected, as `serve` does.
struct Holder {
    Holder() {
        std::ostringstream discarded;
        StreamMessageSink quiet(discarded);
        model.ensureConnected({{model::FrontEnd::kScpi, {}}, quiet});
        generator.clearReceived();
    }

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    link::TraceFile noTrace{{}};
    std::ostringstream diagnostics;
    model::GeneratorModel model{bridge, noTrace, diagnostics, model::ConnectPolicy::kOnDemand};
    InstanceConversation conversation{model, {"tavero-ctl serve", 4711, kDevice, false}, {}};
};

class InstanceTest : public ToolTest {};

TEST_F(InstanceTest, ThroughTheHolderTheToolWritesWhatItsOwnConnectionWould) {
    const std::string list = writeFile("Eins.tvr",
                                       "<Playlist Anzahl=\"1\" Schleife=\"0\">\r\n"
                                       "\t<Playlistelement_1 Amplitude=\"100\" Duration=\"1\" "
                                       "ElementNr=\"1\">\r\n\t\tEins\r\n\t</Playlistelement_1>\r\n"
                                       "</Playlist>\r\n")
                                 .string();
    struct Case {
        std::vector<std::string> args;
        std::optional<sim::Fault> fault;
        char faultLetter;
    };
    const std::vector<Case> cases = {
        {{"read"}, {}, 0},
        {{"read", "--json"}, sim::Fault::kNoReply, 'P'},
        {{"set", "Frequenz=200000", "Amplitude=100"}, {}, 0},
        {{"set", "Amplitude=100"}, sim::Fault::kNak, 'g'},
        {{"set", "Frequenz=100025"}, sim::Fault::kBadCrc, 'f'},
        {{"store", "3", "Bank"}, {}, 0},
        {{"load", "3"}, {}, 0},
        {{"play", list, "--once"}, {}, 0},
        {{"reset", "--yes"}, {}, 0},
        // Last: the generator stays gone.
        {{"play", list}, sim::Fault::kUnplug, 'p'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.fault ? " with a fault" : ""));
        struct Run {
            int status;
            std::string out, errors, sent;
        };
        const auto runWith = [&](sim::SimulatedGenerator& generator,
                                 decltype(ToolEnvironment::heldGenerator) heldGenerator) {
            out_.str({});
            errors_.str({});
            if (c.fault) {
                generator.injectFault(*c.fault, c.faultLetter);
            }
            const int status = runOn(bridge_, c.args, std::move(heldGenerator));
            generator.clearFaults();
            std::string sent = generator.receivedLetters();
            generator.clearReceived();
            return Run{status, out_.str(), errors_.str(), sent};
        };
        const Run own = runWith(generator_, nullptr);
        Holder holder;
        const Run held = runWith(holder.generator, [&holder](std::ostream& errors) {
            return std::make_unique<InstanceSession>(
                std::make_unique<DirectChannel>(holder.conversation), kDevice, errors);
        });
        EXPECT_EQ(held.status, own.status);
        EXPECT_EQ(held.out, own.out);
        EXPECT_EQ(held.errors, own.errors);
        // The holder's connection stays: the tool's connect and disconnect notices are missing.
        ASSERT_TRUE(own.sent.starts_with('x')) << own.sent;
        const std::size_t notices = own.sent.ends_with('x') ? 2 : 1;
        EXPECT_EQ(held.sent, own.sent.substr(1, own.sent.size() - notices));
    }
}

TEST(InstanceProtocolTest, TheHolderRefusesWhatBreaksTheFormatAndEndsTheConversation) {
    model::Edit edit = model::Edit::field(settingsFieldIndex("Frequenzhub"), -1000, "m");
    edit.restoreOnFailure = true;
    const std::string apply = formatInstanceLine(applyRequest(edit));
    struct Case {
        std::vector<std::string> requests;
        std::string answers;  ///< the verbs of the answer lines
    };
    const std::vector<Case> cases = {
        {{"hello version=1", apply.substr(0, apply.size() - 1), "raise"}, "welcome done done"},
        {{"read"}, "refused"},
        {{"hello version=2"}, "refused"},
        {{"hello version=1", "hello version=1"}, "welcome refused"},
        {{"hello  version=1"}, "refused"},
        {{"hello version=%4"}, "refused"},
        {{"hello version=1 version=1"}, "refused"},
        {{"Hello version=1"}, "refused"},
        {{"hello version=1\r"}, "refused"},
        {{"hello version=1", "bootloader"}, "welcome refused"},
        {{"hello version=1", "apply fields=1 commands=f restore=0 settings=1"}, "welcome refused"},
        {{"hello version=1", "apply fields=1 commands=! restore=0 settings=" +
                                 formatSettings(GeneratorSettings::emptyProfile())},
         "welcome refused"},
        {{"hello version=1", "apply fields=1 commands=f restore=0 settings=" +
                                 std::string("99999999999") + formatSettings({}).substr(1)},
         "welcome refused"},
        {{"hello version=1 " + std::string(kInstanceLineLimit, 'a')}, "refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requests.back().substr(0, 60));
        Holder holder;
        std::string verbs;
        for (const std::string& request : c.requests) {
            std::istringstream answer(holder.conversation.answer(request));
            for (std::string line; std::getline(answer, line);) {
                verbs += (verbs.empty() ? "" : " ") + line.substr(0, line.find(' '));
            }
        }
        EXPECT_EQ(verbs, c.answers);
        EXPECT_EQ(holder.conversation.ended(), c.answers.ends_with("refused"));
    }
    // What goes out comes back as it was, a text with blanks, escapes and umlauts too.
    const std::optional<InstanceLine> parsed = parseInstanceLine(apply.substr(0, apply.size() - 1));
    ASSERT_TRUE(parsed);
    const std::optional<model::Edit> back = editOf(*parsed);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->values, edit.values);
    EXPECT_EQ(back->fields, edit.fields);
    EXPECT_EQ(back->commands, edit.commands);
    EXPECT_EQ(back->restoreOnFailure, edit.restoreOnFailure);
    const std::string text = "Fehler beim lesen %20 (Prüfung)\tx";
    const std::string line = formatInstanceLine(InstanceLine{"message", {}}.add("text", text));
    const std::optional<InstanceLine> message = parseInstanceLine(line.substr(0, line.size() - 1));
    ASSERT_TRUE(message && message->find("text") != nullptr) << line;
    EXPECT_EQ(*message->find("text"), text);
}

TEST(InstanceProtocolTest, ASecondWindowNamesTheHolderAndOffersItsWindow) {
    struct Case {
        HolderIdentity holder;
        const char* text;
    };
    const std::vector<Case> cases = {
        {{"tavero", 812, kDevice, true},
         "tavero (Prozess 812) verwendet den Tavero bereits.\n\n"
         "Soll das Fenster von tavero nach vorne geholt werden?"},
        {{"tavero-ctl serve", 77, kDevice, false},
         "tavero-ctl serve (Prozess 77) verwendet den Tavero bereits.\n\n"
         "Beenden Sie tavero-ctl serve, um den Tavero hier zu verbinden."},
    };
    for (const Case& c : cases) {
        const HolderNotice notice = holderNotice(c.holder);
        EXPECT_EQ(notice.text, c.text);
        EXPECT_EQ(notice.asksToRaise, c.holder.hasWindow);
    }
}

}  // namespace
}  // namespace tavero::ctl
