// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the editor window and saves what it draws to the PNG file named by the first argument.
// With "shift-info" as the second argument, Info is clicked with Shift held first. With a loop's
// path instead, the editor starts on the silent output, loads the loop, edits a few slots and
// plays, so the waveform strip shows the pattern as heard with the playing region lit.
#include "editor/core/pattern_controls.h"
#include "editor/ui/interface_form.h"
#include "tests/ui/window_probe.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstring>

namespace {

void playEditedLoop(brev::TInterfaceForm& form, const QString& loop, const QString& settings) {
    qputenv("BREV_AUDIO", "null");
    brev::EditorOptions options;
    options.settingsFile = settings;
    form.start(options);
    form.loadDroppedFile(loop);
    brev::PatternAccess& pattern = form.pattern();
    pattern.SetCheckValue(brev::slotControlName(brev::kReverseCheckText, 2), true);
    pattern.SetCheckValue(brev::slotControlName(brev::kMuteCheckText, 5), true);
    pattern.SetNumberValue(brev::slotControlName(brev::kVolumeNumber, 9), -12);
    pattern.SetNumberValue(brev::slotControlName(brev::kRepeatsNumber, 12), 4);
    probe(form).component<QToolButton>(u"PlayButton")->click();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [shift-info | LOOP.wav]\n", argv[0]);
        return 2;
    }
    const bool shiftInfo = argc > 2 && std::strcmp(argv[2], "shift-info") == 0;
    const bool loop = argc > 2 && !shiftInfo;
    const QTemporaryDir settings;
    brev::TInterfaceForm form;
    if (loop)
        playEditedLoop(form, QString::fromLocal8Bit(argv[2]), settings.filePath("settings.ini"));
    form.show();
    int status = 1;
    // Grab once the window has been mapped and painted (and playback is under way).
    QTimer::singleShot(loop ? 900 : 500, &form, [&] {
        if (shiftInfo) {
            QWidget* info = probe(form).findComponent(u"InfoButton");
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                              info->mapTo(&form, info->rect().center()));
        }
        const QImage image = form.grab().toImage();
        if (image.size() == form.size() && image.save(QString::fromLocal8Bit(argv[1])))
            status = 0;
        else
            std::fprintf(stderr, "could not write %s\n", argv[1]);
        app.quit();
    });
    app.exec();
    return status;
}
