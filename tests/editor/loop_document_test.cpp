// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/loop_document.h"
#include "editor/core/pattern_controls.h"
#include "tests/support/test_waves.h"

#include <gtest/gtest.h>

namespace brev {
namespace {

// Whoever changes the swing (the document, an edit of the model, an undo's restore), the loop
// is cut again; a target the loop cannot reach leaves it at its own tempo, saying why.
TEST(LoopDocument, EverySwingChangeRecutsAndAnUnreachableTargetKeepsTheLoop) {
    StoreHolder holder;
    LoopDocument document(holder);
    document.setSwing(30);         // nothing loaded: nothing to cut
    document.setTarget({2000, 0}); // 33 times slower
    const std::string problem =
        document.load({test::rampWave(16000), "MP3"}, {{}, "(Dropped data)"});
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(document.stretched(), LoopStretch{});
    EXPECT_EQ(document.loopAsLoaded().GetSamples(), 16000);
    EXPECT_EQ(document.displayName(), "(Dropped data)");
    EXPECT_EQ(document.sourceFormat(), "MP3");
    EXPECT_EQ(document.targetSummary(), "at 20.00 BPM (own 661.50)");

    const auto evenGrows = [&] {
        return holder.store().NaturalLength(0) > holder.store().NaturalLength(1);
    };
    EXPECT_TRUE(evenGrows()); // cut at the swing of the moment
    document.pattern().SetNumberValue(kSwingNumber, 0);
    EXPECT_FALSE(evenGrows());
    document.pattern().restoreValue(controlIndex(kSwingNumber), 60);
    EXPECT_TRUE(evenGrows());
    EXPECT_EQ(holder.store().source().GetSamples(), 16000);
}

} // namespace
} // namespace brev
