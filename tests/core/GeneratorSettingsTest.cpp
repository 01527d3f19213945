// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GeneratorSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavero {
namespace {

TEST(GeneratorSettings, EmptyProfileImageStartsWithFrequency) {
    const SettingsImage image = toSettingsImage(GeneratorSettings::emptyProfile());
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 0x01);
    EXPECT_EQ(image[2], 0x86);
    EXPECT_EQ(image[3], 0xA0);
}

TEST(GeneratorSettings, EmptyProfileImageIsExact) {
    const std::vector<std::uint8_t> expected = {
        0x00, 0x01, 0x86, 0xA0,                          // Frequenz 100000
        0x00, 0x00, 0x00, 0x19,                          // Minimalfrequenz 25
        0xB2, 0xD0, 0x5E, 0x00,                          // Maximalfrequenz 3000000000
        0x00, 0x00, 0x00, 0x00,                          // Schrittweite 0
        0x01, 0xF4,                                      // Amplitude 500
        0x00, 0x00, 0x00, 0x19,                          // Wobbel-Startfrequenz 25
        0xB2, 0xD0, 0x5E, 0x00,                          // Wobbel-Stoppfrequenz
        0x00, 0x64,                                      // Wobbel-Frequenz 100
        0x00,                                            // Signalform
        0x00,                                            // Modulationseinstellungen
        0x00, 0x00, 0x00, 0x00, 0x00, 0x0F, 0x42, 0x40,  // Frequenzhub 1000000
        0x00, 0x01,                                      // Phasenhub 1
        0x64,                                            // Amplitudenhub 100
        0x27, 0x10,                                      // Modulationsfrequenz 10000
        0x01,                                            // Konfiguration
        0x00, 0x01,                                      // PLL-Faktor 1
        0x00, 0x00, 0x00, 0x00,                          // PLL-Offset 0
    };
    const SettingsImage image = toSettingsImage(GeneratorSettings::emptyProfile());
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), expected);
}

TEST(GeneratorSettings, WideHoldersAreCutToWireWidthAndZeroExtendedOnReading) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.amplitude = 0x12345;  // only the low 16 bits go on the wire
    s.pllOffset = -200000000;
    s.frequenzhub = -3;
    const SettingsImage image = toSettingsImage(s);
    EXPECT_EQ(image[16], 0x23);
    EXPECT_EQ(image[17], 0x45);
    EXPECT_EQ(image[46], 0xF4);
    EXPECT_EQ(image[47], 0x14);
    EXPECT_EQ(image[48], 0x3E);
    EXPECT_EQ(image[49], 0x00);

    const GeneratorSettings back = fromSettingsImage(image);
    EXPECT_EQ(back.amplitude, 0x2345U);
    EXPECT_EQ(back.pllOffset, -200000000);
    EXPECT_EQ(back.frequenzhub, -3);
}

TEST(GeneratorSettings, ImageRoundTripKeepsEveryFieldAtItsLimits) {
    GeneratorSettings s;
    s.frequenz = 0xFFFFFFFFU;
    s.minimalfrequenz = 1;
    s.maximalfrequenz = 3000000000U;
    s.schrittweite = 0x80000000U;
    s.amplitude = 1000;
    s.wobbelStartfrequenz = 2;
    s.wobbelStoppfrequenz = 3;
    s.wobbelFrequenz = 200;
    s.signalform = 3;
    s.modulationseinstellungen = 0x0B;
    s.frequenzhub = 3000000000LL;
    s.phasenhub = 359;
    s.amplitudenhub = 255;
    s.modulationsfrequenz = 50000;
    s.konfiguration = 0x05;
    s.pllFaktor = 2048;
    s.pllOffset = -2147483647 - 1;
    EXPECT_EQ(fromSettingsImage(toSettingsImage(s)), s);
}

TEST(GeneratorSettings, FieldTableFollowsRecordOrder) {
    const auto& fields = settingsFields();
    EXPECT_EQ(fields.front().key, "Frequenz");
    EXPECT_EQ(fields.back().key, "PLL-Offset");
    EXPECT_EQ(settingsFieldIndex("Wobbel-Frequenz"), 7U);
    EXPECT_EQ(settingsFieldIndex("frequenz"), kSettingsFieldCount);
    EXPECT_TRUE(fields[settingsFieldIndex("Frequenzhub")].isSigned);
    EXPECT_FALSE(fields[settingsFieldIndex("Amplitude")].isSigned);

    GeneratorSettings s;
    fields[settingsFieldIndex("PLL-Offset")].set(s, -1);
    EXPECT_EQ(s.pllOffset, -1);
    EXPECT_EQ(fields[settingsFieldIndex("PLL-Offset")].get(s), -1);
}

}  // namespace
}  // namespace tavero
