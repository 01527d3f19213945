// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace tavero::res {

// The main window, dialog 102, and its menu 153.
inline constexpr int kMainWindowId = 102;

// Digit selection radios, one group: frequency digits most significant first, then amplitude.
inline constexpr int kRadioFrequencyFirst = 1000;  // 10 MHz digit
inline constexpr int kRadioFrequencyLast = 1008;   // 0.1 Hz digit
inline constexpr int kRadioAmplitudeFirst = 1018;  // 1000 mV digit
inline constexpr int kRadioAmplitudeLast = 1021;   // 1 mV digit

/// Frequency digit pictures, least significant (0.01 Hz) first.
inline constexpr std::array<int, 10> kFrequencyDigitIds = {1076, 1057, 1058, 1059, 1060,
                                                           1061, 1062, 1063, 1064, 1065};
/// Amplitude digit pictures, ones first.
inline constexpr std::array<int, 4> kAmplitudeDigitIds = {1066, 1067, 1068, 1069};

inline constexpr int kButtonFrequencyUp = 1044;
inline constexpr int kButtonFrequencyDown = 1045;
inline constexpr int kLabelFrequencyUnit = 1071;
inline constexpr int kLabelAmplitudeUnit = 1072;
inline constexpr int kLabelFrequencyEdit = 1074;

inline constexpr int kEditFrequency = 1033;
inline constexpr int kEditAmplitude = 1034;
inline constexpr int kEditMinimum = 1030;
inline constexpr int kEditMaximum = 1032;
inline constexpr int kEditStep = 1035;
/// The direct-entry edits in the order the window keeps their texts.
inline constexpr std::array<int, 5> kEntryEditIds = {kEditFrequency, kEditAmplitude, kEditMinimum,
                                                     kEditMaximum, kEditStep};

inline constexpr int kTrackbarAmplitude = 1027;
inline constexpr int kRadioSinus = 1011;
inline constexpr int kRadioRechteckHalf = 1014;
inline constexpr int kRadioStandard = 1015;
inline constexpr int kRadioWobbeln = 1016;
inline constexpr int kRadioModulation = 1017;
inline constexpr int kCheckFilterOff = 1031;

inline constexpr int kButtonConnection = 1025;
inline constexpr int kPictureUsb = 1070;
/// The label "USB aktiv" beside the indicator, shown only while connected.
inline constexpr int kLabelUsb = 1080;
/// The decimal point between the hertz and the kilohertz digits.
inline constexpr int kPictureDecimalPoint = 1081;

inline constexpr int kEditProfileName = 1082;
inline constexpr int kComboProfiles = 1083;
inline constexpr int kButtonLoadProfile = 1046;
inline constexpr int kButtonSaveProfile = 1026;

/// The remote indicator: shown while another program controls the generator.
inline constexpr int kLabelRemote = 1090;
inline constexpr int kLabelRemoteClient = 1091;
inline constexpr int kButtonLocal = 1092;

inline constexpr int kButtonSweep = 1040;
inline constexpr int kButtonModulation = 1041;
inline constexpr int kButtonPll = 1042;
inline constexpr int kButtonTaskList = 1047;

/// The controls that need the generator, disabled while there is no connection.
inline constexpr std::array<int, 24> kConnectionControls = {
    1015, 1016, 1017, 1011, 1012, 1013, 1014, 1027, 1033, 1034, 1030, 1032,
    1035, 1031, 1047, 1040, 1041, 1042, 1046, 1026, 1082, 1083, 1044, 1045};

// Menu commands.
inline constexpr int kMenuLoadProfile = 32781;
inline constexpr int kMenuSaveProfile = 32782;
inline constexpr int kMenuExit = 32784;
inline constexpr int kMenuTaskList = 32780;
inline constexpr int kMenuSweep = 32773;
inline constexpr int kMenuModulation = 32774;
inline constexpr int kMenuPll = 32775;
inline constexpr int kMenuCalibrateOffset = 32777;
inline constexpr int kMenuCalibrateAmplitude = 32778;
inline constexpr int kMenuCalibrateFrequency = 32779;
inline constexpr int kMenuFactoryReset = 32786;
inline constexpr int kMenuBootloader = 32789;
inline constexpr int kMenuAbout = 32790;
inline constexpr int kMenuFrequencyResponse = 32791;
inline constexpr int kMenuRemoteControl = 32792;

}  // namespace tavero::res
