// SPDX-License-Identifier: GPL-3.0-or-later
// The front panel's rules without a server: which requests it serves, the page's language and
// what each change of the page becomes.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/TypedFields.h"
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

TEST(FrontPanelRulesTest, TurnsEachChangeIntoTheWindowsEditOrItsMessage) {
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    settings.frequenz = 100'000;           // 1 kHz
    settings.minimalfrequenz = 100;        // 1 Hz
    settings.maximalfrequenz = 1'000'000;  // 10 kHz
    settings.amplitude = 500;
    settings.schrittweite = 2'500;  // 25 Hz
    GeneratorSettings modulated = settings;
    modulated.konfiguration = kBetriebsartModulation | kKonfigurationFilter;
    modulated.modulationseinstellungen = kPmArtPsk | kModulationAm;
    GeneratorSettings wide = settings;
    wide.maximalfrequenz = 3'000'000'000;
    GeneratorSettings staged = wide;  // needs at least 50 kHz
    staged.pllFaktor = 2;
    staged.pllOffset = -10'000;
    staged.minimalfrequenz = 5'000'000;
    GeneratorSettings atTop = settings;
    atTop.frequenz = atTop.maximalfrequenz;
    const std::string frequencyRefused =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25 "
        "Hz\nMinimalfrequenz: 1.00 Hz\nMaximalfrequenz: 10000.00 Hz";
    const std::string amplitudeRefused =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 1 "
        "mV\nMinimum: 0 mV\nMaximum: 1000 mV";
    const std::string minimumRefused =
        "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25 "
        "Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: 10000.00 Hz";
    const std::string sweepRefused(model::kSweepFrequencyRefusal);
    const std::string factorRefused(model::kPllFactorField.refusal);
    const std::string offsetRefused(model::kPllOffsetField.refusal);
    struct Case {
        std::string_view control;
        std::string_view value;
        const GeneratorSettings& settings;
        std::string commands;     ///< the edit's; empty when refused or unknown
        std::string_view field;   ///< a field the edit sets ...
        std::int64_t fieldValue;  ///< ... to this
        std::string refusal;      ///< empty when taken or unknown
        std::string_view pllOffset = {};
    };
    const Case cases[] = {
        {"frequency", "2500", settings, "f", "Frequenz", 250'000, ""},
        {"frequency", "1k", settings, "f", "Frequenz", 100'000, ""},
        {"frequency", "1,5 kHz", settings, "f", "Frequenz", 150'000, ""},
        {"frequency", "0.01 M", settings, "f", "Frequenz", 1'000'000, ""},
        {"frequency", "12,25", settings, "f", "Frequenz", 1'225, ""},
        {"frequency", "12abc", settings, "", "", 0, frequencyRefused},
        {"frequency", "1.000,5", settings, "", "", 0, frequencyRefused},
        {"frequency", "", settings, "", "", 0, frequencyRefused},
        {"frequency", "10000.25", settings, "", "", 0, frequencyRefused},
        {"frequency", "12.3", settings, "", "", 0, frequencyRefused},  // off the 0.25 Hz grid
        {"frequency", "-5", settings, "", "", 0, frequencyRefused},
        {"amplitude", "250", settings, "g", "Amplitude", 250, ""},
        {"amplitude", "1V", settings, "g", "Amplitude", 1000, ""},
        {"amplitude", "0,25 V", settings, "g", "Amplitude", 250, ""},
        {"amplitude", "abc", settings, "", "", 0, amplitudeRefused},
        {"amplitude", "", settings, "", "", 0, amplitudeRefused},
        {"amplitude", "1.5", settings, "", "", 0, amplitudeRefused},
        {"amplitude", "1001", settings, "", "", 0, amplitudeRefused},
        {"minimum", "2k", settings, "fc", "Frequenz", 200'000, ""},
        {"minimum", "5", settings, "c", "Minimalfrequenz", 500, ""},
        {"minimum", "20k", settings, "", "", 0, minimumRefused},
        {"maximum", "500", settings, "fc", "Maximalfrequenz", 50'000, ""},
        {"step", "0,5", settings, "z", "Schrittweite", 50, ""},
        {"step", "0.3", settings, "", "", 0,
         "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25: "
         "Hz\nMaximalfrequenz: 30000000.00 Hz"},
        {"frequency-up", "5", settings, "f", "Frequenz", 200'000, ""},
        {"frequency-down", "0", settings, "f", "Frequenz", 99'975, ""},
        {"frequency-up", "2", atTop, "f", "Frequenz", 1'000'000, ""},  // stays, sent again
        {"frequency-up", "14", settings, "", "", 0, ""},
        {"amplitude-up", "2", settings, "g", "Amplitude", 600, ""},
        {"amplitude-up", "3", settings, "g", "Amplitude", 500, ""},  // 1500 mV: stays
        {"amplitude-down", "x", settings, "", "", 0, ""},
        {"step-up", "", settings, "f", "Frequenz", 102'500, ""},
        {"step-down", "", settings, "f", "Frequenz", 97'500, ""},
        {"waveform", "square-half", settings, "s", "Signalform", 3, ""},
        {"waveform", "sawtooth", settings, "", "", 0, ""},
        {"filter", "on", settings, "ae", "Konfiguration", kKonfigurationFilter, ""},
        {"mode", "sweep", modulated, "ae", "Konfiguration",
         kBetriebsartWobbeln | kKonfigurationFilter, ""},
        {"mode", "burst", settings, "", "", 0, ""},
        {"sweep-start", "1 kHz", settings, "w", "Wobbel-Startfrequenz", 100'000, ""},
        {"sweep-stop", "30 M", settings, "w", "Wobbel-Stoppfrequenz", 3'000'000'000, ""},
        {"sweep-stop", "31 M", settings, "", "", 0, sweepRefused},
        {"sweep-rate", "2,5", settings, "w", "Wobbel-Frequenz", 25, ""},
        {"modulation-rate", "1k", settings, "m", "Modulationsfrequenz", 10'000, ""},
        {"phase-deviation", "90", settings, "m", "Phasenhub", 90, ""},
        {"phase-deviation", "90.5", settings, "", "", 0,
         std::string(model::kPhaseDeviationField.refusal)},
        {"frequency-deviation", "-1k", settings, "m", "Frequenzhub", -100'000, ""},
        {"keying", "fsk", modulated, "m", "Modulationseinstellungen", kModulationAm, ""},
        {"am", "off", modulated, "m", "Modulationseinstellungen", kPmArtPsk, ""},
        {"modulation-source", "external", settings, "m", "Modulationseinstellungen",
         kModulationPmQuelleExtern, ""},
        {"pll", "4", settings, "fzto", "PLL-Faktor", 4, "", "100"},
        {"pll", "2", wide, "fzto", "PLL-Offset", -10'000, "", "-100 kHz"},
        {"pll", "2", wide, "fzto", "Minimalfrequenz", 5'000'000, "", "-100 kHz"},
        {"pll", "2", wide, "fzto", "Frequenz", 5'000'000, "", "-100 kHz"},
        {"minimum", "20k", staged, "", "", 0,
         "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25 "
         "Hz\nMinimalfrequenz: 50000.00 Hz\nMaximalfrequenz: 30000000.00 Hz"},
        {"pll", "0", settings, "", "", 0, factorRefused, "0"},
        {"pll", "1", settings, "", "", 0, offsetRefused, "1x"},
        {"pll", "1", settings, "", "", 0,
         "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz "
         "von 10000.00 Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den "
         "Offset.",
         "-100"},
        {"offset", "1", settings, "", "", 0, ""},
    };
    for (const Case& c : cases) {
        const auto result = panelEdit({c.control, c.value, c.pllOffset}, c.settings);
        const auto* edit = std::get_if<model::Edit>(&result);
        const auto* refused = std::get_if<RefusedEntry>(&result);
        EXPECT_EQ(edit != nullptr ? edit->commands : "", c.commands) << c.control << '=' << c.value;
        EXPECT_EQ(refused != nullptr ? refused->message : "", c.refusal)
            << c.control << '=' << c.value;
        if (edit != nullptr && !c.field.empty()) {
            const std::size_t field = settingsFieldIndex(c.field);
            EXPECT_TRUE(edit->fields[field]) << c.control << '=' << c.value;
            EXPECT_EQ(settingsFields()[field].get(edit->values), c.fieldValue)
                << c.control << '=' << c.value;
        }
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
