// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_commands.h"
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_tools.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace brev {
namespace {

using PatternCommandsTest = test::TempFolderTest;

// Every control's value, by name.
std::vector<std::pair<std::string, int>> values(const PatternAccess& pattern) {
    std::vector<std::pair<std::string, int>> result;
    for (const auto& control : patternControls()) {
        if (control.kind == ControlKind::Number) {
            result.emplace_back(control.name, pattern.NumberValue(control.name));
        } else if (control.kind == ControlKind::Check) {
            result.emplace_back(control.name, pattern.CheckValue(control.name) ? 1 : 0);
        }
    }
    return result;
}

TEST_F(PatternCommandsTest, SaveThenLoadWithTheWindowsHandlersRestoresEverything) {
    PatternModel saved;
    const Subscription savedHandlers = attachChangeHandlers(saved);
    TRandomGenerator generator(-2026);
    // An edited pattern: random operations, then fade flags smart fades would not choose.
    for (auto name :
         {"GangRandomSegmentButton", "GangReverseRandomButton", "GangFlipRandomButton",
          "GangStaccatoRandomDividerButton", "GangMuteRandomButton", "GangExcludeInverseButton"}) {
        gangButtonPulsed(saved, generator, name);
    }
    saved.SetNumberValue(kGangRepeatsNumber, 3);
    saved.SetNumberValue(kGangVolumeNumber, -4);
    saved.SetCheckValue("Lock6CheckText", true);
    saved.SetNumberValue(kGangSegmentNumber, 12);
    saved.SetNumberValue(kGangStaccatoDividerNumber, 17);
    saved.SetNumberValue(kGangStaccatoRandomInputNumber, 40);
    saved.SetNumberValue(kFadeSamplesNumber, 321);
    saved.SetNumberValue(kSwingNumber, 55);
    saved.SetNumberValue(kCuttingAngleNumber, 30);
    saved.SetNumberValue(kDeckstopRampNumber, 9);
    randomPingPong(saved, generator);
    saved.SetCheckValue("FadeIn0CheckText", !saved.CheckValue("FadeIn0CheckText"));
    saved.SetCheckValue("FadeOut9CheckText", !saved.CheckValue("FadeOut9CheckText"));
    savePattern(saved, path("p.brev"));

    // A window whose gang numbers differ, so the gang operations run during the load.
    PatternModel loaded;
    const Subscription loadedHandlers = attachChangeHandlers(loaded);
    loaded.SetNumberValue(kGangSegmentNumber, 2);
    loaded.SetNumberValue(kGangRepeatsNumber, 50);
    EXPECT_EQ(loadPattern(loaded, path("p.brev")), std::nullopt);
    EXPECT_EQ(values(loaded), values(saved));
    EXPECT_TRUE(loaded.toggleDown(kSmartFadesButton));

    // With smart fades up the toggle stays up.
    loaded.setToggleDown(kSmartFadesButton, false);
    loadPattern(loaded, path("p.brev"));
    EXPECT_FALSE(loaded.toggleDown(kSmartFadesButton));
}

TEST_F(PatternCommandsTest, CommentBecomesTheCaptionAndSurvivesASave) {
    std::ofstream(path("c.brev"), std::ios::binary)
        << "[Saved Pattern]\r\ncomment=Break A\r\nsegment 3=9\r\n";
    PatternModel model;
    const Subscription handlers = attachChangeHandlers(model);
    EXPECT_EQ(loadPattern(model, path("c.brev")),
              std::optional<std::string>("BREV Edit - Break A"));
    EXPECT_EQ(model.NumberValue("Segment3Number"), 9);
    savePattern(model, path("c.brev"));
    PatternModel again;
    EXPECT_EQ(loadPattern(again, path("c.brev")),
              std::optional<std::string>("BREV Edit - Break A"));
    EXPECT_EQ(values(again), values(model));
}

} // namespace
} // namespace brev
