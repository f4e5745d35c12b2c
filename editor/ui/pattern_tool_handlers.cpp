// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/pattern_tool_handlers.h"

#include "base/error.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_commands.h"
#include "editor/core/pattern_file.h"
#include "editor/core/pattern_tools.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/editor_context.h"
#include "editor/ui/editor_settings.h"

#include <QFileInfo>
#include <QWidget>

namespace brev {

namespace {

const QString kDirectorySetting = QString::fromLatin1(kPatternDirectorySetting);

int tagOf(const QObject* sender) {
    return sender ? sender->property("Tag").toInt() : -1;
}

} // namespace

PatternToolHandlers::PatternToolHandlers(EditorContext* form)
    : QObject(&form->editorWindow()), form_(form) {
    setObjectName(QStringLiteral("PatternToolHandlers"));
}

void PatternToolHandlers::gangPulsed(std::string_view buttonName) {
    if (const auto notice = gangButtonPulsed(form_->pattern(), random_, buttonName))
        form_->dialogs().message(QString::fromStdString(*notice));
}

// Each gang button's handler runs the operation its name gives.
#define BREV_GANG_HANDLER(button)                                                                  \
    void PatternToolHandlers::button##Pulsed(TBrevPulseButton*) {                                  \
        gangPulsed(#button);                                                                       \
    }

BREV_GANG_HANDLER(GangStaccatoAllButton)
BREV_GANG_HANDLER(GangStaccatoNoneButton)
BREV_GANG_HANDLER(GangStaccatoInverseButton)
BREV_GANG_HANDLER(GangStaccatoRandomButton)
BREV_GANG_HANDLER(GangDeckstopAllButton)
BREV_GANG_HANDLER(GangDeckstopNoneButton)
BREV_GANG_HANDLER(GangDeckstopInverseButton)
BREV_GANG_HANDLER(GangDeckstopRandomButton)
BREV_GANG_HANDLER(GangReverseAllButton)
BREV_GANG_HANDLER(GangReverseNoneButton)
BREV_GANG_HANDLER(GangReverseInverseButton)
BREV_GANG_HANDLER(GangReverseRandomButton)
BREV_GANG_HANDLER(GangMuteAllButton)
BREV_GANG_HANDLER(GangMuteNoneButton)
BREV_GANG_HANDLER(GangMuteInverseButton)
BREV_GANG_HANDLER(GangMuteRandomButton)
BREV_GANG_HANDLER(GangMuteLeftAllButton)
BREV_GANG_HANDLER(GangMuteLeftNoneButton)
BREV_GANG_HANDLER(GangMuteLeftInverseButton)
BREV_GANG_HANDLER(GangMuteLeftRandomButton)
BREV_GANG_HANDLER(GangMuteRightAllButton)
BREV_GANG_HANDLER(GangMuteRightNoneButton)
BREV_GANG_HANDLER(GangMuteRightInverseButton)
BREV_GANG_HANDLER(GangMuteRightRandomButton)
BREV_GANG_HANDLER(GangFlipAllButton)
BREV_GANG_HANDLER(GangFlipNoneButton)
BREV_GANG_HANDLER(GangFlipInverseButton)
BREV_GANG_HANDLER(GangFlipRandomButton)
BREV_GANG_HANDLER(GangInvertAllButton)
BREV_GANG_HANDLER(GangInvertNoneButton)
BREV_GANG_HANDLER(GangInvertInverseButton)
BREV_GANG_HANDLER(GangInvertRandomButton)
BREV_GANG_HANDLER(GangLockAllButton)
BREV_GANG_HANDLER(GangLockNoneButton)
BREV_GANG_HANDLER(GangLockInverseButton)
BREV_GANG_HANDLER(GangExcludeAllButton)
BREV_GANG_HANDLER(GangExcludeNoneButton)
BREV_GANG_HANDLER(GangExcludeInverseButton)
BREV_GANG_HANDLER(GangFadeInAllButton)
BREV_GANG_HANDLER(GangFadeInNoneButton)
BREV_GANG_HANDLER(GangFadeInInverseButton)
BREV_GANG_HANDLER(GangFadeOutAllButton)
BREV_GANG_HANDLER(GangFadeOutNoneButton)
BREV_GANG_HANDLER(GangFadeOutInverseButton)
BREV_GANG_HANDLER(GangDefaultSegmentButton)
BREV_GANG_HANDLER(GangRepeatsNoneButton)
BREV_GANG_HANDLER(GangVolumeNoneButton)
BREV_GANG_HANDLER(GangRandomSegmentButton)
BREV_GANG_HANDLER(GangStaccatoRandomDividerButton)

#undef BREV_GANG_HANDLER

void PatternToolHandlers::RandomPingPongButtonClick() {
    randomPingPong(form_->pattern(), random_);
}

void PatternToolHandlers::CenterAllButtonClick() {
    centerAll(form_->pattern());
}

void PatternToolHandlers::CloneNextButtonPulsed(TBrevPulseButton* sender) {
    cloneNext(form_->pattern(), tagOf(sender));
}

void PatternToolHandlers::ClonePreviousButtonPulsed(TBrevPulseButton* sender) {
    clonePrevious(form_->pattern(), tagOf(sender));
}

void PatternToolHandlers::UpArrowClick(ArrowButton* sender) {
    form_->runCommand([&] { upArrow(form_->pattern(), tagOf(sender)); });
}

void PatternToolHandlers::DownArrowClick(ArrowButton* sender) {
    form_->runCommand([&] { downArrow(form_->pattern(), tagOf(sender)); });
}

FileDialogRequest PatternToolHandlers::patternDialog() const {
    const QString extension = QString::fromLatin1(kPatternExtension);
    return {extension, QStringLiteral("Brev|*.") + extension,
            form_->settings().readString(kDirectorySetting, QString())};
}

void PatternToolHandlers::rememberDirectory(const QString& path) {
    form_->settings().writeString(kDirectorySetting,
                                  QString::fromStdString(patternDirectory(path.toStdString())));
}

void PatternToolHandlers::LoadPatternButtonClick() {
    const std::optional<QString> path = form_->dialogs().openFile(patternDialog());
    if (!path)
        return;
    rememberDirectory(*path);
    form_->runCommand([&] {
        if (const auto caption = loadPattern(form_->pattern(), path->toStdString()))
            form_->editorWindow().setWindowTitle(QString::fromStdString(*caption));
    });
}

void PatternToolHandlers::SavePatternButtonClick() {
    FileDialogRequest request = patternDialog();
    // Named after the loaded loop: "break.flac" suggests "break.brev".
    if (!form_->currentFileName().isEmpty())
        request.suggestedName = QFileInfo(form_->currentFileName()).completeBaseName() + u'.' +
                                request.defaultExtension;
    const std::optional<QString> path = form_->dialogs().saveFile(request);
    if (!path)
        return;
    rememberDirectory(*path);
    form_->runCommand([&] { savePattern(form_->pattern(), path->toStdString()); });
}

} // namespace brev
