// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/random_generator.h"
#include "editor/ui/editor_dialogs.h"

#include <QObject>
#include <string_view>

namespace brev {

class ArrowButton;
class EditorContext;
class TBrevPulseButton;

// The window's handlers for the gang column, the randomisers, clone, the arrows and the pattern
// file. The layout gives them to its controls (BREV_HANDLER); each works on the pattern through
// the window's controls, and the randomisers draw from a generator of their own.
class PatternToolHandlers : public QObject {
    Q_OBJECT

public:
    explicit PatternToolHandlers(EditorContext* form);

public slots:
    void GangStaccatoAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangStaccatoNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangStaccatoInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangStaccatoRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangDeckstopAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangDeckstopNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangDeckstopInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangDeckstopRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangReverseAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangReverseNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangReverseInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangReverseRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteLeftAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteLeftNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteLeftInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteLeftRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteRightAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteRightNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteRightInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangMuteRightRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFlipAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFlipNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFlipInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFlipRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangInvertAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangInvertNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangInvertInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangInvertRandomButtonPulsed(brev::TBrevPulseButton* sender);
    void GangLockAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangLockNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangLockInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangExcludeAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangExcludeNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangExcludeInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeInAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeInNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeInInverseButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeOutAllButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeOutNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangFadeOutInverseButtonPulsed(brev::TBrevPulseButton* sender);

    void GangDefaultSegmentButtonPulsed(brev::TBrevPulseButton* sender);
    void GangRepeatsNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangVolumeNoneButtonPulsed(brev::TBrevPulseButton* sender);
    void GangRandomSegmentButtonPulsed(brev::TBrevPulseButton* sender);
    void GangStaccatoRandomDividerButtonPulsed(brev::TBrevPulseButton* sender);

    void RandomPingPongButtonClick();
    void CenterAllButtonClick();
    void CloneNextButtonPulsed(brev::TBrevPulseButton* sender);
    void ClonePreviousButtonPulsed(brev::TBrevPulseButton* sender);
    void UpArrowClick(brev::ArrowButton* sender);
    void DownArrowClick(brev::ArrowButton* sender);

    void LoadPatternButtonClick();
    void SavePatternButtonClick();

private:
    FileDialogRequest patternDialog() const;
    void rememberDirectory(const QString& path);
    // Runs the gang button of that name on the pattern.
    void gangPulsed(std::string_view buttonName);

    EditorContext* form_;
    TRandomGenerator random_;
};

} // namespace brev
