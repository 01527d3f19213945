// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl/BodeArguments.h"
#include "ctl/CommandLine.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {
namespace {

std::vector<std::string> bodeLine(std::vector<std::string> extra) {
    std::vector<std::string> args = {"bode", "--scope", "TCPIP::10.0.0.2::INSTR", "--from", "10",
                                     "--to", "1e6"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(BodeArguments, ReadsTheSweepFromTheCommandLine) {
    struct Case {
        std::vector<std::string> extra;
        measure::PlanSpacing spacing;
        unsigned points;
        std::uint32_t amplitude;
        int input, output;
        measure::Method method;
        long settleMs;
        std::string csv;
    };
    using measure::Method;
    using measure::PlanSpacing;
    const std::vector<Case> cases = {
        {{}, PlanSpacing::kLogarithmic, 10, 1000, 1, 2, Method::kCapture, 5, ""},
        {{"--points-per-decade", "20", "--method", "measure", "--csv", "a.csv", "--json"},
         PlanSpacing::kLogarithmic,
         20,
         1000,
         1,
         2,
         Method::kMeasure,
         5,
         "a.csv"},
        {{"--linear", "--points", "50", "--amplitude", "200", "--input", "3", "--output", "1",
          "--settle", "100"},
         PlanSpacing::kLinear,
         50,
         200,
         3,
         1,
         Method::kCapture,
         100,
         ""},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(bodeLine(c.extra));
        const BodeArguments arguments = parseBodeArguments(line.sweepOptions);
        EXPECT_EQ(arguments.scope, "TCPIP::10.0.0.2::INSTR");
        EXPECT_EQ(arguments.request.plan.fromCentiHz, 1000U);
        EXPECT_EQ(arguments.request.plan.toCentiHz, 100000000U);
        EXPECT_EQ(arguments.request.plan.spacing, c.spacing);
        EXPECT_EQ(arguments.request.plan.points, c.points);
        EXPECT_EQ(arguments.request.amplitudeMillivolt, c.amplitude);
        EXPECT_EQ(arguments.request.inputChannel, c.input);
        EXPECT_EQ(arguments.request.outputChannel, c.output);
        EXPECT_EQ(arguments.request.method, c.method);
        EXPECT_EQ(arguments.request.settle.time.count(), c.settleMs);
        EXPECT_EQ(arguments.csvPath, c.csv);
    }
}

TEST(BodeArguments, RefusesWhatCannotBeSwept) {
    const std::vector<std::vector<std::string>> cases = {
        {"bode", "--from", "10", "--to", "100"},
        {"bode", "--scope", "x", "--to", "100"},
        {"bode", "--scope", "x", "--from", "100", "--to", "10"},
        {"bode", "--scope", "x", "--from", "0.1", "--to", "10"},
        {"bode", "--scope", "x", "--from", "10", "--to", "31e6"},
        {"bode", "--scope", "x", "--from", "ten", "--to", "100"},
        bodeLine({"--linear"}),
        bodeLine({"--points", "10"}),
        bodeLine({"--points", "10", "--linear", "--points-per-decade", "3"}),
        bodeLine({"--points-per-decade", "0"}),
        bodeLine({"--amplitude", "1001"}),
        bodeLine({"--input", "2"}),
        bodeLine({"--output", "5"}),
        bodeLine({"--method", "guess"}),
        bodeLine({"--settle", "-1"}),
        bodeLine({"--from", "20"}),
        bodeLine({"--csv"}),
    };
    for (const std::vector<std::string>& args : cases) {
        EXPECT_THROW(parseBodeArguments(parseCommandLine(args).sweepOptions), UsageError)
            << args.back();
    }
    // The sweep's options belong to bode alone.
    EXPECT_THROW(parseCommandLine({"read", "--scope", "x"}), UsageError);
}

}  // namespace
}  // namespace tavero::ctl
