// SPDX-License-Identifier: GPL-3.0-or-later
// The front panel's rules without a server: which requests it serves, the page's language and
// what each change of the page becomes.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "qt/web/HttpAnswer.h"
#include "qt/web/PanelChange.h"
#include "qt/web/PanelTexts.h"
#include "qt/web/PasswordAttempts.h"
#include "qt/web/RequestGuard.h"
#include "qt/web/RequestHeadScan.h"

namespace tavero::qt {
namespace {

TEST(FrontPanelRulesTest, ServesOnlyHostsThatNameTheServer) {
    const RequestGuard loopback(QHostAddress("127.0.0.1"), 8080, {"bench-pi"}, {});
    const RequestGuard any(QHostAddress(QHostAddress::AnyIPv4), 8080, {"bench-pi"},
                           {QHostAddress("192.168.1.20"), QHostAddress("127.0.0.1")});
    const RequestGuard onLan(QHostAddress("192.168.1.20"), 80, {"bench-pi"}, {});
    struct Case {
        const RequestGuard& guard;
        QByteArray host;
        bool allowed;
    };
    const Case cases[] = {
        {loopback, "127.0.0.1:8080", true},
        {loopback, "localhost:8080", true},
        {loopback, "LOCALHOST:8080", true},
        {loopback, "bench-pi:8080", true},
        {loopback, "[::1]:8080", true},
        {loopback, "127.0.0.1:8081", false},     // another port
        {loopback, "127.0.0.1", false},          // port 80 meant
        {loopback, "evil.example:8080", false},  // DNS rebinding
        {loopback, "bench-pi.evil.example:8080", false},
        {loopback, "192.168.1.20:8080", false},  // not listened on
        {loopback, "", false},
        {loopback, "user@127.0.0.1:8080", false},
        {loopback, "127.0.0.1:8080/x", false},
        {any, "192.168.1.20:8080", true},
        {any, "192.168.1.21:8080", false},
        {any, "127.0.0.1:8080", true},
        {onLan, "192.168.1.20", true},
        {onLan, "192.168.1.20:80", true},
        {onLan, "127.0.0.1", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.guard.hostAllowed(c.host), c.allowed) << c.host.constData();
    }
}

TEST(FrontPanelRulesTest, TakesChangesOnlyFromThePagesOwnOrigin) {
    struct Case {
        QByteArray origin;
        bool allowed;
    };
    const Case cases[] = {
        {"", true},  // no browser under another site's control
        {"http://127.0.0.1:8080", true},
        {"https://127.0.0.1:8080", false},
        {"http://127.0.0.1:8081", false},
        {"http://localhost:8080", false},  // another origin than the page was loaded from
        {"null", false},
        {"http://evil.example", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RequestGuard::originAllowed(c.origin, "127.0.0.1:8080"), c.allowed)
            << c.origin.constData();
    }
}

TEST(FrontPanelRulesTest, SpeaksTheBrowsersMostPreferredLanguage) {
    struct Case {
        QByteArray acceptLanguage;
        Language language;
    };
    const Case cases[] = {
        {"de-DE,de;q=0.9,en;q=0.8", Language::German},
        {"en-US,en;q=0.9,de;q=0.8", Language::English},
        {"en;q=0.5,de-AT", Language::German},
        {"fr-FR,de;q=0.9", Language::English},
        {"de;q=0,en", Language::English},
        {"", Language::German},
        {"*", Language::German},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(panelLanguage(c.acceptLanguage), c.language) << c.acceptLanguage.constData();
    }
}

TEST(FrontPanelRulesTest, FillsThePageWithEscapedTextsOfItsLanguage) {
    const QByteArray page =
        withPanelTexts("<html lang=\"{{lang}}\">{{waveform}}|{{profiles}}", nullptr);
    EXPECT_EQ(page, "<html lang=\"de\">Signalform|Profil laden / speichern");
}

TEST(FrontPanelRulesTest, TurnsEachChangeIntoTheSCPILineOrTheWindowsMessage) {
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    settings.minimalfrequenz = 100;        // 1 Hz
    settings.maximalfrequenz = 1'000'000;  // 10 kHz
    GeneratorSettings modulated = settings;
    modulated.konfiguration = kBetriebsartModulation;
    modulated.modulationseinstellungen = kPmArtPsk;
    GeneratorSettings amModulated = modulated;
    amModulated.modulationseinstellungen |= kModulationAm;
    GeneratorSettings sweeping = settings;
    sweeping.konfiguration = kBetriebsartWobbeln | kKonfigurationFilter;
    const std::string frequencyRefused =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25 "
        "Hz\nMinimalfrequenz: 1.00 Hz\nMaximalfrequenz: 10000.00 Hz";
    const std::string amplitudeRefused =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 1 "
        "mV\nMinimum: 0 mV\nMaximum: 1000 mV";
    struct Case {
        std::string_view control;
        std::string_view value;
        const GeneratorSettings& settings;
        std::string command;  ///< empty when refused or unknown
        std::string refusal;  ///< empty when taken or unknown
    };
    const Case cases[] = {
        {"frequency", "2500", settings, "FREQ 2500.00", ""},
        {"frequency", "12,25", settings, "FREQ 12.25", ""},
        {"frequency", "1", settings, "FREQ 1.00", ""},
        {"frequency", "10000", settings, "FREQ 10000.00", ""},
        {"frequency", "10000.25", settings, "", frequencyRefused},
        {"frequency", "0.75", settings, "", frequencyRefused},
        {"frequency", "12.3", settings, "", frequencyRefused},  // off the 0.25 Hz grid
        {"frequency", "-5", settings, "", frequencyRefused},
        {"frequency", "1e400", settings, "", frequencyRefused},
        {"amplitude", "250", settings, "VOLT 250MV", ""},
        {"amplitude", "0", settings, "VOLT 0MV", ""},
        {"amplitude", "1000", settings, "VOLT 1000MV", ""},
        {"amplitude", "1001", settings, "", amplitudeRefused},
        {"amplitude", "-1", settings, "", amplitudeRefused},
        {"waveform", "sine", settings, "FUNC SIN", ""},
        {"waveform", "square-half", settings, "FUNC SQU2", ""},
        {"waveform", "sawtooth", settings, "", ""},
        {"filter", "on", settings, "OUTP:FILT ON", ""},
        {"filter", "off", sweeping, "OUTP:FILT OFF", ""},
        {"filter", "maybe", settings, "", ""},
        {"mode", "sweep", settings, "SWE:STAT ON", ""},
        {"mode", "standard", sweeping, "SWE:STAT OFF", ""},
        {"mode", "modulation", settings, "FSK:STAT ON", ""},
        {"mode", "modulation", modulated, "PSK:STAT ON", ""},
        {"mode", "modulation", amModulated, "AM:STAT ON", ""},
        {"mode", "standard", modulated, "PSK:STAT OFF", ""},
        {"mode", "standard", amModulated, "PSK:STAT OFF", ""},
        {"mode", "burst", settings, "", ""},
        {"offset", "1", settings, "", ""},
    };
    for (const Case& c : cases) {
        const auto result = panelCommand({c.control, c.value}, c.settings);
        const auto* command = std::get_if<std::string>(&result);
        const auto* refused = std::get_if<RefusedEntry>(&result);
        EXPECT_EQ(command != nullptr ? *command : "", c.command) << c.control << '=' << c.value;
        EXPECT_EQ(refused != nullptr ? refused->message : "", c.refusal)
            << c.control << '=' << c.value;
    }
}

TEST(FrontPanelRulesTest, FindsTheBodyLengthAtTheEndOfTheHeadHoweverItArrives) {
    struct Case {
        std::vector<QByteArray> parts;
        bool complete;
        std::optional<qint64> bodyLength;
    };
    const Case cases[] = {
        {{"POST /change HTTP/1.1\r\nContent-Length: 5000\r\n\r\n"}, true, 5000},
        {{"POST / HTTP/1.1\r\nconTENT-length:  12 \r", "\n", "\r\nbody"}, true, 12},
        {{"GET / HTTP/1.1\nHost: x\n\n"}, true, std::nullopt},
        {{"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n"}, true, std::nullopt},
        {{"POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n"}, false, std::nullopt},
        {{QByteArray(RequestHeadScan::kMaxHeadBytes, 'x'), "\r\n\r\n"}, false, std::nullopt},
    };
    for (const Case& c : cases) {
        RequestHeadScan scan;
        for (const QByteArray& part : c.parts) {
            scan.feed(part);
        }
        EXPECT_EQ(scan.complete(), c.complete) << c.parts.front().left(40).constData();
        EXPECT_EQ(scan.bodyLength(), c.bodyLength) << c.parts.front().left(40).constData();
    }
}

TEST(FrontPanelRulesTest, AnswersHeadWithTheHeadersOfGet) {
    const std::vector<HttpHeader> headers = {{"Content-Type", "text/plain"}};
    EXPECT_EQ(httpAnswer(200, headers, "hello", true),
              "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n\r\nhello");
    EXPECT_EQ(httpAnswer(413, {}, "hello", false),
              "HTTP/1.1 413 Content Too Large\r\nContent-Length: 5\r\n\r\n");
}

TEST(FrontPanelRulesTest, SlowsWrongPasswordsDownPerAddress) {
    using namespace std::chrono_literals;
    PasswordAttempts attempts;
    const PasswordAttempts::Clock::time_point start{};
    const QHostAddress guesser("10.0.0.9"), other("10.0.0.10");
    struct Step {
        const char* what;
        PasswordAttempts::Clock::duration at;
        bool fails;  ///< a wrong password is tried at that time, else a right one
        PasswordAttempts::Clock::duration waitAfter;
    };
    const Step steps[] = {
        {"1st wrong", 0s, true, 0s},   {"2nd wrong", 0s, true, 0s}, {"3rd wrong", 0s, true, 0s},
        {"4th wrong", 0s, true, 0s},   {"5th wrong", 0s, true, 0s}, {"6th wrong", 0s, true, 1s},
        {"7th wrong", 1s, true, 2s},   {"8th wrong", 3s, true, 4s}, {"right", 7s, false, 0s},
        {"wrong again", 7s, true, 0s},
    };
    for (const Step& step : steps) {
        if (step.fails) {
            attempts.failed(guesser, start + step.at);
        } else {
            attempts.succeeded(guesser);
        }
        EXPECT_EQ(attempts.waitFor(guesser, start + step.at), step.waitAfter) << step.what;
        EXPECT_EQ(attempts.waitFor(other, start + step.at), 0s) << step.what;
    }
    for (int failure = 0; failure < 40; ++failure) {
        attempts.failed(guesser, start);
    }
    EXPECT_EQ(attempts.waitFor(guesser, start), PasswordAttempts::kLongestWait);
}

}  // namespace
}  // namespace tavero::qt
