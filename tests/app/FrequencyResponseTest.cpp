// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "app/FrequencyResponseForm.h"
#include "app/FrequencyResponseWindow.h"
#include "measure/SignalSource.h"

namespace tavero::app::testing {
namespace {

TEST(FrequencyResponseForm, SaysWhatKeepsTheFormFromASweep) {
    const FrequencyResponseForm good{.scope = "TCPIP::10.0.0.7::5555::SOCKET"};
    struct Case {
        FrequencyResponseForm form;
        std::optional<std::string_view> problem;
    };
    auto with = [&good](auto change) {
        FrequencyResponseForm form = good;
        change(form);
        return form;
    };
    const std::vector<Case> cases = {
        {good, std::nullopt},
        {with([](auto& f) { f.scope = "/dev/usbtmc1"; }), std::nullopt},
        {with([](auto& f) { f.scope.clear(); }),
         "Bitte geben Sie die Adresse des Oszilloskops ein, z. B. TCPIP::192.168.1.30::INSTR."},
        {with([](auto& f) { f.scope = "192.168.1.30"; }),
         "Die Adresse hat keine der Formen TCPIP::HOST::INSTR, TCPIP::HOST::PORT::SOCKET und "
         "/dev/usbtmcN."},
        {with([](auto& f) { f.fromHz = f.toHz; }),
         "Die Startfrequenz muss unter der Stoppfrequenz liegen, beide zwischen 0,25 Hz und 30 "
         "MHz."},
        {with([](auto& f) { f.outputChannel = 1; }),
         "Eingang und Ausgang der Schaltung müssen an verschiedenen Kanälen liegen."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formProblem(c.form), c.problem) << c.form.scope;
    }
    const measure::SweepRequest request = sweepRequest(with([](auto& f) {
        f.fromHz = 1591.5;
        f.linear = true;
        f.points = 7;
        f.method = measure::Method::kMeasure;
        f.inputChannel = 3;
        f.settleMs = 40;
    }));
    EXPECT_EQ(request.plan.fromCentiHz, 159150U);
    EXPECT_EQ(request.plan.toCentiHz, 100000000U);
    EXPECT_EQ(request.plan.spacing, measure::PlanSpacing::kLinear);
    EXPECT_EQ(request.plan.points, 7U);
    EXPECT_EQ(request.method, measure::Method::kMeasure);
    EXPECT_EQ(request.inputChannel, 3);
    EXPECT_EQ(request.settle.time, std::chrono::milliseconds(40));
}

/// Plays what a sweep does with the generator: start at 200 mV, two frequencies, restore.
class ScriptedSweep final : public FrequencyResponseWindow {
public:
    void run(measure::SignalSource& source) override {
        ++runs;
        ok = source.start(200) && source.setFrequency(500000) && source.setFrequency(1000000) &&
             source.restore();
    }
    int runs = 0;
    bool ok = false;
};

TEST_F(MainWindowTest, TheFrequencyResponseDrivesTheGeneratorAndGivesItsSettingsBack) {
    GeneratorSettings elsewhere = GeneratorSettings::emptyProfile();
    elsewhere.signalform = 2;
    elsewhere.konfiguration = kKonfigurationFilter | kBetriebsartWobbeln;
    elsewhere.minimalfrequenz = 100000;
    struct Case {
        GeneratorSettings stored;
        std::string letters;  ///< what the generator receives
    };
    for (const Case& c : std::vector<Case>{
             // The empty profile is a sine in standard mode over the whole range already.
             {GeneratorSettings::emptyProfile(), "gfffg"},
             {elsewhere, "secgfffcges"},
         }) {
        restart();
        ScriptedSweep sweep;
        dialog_->setFrequencyResponseWindow(&sweep);
        openConnected(c.stored);
        window_->chooseMenu(res::kMenuFrequencyResponse);
        EXPECT_EQ(sweep.runs, 1);
        EXPECT_TRUE(sweep.ok);
        EXPECT_EQ(received(), c.letters);
        EXPECT_EQ(generator_.settings(), c.stored);
        EXPECT_EQ(dialog_->settings(), c.stored);
    }
    // Without a connection the window says so, as for every entry that needs the generator.
    restart();
    ScriptedSweep sweep;
    dialog_->setFrequencyResponseWindow(&sweep);
    open();
    window_->chooseMenu(res::kMenuFrequencyResponse);
    EXPECT_EQ(sweep.runs, 0);
    EXPECT_EQ(messageTexts().size(), 1U);
}

}  // namespace
}  // namespace tavero::app::testing
