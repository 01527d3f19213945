// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/GeneratorSettings.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/i18n/Translations.h"
#include "qt/web/PanelTexts.h"
#include "res/ProgramTemplates.h"

namespace tavero::qt {
namespace {

const std::filesystem::path kSourceDir = TAVERO_SOURCE_DIR;

/// The catalogue's German sources and their English translations.
std::map<QString, QString> catalogue() {
    QFile file(QString::fromStdString((kSourceDir / "src/qt/i18n/tavero_en.ts").string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<QString, QString> messages;
    QXmlStreamReader xml(&file);
    QString source;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
            messages[source] = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

void addMenuTexts(std::span<const res::MenuItem> items, std::vector<std::string>& texts) {
    for (const res::MenuItem& item : items) {
        texts.emplace_back(item.text);
        addMenuTexts(item.items, texts);
    }
}

/// Window titles, control texts and menus of every dialog.
std::vector<std::string> templateTexts() {
    std::vector<std::string> texts;
    for (const res::DialogTemplate* dialog : res::programTemplates().all()) {
        texts.emplace_back(dialog->title);
        for (const res::ControlTemplate& control : dialog->controls) {
            texts.emplace_back(control.text);
        }
        addMenuTexts(dialog->menu, texts);
    }
    return texts;
}

/// The string literals of a source file outside comments, adjacent literals joined, escapes
/// resolved. Lines that build diagnostics or internal errors are left out: the user never sees
/// them as messages.
std::vector<std::string> literals(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string code;
    for (std::string line; std::getline(in, line);) {
        const bool internal = line.find("printf_to(") != std::string::npos ||
                              line.find("logic_error(") != std::string::npos ||
                              line.starts_with("#include");
        if (!internal) {
            // No literal of these folders holds "//".
            code += line.substr(0, line.find("//")) + '\n';
        }
    }
    static const QRegularExpression run(R"re(("(?:[^"\\]|\\.)*"\s*)+)re");
    static const QRegularExpression piece(R"re("((?:[^"\\]|\\.)*)")re");
    std::vector<std::string> found;
    for (const QRegularExpressionMatch& match : run.globalMatch(QString::fromStdString(code))) {
        QString text;
        for (const QRegularExpressionMatch& part : piece.globalMatch(match.captured())) {
            text += part.captured(1);
        }
        text.replace(QLatin1String("\\n"), QLatin1String("\n"))
            .replace(QLatin1String("\\\""), QLatin1String("\""));
        found.push_back(text.toStdString());
    }
    return found;
}

/// Messages of the logic that reach a message box, a window or the tool's standard error.
std::vector<std::string> logicTexts() {
    std::vector<std::string> texts;
    for (const char* folder : {"src/app", "src/dialogs", "src/link", "src/model", "src/ctl"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(kSourceDir / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h") {
                continue;
            }
            for (std::string& text : literals(entry.path())) {
                // The tool's and the model's own refusals are English; their German messages
                // come from the window.
                const bool german =
                    std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
                const bool englishToo = std::string_view(folder) == "src/ctl" ||
                                        std::string_view(folder) == "src/model";
                if (!englishToo || german) {
                    texts.push_back(std::move(text));
                }
            }
        }
    }
    for (const char* file : {"src/qt/QtMessageBox.cpp", "src/qt/measure/ResponseTexts.h",
                             "src/qt/remote/RemoteControlTexts.h"}) {
        for (std::string& text : literals(kSourceDir / file)) {
            texts.push_back(std::move(text));
        }
    }
    return texts;
}

/// Texts that are data, names or the place of data in a message, never shown as they are.
bool isNotShown(const std::string& text) {
    static const std::set<std::string> kNotShown = {"", "out.txt", "Profile", "tvr", "ab", "%s"};
    if (kNotShown.contains(text)) {
        return true;
    }
    const auto fields = settingsFields();
    return std::any_of(fields.begin(), fields.end(),
                       [&](const SettingsField& field) { return field.key == text; });
}

TEST(TranslationCoverageTest, EveryGermanTextTheUserSeesHasAnEnglishTranslation) {
    const std::map<QString, QString> messages = catalogue();
    ASSERT_GT(messages.size(), 100U);
    const auto translated = [&](const QString& text) {
        const auto found = messages.find(text);
        return found != messages.end() && !found->second.isEmpty();
    };
    const Translations english(Language::English, {TAVERO_CATALOGUE_DIR});
    ASSERT_TRUE(english.complete());
    const auto composedOf = [&](const QString& text) {
        // A whole text with variable parts, or a fixed part the logic joins with others.
        return translatedText(text.toStdString()) != text ||
               std::any_of(messages.begin(), messages.end(),
                           [&](const auto& message) { return message.first.contains(text); });
    };

    for (const std::string_view pattern : textPatterns()) {
        EXPECT_TRUE(translated(QString::fromUtf8(pattern.data(), qsizetype(pattern.size()))))
            << pattern;
    }
    for (const std::string& text : templateTexts()) {
        EXPECT_TRUE(text.empty() || translated(QString::fromStdString(text))) << text;
    }
    for (const PanelText& text : panelTexts()) {
        EXPECT_TRUE(
            translated(QString::fromUtf8(text.german.data(), qsizetype(text.german.size()))))
            << text.german;
    }
    const std::vector<std::string> logic = logicTexts();
    ASSERT_GT(logic.size(), 50U);
    for (const std::string& text : logic) {
        const QString qtext = QString::fromStdString(text);
        EXPECT_TRUE(isNotShown(text) || translated(qtext) || composedOf(qtext)) << text;
    }
}

TEST(TranslationCoverageTest, TranslationsKeepThePlaceholdersOfTheirSource) {
    static const QRegularExpression placeholder(R"(%\d)");
    const auto placeholders = [](const QString& text) {
        std::multiset<QString> found;
        for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
            found.insert(match.captured());
        }
        return found;
    };
    for (const auto& [source, translation] : catalogue()) {
        EXPECT_EQ(placeholders(source), placeholders(translation)) << source.toStdString();
    }
}

}  // namespace
}  // namespace tavero::qt
