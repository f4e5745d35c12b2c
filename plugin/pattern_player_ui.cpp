// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern player's window, in the framework's own toolkit (no Qt inside a host's process):
// the loop and pattern files, the pattern that plays, Keep pitch and the player's status.
#include "DistrhoUI.hpp"
#include "plugin/bar_player.h"
#include "plugin/pattern_player_keys.h"
#include "plugin/pattern_player_layout.h"
#include "plugin/pattern_player_status.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>

START_NAMESPACE_DISTRHO

namespace {

using brev::Box;
using brev::Part;
using brev::Target;

const Color kBackground(30, 32, 36);
const Color kRow(44, 47, 53);
const Color kHover(62, 66, 75);
const Color kPlaying(46, 96, 160);
const Color kNumberHover(78, 128, 196);
const Color kText(232, 232, 232);
const Color kDimText(150, 154, 160);
const Color kProblem(240, 168, 96);

constexpr float kInset = 8;

std::string shownName(const std::string& path) {
    return path.empty() ? "(none)" : std::filesystem::path(path).filename().string();
}

} // namespace

class PatternPlayerUi : public UI {
public:
    PatternPlayerUi() : UI(brev::kWindowWidth, brev::kWindowHeight, true) { loadSharedResources(); }

protected:
    void parameterChanged(uint32_t index, float value) override {
        if (index == brev::kPatternControl)
            pattern_ = std::clamp(static_cast<int>(std::lround(value)), 1, brev::kPatternCount) - 1;
        else
            keepPitch_ = value > 0.5f;
        repaint();
    }

    void stateChanged(const char* key, const char* value) override {
        if (std::string* file = fileOf(key)) {
            *file = value;
            repaint();
        }
    }

    // The player cannot tell the window in every format when a file or the bars fail.
    void uiIdle() override {
        std::string status = brev::playerStatus(getPluginInstancePointer());
        if (status != status_) {
            status_ = std::move(status);
            repaint();
        }
    }

    bool onMouse(const MouseEvent& event) override {
        if (event.button != 1 || !event.press)
            return false;
        const Target target = targetAt(event.pos);
        switch (target.part) {
        case Part::LoopFile:
            chooseFile("loop");
            break;
        case Part::PatternFile:
            chooseFile(brev::patternKey(target.pattern));
            break;
        case Part::PatternNumber:
            pattern_ = target.pattern;
            change(brev::kPatternControl, static_cast<float>(pattern_ + 1));
            break;
        case Part::KeepPitch:
            keepPitch_ = !keepPitch_;
            change(brev::kKeepPitchControl, keepPitch_ ? 1.0f : 0.0f);
            break;
        case Part::None:
            return false;
        }
        repaint();
        return true;
    }

    bool onMotion(const MotionEvent& event) override {
        const Target target = targetAt(event.pos);
        if (target != hovered_) {
            hovered_ = target;
            repaint();
        }
        return false;
    }

    // The framework's own chooser, where the host offers none.
    void uiFileBrowserSelected(const char* filename) override {
        if (filename != nullptr && !browsing_.empty()) {
            setState(browsing_.c_str(), filename);
            stateChanged(browsing_.c_str(), filename);
        }
        browsing_.clear();
    }

    void onNanoDisplay() override {
        const auto factor = static_cast<float>(getScaleFactor());
        scale(factor, factor);
        fill({0, 0, brev::kWindowWidth, brev::kWindowHeight}, kBackground);
        fontFace(NANOVG_DEJAVU_SANS_TTF);
        write(brev::titleBox(), 0, "BREV Pattern Player", kText, 20);

        const Box loop = brev::loopRow();
        fill(loop, hovered_.part == Part::LoopFile ? kHover : kRow);
        write(loop, kInset, "Loop", kText);
        write(brev::fileBox(loop), 0, shownName(loopFile_), kText);

        for (int pattern = 0; pattern < brev::kPatternCount; ++pattern)
            drawPatternRow(pattern);

        const Box keepPitch = brev::keepPitchRow();
        fill(keepPitch, hovered_.part == Part::KeepPitch ? kHover : kRow);
        const Box check{keepPitch.x + kInset, keepPitch.y + 5, keepPitch.height - 10,
                        keepPitch.height - 10};
        fill(check, keepPitch_ ? kPlaying : kBackground);
        write(keepPitch, 2 * kInset + check.width, "Keep pitch", kText);

        const Box status = brev::statusBox();
        const std::string shown = "Status: " + (status_.empty() ? std::string("OK") : status_);
        scissor(status.x, status.y, status.width, status.height);
        fillColor(status_.empty() ? kDimText : kProblem);
        fontSize(13);
        textAlign(ALIGN_LEFT | ALIGN_TOP);
        textBox(status.x, status.y, status.width, shown.c_str());
        resetScissor();
    }

private:
    void drawPatternRow(int pattern) {
        const Box row = brev::patternRow(pattern);
        const bool hovered = hovered_ == Target{Part::PatternFile, pattern};
        fill(row, pattern == pattern_ ? kPlaying : hovered ? kHover : kRow);
        const Box number = brev::numberBox(pattern);
        const bool numberHovered = hovered_ == Target{Part::PatternNumber, pattern};
        if (numberHovered || pattern != pattern_)
            fill(number, numberHovered ? kNumberHover : kHover);
        write(number, number.width / 2, std::to_string(pattern + 1), kText, 14, ALIGN_CENTER);
        write(row, number.width + kInset, "Pattern " + std::to_string(pattern + 1), kText);
        write(brev::fileBox(row), 0, shownName(patternFiles_[pattern]), kText);
    }

    void fill(const Box& box, const Color& color) {
        beginPath();
        rect(box.x, box.y, box.width, box.height);
        fillColor(color);
        NanoVG::fill();
    }

    // One line in the box, from inset on, clipped to the box.
    void write(const Box& box, float inset, const std::string& line, const Color& color,
               float size = 14, Align align = ALIGN_LEFT) {
        scissor(box.x, box.y, box.width - kInset, box.height);
        fillColor(color);
        fontSize(size);
        textAlign(align | ALIGN_MIDDLE);
        text(box.x + inset, box.y + box.height / 2, line.c_str(), nullptr);
        resetScissor();
    }

    Target targetAt(const Point<double>& position) const {
        const double factor = getScaleFactor();
        return brev::targetAt(position.getX() / factor, position.getY() / factor);
    }

    std::string* fileOf(const std::string& key) {
        if (key == "loop")
            return &loopFile_;
        for (int pattern = 0; pattern < brev::kPatternCount; ++pattern) {
            if (key == brev::patternKey(pattern))
                return &patternFiles_[pattern];
        }
        return nullptr;
    }

    // The host's chooser where it offers one, the framework's own otherwise.
    void chooseFile(const std::string& key) {
        if (requestStateFile(key.c_str()))
            return;
        browsing_ = key;
        FileBrowserOptions options;
        const std::string title = "BREV Pattern Player: " + key;
        options.title = title.c_str();
        if (!openFileBrowser(options))
            browsing_.clear();
    }

    void change(uint32_t control, float value) {
        editParameter(control, true);
        setParameterValue(control, value);
        editParameter(control, false);
    }

    std::string loopFile_;
    std::array<std::string, brev::kPatternCount> patternFiles_;
    int pattern_ = 0;
    bool keepPitch_ = true;
    std::string status_;
    Target hovered_;
    std::string browsing_;
};

UI* createUI() {
    return new PatternPlayerUi();
}

END_NAMESPACE_DISTRHO
