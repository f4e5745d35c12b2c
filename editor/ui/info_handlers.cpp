// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/info_handlers.h"

#include "base/program_info.h"
#include "editor/core/info_picture.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/tempo_table.h"
#include "editor/ui/desktop_viewer.h"
#include "editor/ui/editor_context.h"
#include "editor/ui/editor_dialogs.h"
#include "output/tds.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QWidget>

namespace brev {

namespace {

const QString kLoadAudioFirst = QStringLiteral("Load some audio first");

// What a user asks about the sound beyond the device's capabilities: which device plays,
// whether it is silent and why, its period and latency, and the gaps it has had.
QString outputReport(const TDS& engine) {
    QStringList lines;
    lines << QStringLiteral("Device: %1")
                 .arg(QString::fromStdString(engine.DriverName(engine.DriverIndex())));
    lines << (engine.silent()
                  ? QStringLiteral("Output: silent. %1")
                        .arg(QString::fromStdString(engine.OutputNotice()).replace(u'\n', u' '))
                  : QStringLiteral("Output: sound"));
    const unsigned period = engine.OutputPeriod();
    lines << QStringLiteral("Period: %1, latency %2 ms")
                 .arg(period ? QStringLiteral("%1 frames").arg(period) : QStringLiteral("unknown"))
                 .arg(engine.OutputLatency() * 1000.0, 0, 'f', 1);
    lines << QStringLiteral("Underflows: %1").arg(engine.Underflows());
    return lines.join(u'\n');
}

QString noViewerMessage(const QString& path) {
    return QStringLiteral("No program to show %1 was found on this desktop.").arg(path);
}

const TDS* engineOf(EditorContext& form) {
    return form.started() ? &form.engine() : nullptr;
}

} // namespace

InfoHandlers::InfoHandlers(EditorContext* form)
    : QObject(&form->editorWindow()), form_(form), viewer_(&systemDesktopViewer()),
      programDirectory_(QCoreApplication::applicationDirPath()) {
    setObjectName(QStringLiteral("InfoHandlers"));
}

void InfoHandlers::TableButtonClick() {
    const TDS* engine = engineOf(*form_);
    if (!engine || !engine->IsLoaded()) {
        form_->dialogs().message(kLoadAudioFirst);
        return;
    }
    const TempoTableInput input = tempoTableInput(
        engine->Store(), form_->pattern().NumberValue(kSwingNumber),
        form_->currentFileName().toStdString(), QLocale().decimalPoint().toStdString());
    // A page that could not be written is said so, rather than showing an older one.
    form_->runCommand([&] {
        const std::string path = tempoTablePath();
        writeTempoTable(path, input, FileAccess::OwnerOnly);
        const QString page = QString::fromStdString(path);
        if (!viewer_->openFile(page))
            form_->dialogs().message(noViewerMessage(page));
    });
}

void InfoHandlers::InfoButtonClick() {
    // The modifiers of the click that fired the button.
    if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
        drawInfoPicture(form_->pattern());
        return;
    }
    if (const TDS* engine = engineOf(*form_))
        form_->dialogs().message(QString::fromStdString(engine->ShowCapabilities()).trimmed() +
                                 QStringLiteral("\n\n") + outputReport(*engine));
}

void InfoHandlers::HelpButtonClick() {
    const QString path = QString::fromStdString(helpFilePath(programDirectory_.toStdString()));
    const QString pages = QString::fromStdString(helpPagesPath(programDirectory_.toStdString()));
    // Where nothing shows the compiled help, the same pages open in the web browser.
    const ViewAttempt attempt = openFirstViewable(*viewer_, {path, pages});
    if (attempt.opened)
        return;
    if (attempt.tried.isEmpty())
        form_->dialogs().message(QString::fromStdString(helpMissingMessage(path.toStdString())));
    else
        form_->dialogs().message(noViewerMessage(attempt.tried.join(QStringLiteral(" or "))));
}

} // namespace brev
