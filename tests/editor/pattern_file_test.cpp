// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace brev {
namespace {

namespace fs = std::filesystem;

class PatternFileTest : public test::TempFolderTest {
protected:
    static std::string slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void spit(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
};

// Every value away from its default, different per slot.
void scramble(PatternModel& model) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        model.SetNumberValue(slotControlName(kSegmentNumber, slot), 15 - slot);
        model.SetNumberValue(slotControlName(kRepeatsNumber, slot), 2 + slot * 6);
        model.SetNumberValue(slotControlName(kVolumeNumber, slot), slot * 13 - 99);
        model.SetNumberValue(slotControlName(kDividerNumber, slot), 3 + slot);
        int bit = 0;
        for (auto flag : {kStaccatoCheckText, kDeckstopCheckText, kReverseCheckText, kMuteCheckText,
                          kMuteLeftCheckText, kMuteRightCheckText, kFlipCheckText, kPhaseCheckText,
                          kLockCheckText, kExcludeCheckText, kFadeInCheckText, kFadeOutCheckText}) {
            model.SetCheckValue(slotControlName(flag, slot), ((slot + bit++) % 3) == 0);
        }
    }
    model.SetNumberValue(kGangSegmentNumber, 9);
    model.SetNumberValue(kGangRepeatsNumber, 7);
    model.SetNumberValue(kGangVolumeNumber, -12);
    model.SetNumberValue(kGangStaccatoDividerNumber, 5);
    model.SetNumberValue(kGangStaccatoRandomInputNumber, 33);
    model.SetNumberValue(kFadeSamplesNumber, 250);
    model.SetNumberValue(kSwingNumber, 66);
    model.SetNumberValue(kCuttingAngleNumber, -45);
    model.SetNumberValue(kDeckstopRampNumber, 80);
}

void expectSameValues(const PatternModel& a, const PatternModel& b) {
    for (const auto& control : patternControls()) {
        if (control.kind == ControlKind::Number) {
            EXPECT_EQ(a.NumberValue(control.name), b.NumberValue(control.name)) << control.name;
        } else if (control.kind == ControlKind::Check) {
            EXPECT_EQ(a.CheckValue(control.name), b.CheckValue(control.name)) << control.name;
        }
    }
}

TEST_F(PatternFileTest, SaveThenLoadRestoresEveryValueWithoutRecomputingFades) {
    PatternModel saved;
    scramble(saved);
    saved.setToggleDown(kLogFadesButton, false);
    writePatternFile(saved, path("a.brev"));

    PatternModel loaded;
    // A stand-in for smart fades: it must not run while the file's values arrive.
    int smartRuns = 0;
    auto smart = [&](const ControlInfo&, int) {
        if (loaded.toggleDown(kSmartFadesButton)) {
            ++smartRuns;
            loaded.SetCheckValue("FadeIn0CheckText", !loaded.CheckValue("FadeIn0CheckText"));
        }
    };
    const Subscription values = loaded.addHandler(ChangeHandler::ValueChanged, smart);
    const Subscription checks = loaded.addHandler(ChangeHandler::CheckChanged, smart);
    EXPECT_EQ(readPatternFile(loaded, path("a.brev")), "");
    EXPECT_EQ(smartRuns, 0);
    EXPECT_TRUE(loaded.toggleDown(kSmartFadesButton));
    expectSameValues(saved, loaded);

    // The layout: 256 slot keys in slot order, then the 9 globals, no spaces around "=".
    std::string text = slurp(path("a.brev"));
    EXPECT_EQ(text.find("[Saved Pattern]\nSegment 0=15\nRepeats 0=2\nVolume 0=-99\nStaccato 0=1\n"
                        "Divider 0=3\nDeckstop 0=0\nReverse 0=0\nMute 0=1\n"),
              0u)
        << text;
    EXPECT_NE(text.find("Fade out 15=0\nGang segment=9\nGang repeats=7\nGang volume=-12\n"
                        "Gang staccato divider=5\nGang staccato random input=33\n"
                        "Fade samples=250\nSwing=66\nCutting angle=-45\nDeckstop ramp=80\n"
                        "Inner fades=1\nLog fades=0\n"),
              std::string::npos)
        << text;
    // The editor keeps its toolbar; brev-render takes the switches the pattern was saved with.
    EXPECT_TRUE(loaded.toggleDown(kLogFadesButton));
    readPatternFile(loaded, path("a.brev"), PatternSwitches::FromFile);
    EXPECT_FALSE(loaded.toggleDown(kLogFadesButton));
    EXPECT_TRUE(loaded.toggleDown(kInnerFadesButton));
}

