// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SampleTemplate.h"
#include "core/BuildConfig.h"
#include "res/AboutTemplate.h"
#include "res/DialogTemplate.h"
#include "res/TemplateSet.h"

namespace tavero::res {
namespace {

namespace sample = headless::sample;

TEST(DialogTemplate, RadioGroupsRunOverConsecutiveRadiosAndSplitAtGroupStart) {
    using Group = std::vector<int>;
    EXPECT_EQ(radioGroup(sample::kTemplate, sample::kSinus),
              (Group{sample::kSinus, sample::kDreieck}));
    EXPECT_EQ(radioGroup(sample::kTemplate, sample::kDreieck),
              (Group{sample::kSinus, sample::kDreieck}));
    EXPECT_EQ(radioGroup(sample::kTemplate, sample::kWobbeln),
              (Group{sample::kStandard, sample::kWobbeln}));
    EXPECT_TRUE(radioGroup(sample::kTemplate, sample::kCheckBox).empty());
    EXPECT_TRUE(radioGroup(sample::kTemplate, 4711).empty());
}

TEST(DialogTemplate, AnyOtherControlEndsARadioGroup) {
    constexpr ControlTemplate controls[] = {
        {.kind = ControlKind::RadioButton, .id = 1},
        {.kind = ControlKind::RadioButton, .id = 2},
        {.kind = ControlKind::Label},
        {.kind = ControlKind::RadioButton, .id = 3},
    };
    const DialogTemplate dialog{.id = 5, .controls = controls};
    EXPECT_EQ(radioGroup(dialog, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(radioGroup(dialog, 3), (std::vector<int>{3}));
}

TEST(DialogTemplate, FindsControlsMenuCommandsAtAnyDepthAndTheDefaultButton) {
    ASSERT_NE(findControl(sample::kTemplate, sample::kSpin), nullptr);
    EXPECT_EQ(findControl(sample::kTemplate, sample::kSpin)->buddy, sample::kDigitsEdit);
    EXPECT_EQ(findControl(sample::kTemplate, kNoId), nullptr);
    ASSERT_NE(findMenuCommand(sample::kTemplate, sample::kMenuOffset), nullptr);
    EXPECT_EQ(findMenuCommand(sample::kTemplate, sample::kMenuOffset)->text, "Offset");
    EXPECT_EQ(findMenuCommand(sample::kTemplate, sample::kButton), nullptr);
    ASSERT_NE(findDefaultButton(sample::kTemplate), nullptr);
    EXPECT_EQ(findDefaultButton(sample::kTemplate)->id, kIdOk);
    EXPECT_EQ(findDefaultButton(DialogTemplate{}), nullptr);
}

TEST(DialogTemplate, TheAboutBoxNamesTheProgramsVersion) {
    // The box shows major.minor; --version, the package and the metainfo show the whole.
    const std::string_view version = kProgramVersion;
    const std::string expected =
        "Softwareversion " + std::string(version.substr(0, version.rfind('.')));
    const auto& controls = kAboutTemplate.controls;
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [&](const ControlTemplate& control) {
        return control.text.ends_with(expected);
    }));
}

TEST(DialogTemplate, SampleTemplatesAreSound) {
    EXPECT_EQ(templateFault(sample::kTemplate), std::nullopt);
    EXPECT_EQ(templateFault(sample::kConfirmTemplate), std::nullopt);
}

struct FaultCase {
    const char* name;
    std::vector<ControlTemplate> controls;
    const char* expected;
};

TEST(DialogTemplate, TemplateFaultsAreNamed) {
    const std::vector<FaultCase> cases = {
        {"duplicate id",
         {{.kind = ControlKind::Edit, .id = 7}, {.kind = ControlKind::Button, .id = 7}},
         "control id 7 is used twice"},
        {"labels may share kNoId",
         {{.kind = ControlKind::Label}, {.kind = ControlKind::Label}},
         nullptr},
        {"two default buttons",
         {{.kind = ControlKind::Button, .id = 1, .style = style::kDefault},
          {.kind = ControlKind::Button, .id = 2, .style = style::kDefault}},
         "more than one default button"},
        {"digits only on a label",
         {{.kind = ControlKind::Label, .id = 3, .style = style::kDigitsOnly}},
         "label 3 cannot have the style digits only"},
        {"vertical edit",
         {{.kind = ControlKind::Edit, .id = 4, .style = style::kVertical}},
         "edit 4 cannot have the style vertical"},
        {"spin buddy missing",
         {{.kind = ControlKind::SpinControl, .id = 5, .buddy = 6}},
         "spin control 5 has a buddy that is not an edit of the dialog"},
        {"spin buddy not an edit",
         {{.kind = ControlKind::SpinControl, .id = 5, .buddy = 6},
          {.kind = ControlKind::Button, .id = 6}},
         "spin control 5 has a buddy that is not an edit of the dialog"},
    };
    for (const FaultCase& c : cases) {
        const DialogTemplate dialog{.id = 1, .controls = c.controls};
        if (c.expected == nullptr) {
            EXPECT_EQ(templateFault(dialog), std::nullopt) << c.name;
        } else {
            EXPECT_EQ(templateFault(dialog), std::optional<std::string>(c.expected)) << c.name;
        }
    }
}

TEST(DialogTemplate, DuplicateMenuCommandIsAFault) {
    static constexpr MenuItem popup[] = {{.text = "A", .id = 9}, {}, {.text = "B", .id = 9}};
    static constexpr MenuItem menu[] = {{.text = "Datei", .items = popup}};
    EXPECT_EQ(templateFault(DialogTemplate{.id = 1, .menu = menu}),
              std::optional<std::string>("menu command id 9 is used twice"));
}

TEST(TemplateSet, FindsByIdAndKeepsTheFirstOfAnId) {
    const DialogTemplate first{.id = 3, .title = "erste"};
    const DialogTemplate second{.id = 3, .title = "zweite"};
    const TemplateSet set{&sample::kTemplate, &first, &second};
    EXPECT_EQ(set.find(sample::kDialogId), &sample::kTemplate);
    EXPECT_EQ(set.find(3), &first);
    EXPECT_EQ(set.find(4), nullptr);
}

TEST(Picture, DigitsOutsideZeroToNineAreRefused) {
    EXPECT_EQ(Picture::digit(9).digitValue(), 9);
    EXPECT_THROW(Picture::digit(10), std::out_of_range);
    EXPECT_THROW(Picture::digit(-1), std::out_of_range);
    EXPECT_NE(Picture::digit(0), Picture::blank());
    EXPECT_NE(Picture::digit(3), Picture::digit(3, true));
    EXPECT_EQ(Picture::usbIndicator(true).kind(), Picture::Kind::UsbActive);
}

}  // namespace
}  // namespace tavero::res
