// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "qt/i18n/Language.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/i18n/Translations.h"

namespace tavero::qt {
namespace {

TEST(LanguageTest, FirstDesktopLanguageChoosesGermanOrEnglish) {
    const struct {
        QStringList uiLanguages;
        Language expected;
    } cases[] = {
        {{"de-DE", "de"}, Language::German},
        {{"de-AT"}, Language::German},
        {{"de-CH", "en-GB"}, Language::German},
        {{"C"}, Language::German},
        {{"POSIX"}, Language::German},
        {{}, Language::German},
        {{"en-US", "en"}, Language::English},
        {{"fr-FR", "de-DE"}, Language::English},
        {{"nl"}, Language::English},
    };
    for (const auto& [uiLanguages, expected] : cases) {
        EXPECT_EQ(languageFor(uiLanguages), expected) << uiLanguages.join(',').toStdString();
    }
}

TEST(TextTranslationTest, TranslatesTheFixedPartAndKeepsTheData) {
    const struct {
        const char* german;
        const char* english;
    } cases[] = {
        {"PC-Verbindung aktivieren", "Activate PC connection"},
        {"Firmwareversion 1.23", "Firmware version 1.23"},
        {"Firmwareversion ??? (keine USB-Verbindung)", "Firmware version ??? (no USB connection)"},
        {"-- leeres Profil --, Dauer: 5 s", "-- leeres Profil --, duration: 5 s"},
        // A stored name that looks like a row keeps its own words.
        {"a, Dauer: 1 s, Dauer: 20 s", "a, Dauer: 1 s, duration: 20 s"},
        {"50%1, Dauer: 3 s", "50%1, duration: 3 s"},
        {"1: -- leeres Profil --", "1: -- leeres Profil --"},
        {"Der Profilname enthält Zeichen, die in der Profildatei\nnicht gespeichert werden "
         "können: Ω 😀\n\nSie werden dort durch \"?\" ersetzt.\n\nMöchten Sie das Profil "
         "trotzdem speichern?",
         "The profile name holds characters that the profile file\ncannot store: Ω 😀\n\nThe "
         "file holds \"?\" in their place.\n\nDo you want to store the profile anyway?"},
        {"Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\nAuflösung: 0.25 Hz\n"
         "Minimalfrequenz: 12,5 Hz\nMaximalfrequenz: x Hz",
         "Please enter a value within the limits\nResolution: 0.25 Hz\n"
         "Minimum frequency: 12,5 Hz\nMaximum frequency: x Hz"},
        {"Frequenz ", "Frequenz "},
        {"", ""},
    };
    for (const Language language : {Language::German, Language::English}) {
        const Translations translations(language, {TAVERO_CATALOGUE_DIR});
        for (const auto& [german, english] : cases) {
            EXPECT_EQ(translatedText(german).toStdString(),
                      language == Language::English ? english : german)
                << german;
        }
    }
}

TEST(TranslationsTest, QtsOwnButtonsSpeakTheChosenLanguage) {
    for (const auto& [language, cancel] :
         {std::pair{Language::German, "Abbrechen"}, std::pair{Language::English, "Cancel"}}) {
        const Translations translations(language, {TAVERO_CATALOGUE_DIR});
        EXPECT_TRUE(translations.complete());
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), cancel);
    }
}

}  // namespace
}  // namespace tavero::qt
