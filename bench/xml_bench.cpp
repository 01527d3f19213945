// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the two file layouts with the XML layer, beside pugixml on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "core/GeneratorSettings.h"
#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

namespace {

namespace xml = tavero::store::xml;

void appendSettings(const xml::DocNode& element, const tavero::GeneratorSettings& settings) {
    for (const tavero::SettingsField& field : tavero::settingsFields()) {
        xml::AppendAttribute(element, field.key, std::to_string(field.get(settings)));
    }
}

// Like the profile file: 50 profiles, each with its name and 17 values.
std::string profileFile() {
    const xml::DocNode top = xml::CreateTop();
    const xml::DocNode list = xml::AppendElement(top, "Profillisten");
    xml::AppendAttribute(list, "Anzahl", "50");
    for (int i = 1; i <= 50; ++i) {
        const xml::DocNode profile = xml::AppendElement(list, "Profil_" + std::to_string(i));
        xml::AppendText(profile, "-- leeres Profil --");
        appendSettings(profile, tavero::GeneratorSettings::emptyProfile());
    }
    return xml::WriteText(top, true);
}

// Like a task list file of `entries` entries: 17 values, hold time and number each.
std::string taskListFile(int entries) {
    const xml::DocNode top = xml::CreateTop();
    const xml::DocNode list = xml::AppendElement(top, "Playlist");
    xml::AppendAttribute(list, "Anzahl", std::to_string(entries));
    xml::AppendAttribute(list, "Schleife", "1");
    tavero::GeneratorSettings settings = tavero::GeneratorSettings::emptyProfile();
    for (int i = 1; i <= entries; ++i) {
        const xml::DocNode entry = xml::AppendElement(list, "Playlistelement_" + std::to_string(i));
        xml::AppendText(entry, "Profil " + std::to_string(i % 50 + 1));
        settings.frequenz = static_cast<std::uint32_t>(100000 + 25 * i);
        appendSettings(entry, settings);
        xml::AppendAttribute(entry, "Duration", std::to_string(i % 3600 + 1));
        xml::AppendAttribute(entry, "ElementNr", std::to_string(i));
    }
    return xml::WriteText(top, true);
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

void registerFile(const std::string& file, const std::string& text) {
    const auto bytes = static_cast<std::int64_t>(text.size());
    benchmark::RegisterBenchmark(("load/" + file + "/tavero").c_str(),
                                 [text, bytes](benchmark::State& state) {
                                     for (auto _ : state) {
                                         xml::LoadResult result;
                                         benchmark::DoNotOptimize(xml::LoadText(text, result));
                                     }
                                     state.SetBytesProcessed(state.iterations() * bytes);
                                 });
    benchmark::RegisterBenchmark(
        ("load/" + file + "/pugixml").c_str(), [text, bytes](benchmark::State& state) {
            for (auto _ : state) {
                pugi::xml_document document;
                benchmark::DoNotOptimize(document.load_buffer(text.data(), text.size()));
            }
            state.SetBytesProcessed(state.iterations() * bytes);
        });
    benchmark::RegisterBenchmark(("write/" + file + "/tavero").c_str(),
                                 [text, bytes](benchmark::State& state) {
                                     xml::LoadResult result;
                                     const xml::DocNode top = xml::LoadText(text, result);
                                     for (auto _ : state) {
                                         benchmark::DoNotOptimize(xml::WriteText(top, true));
                                     }
                                     state.SetBytesProcessed(state.iterations() * bytes);
                                 });
    benchmark::RegisterBenchmark(("write/" + file + "/pugixml").c_str(),
                                 [text, bytes](benchmark::State& state) {
                                     pugi::xml_document document;
                                     document.load_buffer(text.data(), text.size());
                                     for (auto _ : state) {
                                         StringWriter writer;
                                         document.save(writer, "\t", pugi::format_indent);
                                         benchmark::DoNotOptimize(writer.text);
                                     }
                                     state.SetBytesProcessed(state.iterations() * bytes);
                                 });
}

/// Prints as usual and keeps each run's time, to set every figure beside pugixml's afterwards.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median, reported after the single runs, has the last word.
            const bool single = run.run_type == Run::RT_Iteration;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && !run.error_occurred) {
                realTimeNs_[run.run_name.str()] = run.GetAdjustedRealTime() /
                                                  benchmark::GetTimeUnitMultiplier(run.time_unit) *
                                                  1e9;
            }
        }
    }

    void printRatios() const {
        const std::string ours = "/tavero";
        std::printf("\n%-24s %14s %14s %10s\n", "operation", "tavero (us)", "pugixml (us)",
                    "ratio");
        for (const auto& [name, ns] : realTimeNs_) {
            if (!name.ends_with(ours)) {
                continue;
            }
            const std::string operation = name.substr(0, name.size() - ours.size());
            const auto reference = realTimeNs_.find(operation + "/pugixml");
            if (reference == realTimeNs_.end()) {
                continue;
            }
            std::printf("%-24s %14.1f %14.1f %9.2fx\n", operation.c_str(), ns / 1e3,
                        reference->second / 1e3, ns / reference->second);
        }
    }

private:
    std::map<std::string, double> realTimeNs_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string profiles = profileFile();
    const std::string taskList = taskListFile(10000);
    std::printf("profile file: %zu bytes, task list: %zu bytes\n", profiles.size(),
                taskList.size());
    registerFile("profiles-50", profiles);
    registerFile("tasklist-10000", taskList);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
