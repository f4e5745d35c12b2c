// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// IniDocument against the INI library the pattern file was first written with, on random texts
// built from the lines pattern files and hand edits hold, odd ones included.

#include "editor/core/ini_document.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace brev {
namespace {

const char* const kLines[] = {
    "[Saved Pattern]",
    "[saved PATTERN]  ",
    "[ Other ]",
    "[]",
    "[broken",
    "[\nSegment 1=3]",
    "Segment 0=5",
    "segment 0 = 7 ",
    "  Fade samples=\t441  ",
    "Volume 3=-12",
    "Repeats 3=0",
    "Comment=Break A",
    "comment = ",
    "; a comment",
    "# another",
    "  ; indented comment",
    "",
    "   ",
    "key only",
    "=no key",
    "Gang segment=\"4\"",
    "Deckstop ramp=x9",
    "Mute left 15=1",
    "Unknown key=kept",
    "[Saved Pattern",
    "Swing=33 ; not a comment",
    "\t",
};
const char* const kEnds[] = {"\n", "\r\n", "\r", "\n\n"};
const char* const kKeys[] = {"Segment 0",    "Volume 3",      "Repeats 3", "Comment",
                             "Fade samples", "Gang segment",  "Swing",     "Unknown key",
                             "Mute left 15", "Deckstop ramp", "key only",  "New key"};
const char* const kSections[] = {"Saved Pattern", "", "Other", "broken", "New section"};

std::string randomText(std::mt19937& random) {
    std::string text;
    if (random() % 8 == 0)
        text += "\xEF\xBB\xBF";
    const int lines = static_cast<int>(random() % 24);
    for (int i = 0; i < lines; ++i) {
        if (random() % 16 == 0) {
            text += static_cast<char>(random() % 256);
            continue;
        }
        text += kLines[random() % std::size(kLines)];
        if (i + 1 < lines || random() % 2 == 0)
            text += kEnds[random() % std::size(kEnds)];
    }
    return text;
}

TEST(IniDocument, ReadsAndRewritesAsTheLibraryDoes) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(random);
        SCOPED_TRACE(::testing::PrintToString(text));
        CSimpleIniA library;
        library.SetSpaces(false);
        if (!text.empty()) {
            ASSERT_GE(library.LoadData(text.data(), text.size()), 0);
        }
        IniDocument document(text);

        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                const char* expected = library.GetValue(section, key, nullptr);
                const char* actual = document.value(section, key);
                ASSERT_EQ(expected == nullptr, actual == nullptr) << section << " / " << key;
                if (expected) {
                    EXPECT_STREQ(actual, expected) << section << " / " << key;
                }
            }
        }

        for (int i = static_cast<int>(random() % 6); i > 0; --i) {
            const char* section = kSections[random() % std::size(kSections)];
            const char* key = kKeys[random() % std::size(kKeys)];
            const std::string value = std::to_string(static_cast<int>(random() % 200) - 100);
            library.SetValue(section, key, value.c_str());
            document.setValue(section, key, value);
        }
        std::string expected;
        ASSERT_GE(library.Save(expected), 0);
        EXPECT_EQ(document.text(), expected);
    }
}

} // namespace
} // namespace brev