TEST_F(PatternFileTest, MissingAndOddValuesTakeDefaultsAndTheControlsClamp) {
    PatternModel model;
    scramble(model);
    std::string comment = readPatternText(model, "[Saved Pattern]\n"
                                                 "Repeats 3=0\n"
                                                 "Divider 3=1\n"
                                                 "Volume 3=150\n"
                                                 "Volume 4=-99999999999999\n"
                                                 "Segment 5=seven\n"
                                                 "Segment 6= 12 \n"
                                                 "Segment 7=\"4\"\n"
                                                 "Mute 2=-3\n"
                                                 "Flip 2=yes\n"
                                                 "Fade samples=1e3\n"
                                                 "Swing=+40\n");
    EXPECT_EQ(comment, "");
    EXPECT_EQ(model.NumberValue("Repeats3Number"), 1);
    EXPECT_EQ(model.NumberValue("Divider3Number"), 2);
    EXPECT_EQ(model.NumberValue("Volume3Number"), 99);
    EXPECT_EQ(model.NumberValue("Volume4Number"), -99);
    EXPECT_EQ(model.NumberValue("Segment5Number"), 0);
    EXPECT_EQ(model.NumberValue("Segment6Number"), 12);
    EXPECT_EQ(model.NumberValue("Segment7Number"), 4);
    EXPECT_TRUE(model.CheckValue("Mute2CheckText"));
    EXPECT_FALSE(model.CheckValue("Flip2CheckText"));
    EXPECT_EQ(model.NumberValue(kFadeSamplesNumber), 0);
    EXPECT_EQ(model.NumberValue(kSwingNumber), 40);
    // Everything the text does not name falls back to its key's default.
    EXPECT_EQ(model.NumberValue(kDeckstopRampNumber), 50);
    EXPECT_EQ(model.NumberValue(kGangRepeatsNumber), 1);
    EXPECT_EQ(model.NumberValue(kGangStaccatoDividerNumber), 2);
    EXPECT_EQ(model.NumberValue("Segment15Number"), 0);
    EXPECT_FALSE(model.CheckValue("Staccato0CheckText"));

    // A missing file is an empty pattern, not an error.
    scramble(model);
    EXPECT_EQ(readPatternFile(model, path("none.brev")), "");
    EXPECT_EQ(model.NumberValue("Segment0Number"), 0);
    EXPECT_EQ(model.NumberValue("Repeats9Number"), 1);
}

TEST_F(PatternFileTest, GlobalsAreReadBeforeSlotsSoGangWritesAreOverwritten) {
    PatternModel model;
    std::vector<std::string> order;
    const Subscription gang = model.addHandler(
        ChangeHandler::GangSegmentNumberChanged, [&](const ControlInfo&, int value) {
            order.push_back("gang");
            for (int slot = 0; slot < kSlotCount; ++slot) {
                model.SetNumberValue(slotControlName(kSegmentNumber, slot), value);
            }
        });
    const Subscription reverse = model.addControlHandler(
        "Reverse2CheckText", [&](const ControlInfo&, int) { order.push_back("reverse"); });
    const Subscription deckstop = model.addControlHandler(
        "Deckstop2CheckText", [&](const ControlInfo&, int) { order.push_back("deckstop"); });
    readPatternText(model, "[saved pattern]\nGang segment=9\nSegment 1=3\nDeckstop 2=1\n"
                           "Reverse 2=1\n");
    EXPECT_EQ(order, (std::vector<std::string>{"gang", "reverse", "deckstop"}));
    EXPECT_EQ(model.NumberValue("Segment1Number"), 3);
    EXPECT_EQ(model.NumberValue("Segment2Number"), 0);
    EXPECT_EQ(model.NumberValue(kGangSegmentNumber), 9);
}

TEST_F(PatternFileTest, HandWrittenFileKeepsCommentUnknownKeysAndCaseAcrossASave) {
    std::string file = path("hand.brev");
    spit(file, "; written by hand\r\n"
               "[Other]\r\n"
               "Keep=me\r\n"
               "[SAVED PATTERN]\r\n"
               "Comment=Break A\r\n"
               "SEGMENT 0=7\r\n"
               "fade SAMPLES=12\r\n"
               "Colour=blue\r\n");
    PatternModel model;
    EXPECT_EQ(readPatternFile(model, file), "Break A");
    EXPECT_EQ(model.NumberValue("Segment0Number"), 7);
    EXPECT_EQ(model.NumberValue(kFadeSamplesNumber), 12);

    model.SetNumberValue("Segment0Number", 3);
    model.SetNumberValue(kFadeSamplesNumber, 99);
    writePatternFile(model, file);
    std::string text = slurp(file);
    EXPECT_NE(text.find("; written by hand"), std::string::npos) << text;
    EXPECT_NE(text.find("Keep=me"), std::string::npos) << text;
    EXPECT_NE(text.find("Comment=Break A"), std::string::npos) << text;
    EXPECT_NE(text.find("Colour=blue"), std::string::npos) << text;
    // The existing keys are updated in place, not duplicated in another spelling.
    EXPECT_NE(text.find("SEGMENT 0=3"), std::string::npos) << text;
    EXPECT_EQ(text.find("Segment 0="), std::string::npos) << text;
    EXPECT_NE(text.find("fade SAMPLES=99"), std::string::npos) << text;

    PatternModel again;
    EXPECT_EQ(readPatternFile(again, file), "Break A");
    expectSameValues(model, again);
}

TEST_F(PatternFileTest, FailedSaveLeavesTheOldFileAndSaysWhy) {
    PatternModel model;
    std::string missing = path("no/such/folder/p.brev");
    try {
        writePatternFile(model, missing);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to save the pattern to " + missing + "\nNo such file or directory");
    }

    // The target is a folder: the save fails and the folder with its content stays.
    std::string blocked = path("blocked.brev");
    fs::create_directory(blocked);
    spit(blocked + "/inside", "x");
    EXPECT_THROW(writePatternFile(model, blocked), Error);
    EXPECT_EQ(slurp(blocked + "/inside"), "x");

    // A successful save replaces the file and leaves no temporary behind.
    std::string file = path("ok.brev");
    spit(file, "[Saved Pattern]\nComment=old\n");
    writePatternFile(model, file);
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2); // blocked.brev and ok.brev
    EXPECT_NE(slurp(file).find("Comment=old"), std::string::npos);
}

TEST_F(PatternFileTest, GarbageTextLoadsAsDefaults) {
    PatternModel model;
    scramble(model);
    readPatternText(model, std::string("\0\xff[[[=\n=\n[Saved Pattern\nSegment 0\n", 32));
    EXPECT_EQ(model.NumberValue("Segment0Number"), 0);
    EXPECT_EQ(model.NumberValue(kDeckstopRampNumber), 50);
}

} // namespace
} // namespace brev
