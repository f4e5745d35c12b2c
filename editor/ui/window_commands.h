// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brev {

// The window's own handlers, as the layout gives them to its controls (BREV_HANDLER): the
// toolbar's loop, playback and view commands and the device list.
class WindowCommands {
public:
    virtual ~WindowCommands() = default;

    virtual void LoadFromFileButtonClick() = 0;
    virtual void SaveToFileButtonClick() = 0;
    virtual void PasteFromClipBoardButtonClick() = 0;
    virtual void CopyToClipBoardButtonClick() = 0;
    virtual void RevertButtonClick() = 0;
    virtual void PlayButtonClick() = 0;
    virtual void StopButtonClick() = 0;
    virtual void LoopButtonClick() = 0;
    virtual void F22KButtonClick() = 0;
    virtual void F44KButtonClick() = 0;
    virtual void F88KButtonClick() = 0;
    virtual void DriversComboBoxChange(int index) = 0;
    virtual void BackgroundColorButtonClick() = 0;
    virtual void SmartFadesButtonClick() = 0;
    virtual void HintsButtonClick() = 0;
    virtual void InnerFadesButtonClick() = 0;
    virtual void LogFadesButtonClick() = 0;
};

} // namespace brev
