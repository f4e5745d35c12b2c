#include "editor/ui/info_handlers.h"

#include "controls/brev_number.h"
#include "editor/core/info_picture.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/program_info.h"
#include "editor/core/tempo_table.h"
#include "editor/ui/desktop_viewer.h"
#include "editor/ui/interface_form.h"
#include "output/tds.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

namespace brev {

namespace {

const QString kLoadAudioFirst = QStringLiteral("Load some audio first");

const TDS* engineOf(TInterfaceForm& form) {
    return form.started() ? &form.engine() : nullptr;
}

} // namespace

InfoHandlers::InfoHandlers(TInterfaceForm* form)
    : QObject(form), form_(form), viewer_(&systemDesktopViewer()),
      programDirectory_(QCoreApplication::applicationDirPath()) {
    setObjectName(QStringLiteral("InfoHandlers"));
}

void InfoHandlers::TableButtonClick() {
    const TDS* engine = engineOf(*form_);
    if (!engine || !engine->IsLoaded()) {
        form_->dialogs().message(kLoadAudioFirst);
        return;
    }
    const auto* swing = form_->component<TBrevNumber>(QString::fromLatin1(kSwingNumber));
    const TempoTableInput input = tempoTableInput(engine->Store(), swing ? swing->Value() : 0,
                                                  form_->currentFileName().toStdString(),
                                                  QLocale().decimalPoint().toStdString());
    // A page that could not be written is said so, rather than showing an older one.
    form_->runCommand([&] {
        const std::string path = tempoTablePath();
        writeTempoTable(path, input);
        viewer_->openFile(QString::fromStdString(path));
    });
}

void InfoHandlers::InfoButtonClick() {
    // The modifiers of the click that fired the button.
    if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
        drawInfoPicture(form_->pattern());
        return;
    }
    if (const TDS* engine = engineOf(*form_))
        form_->dialogs().message(QString::fromStdString(engine->ShowCapabilities()));
}

void InfoHandlers::HelpButtonClick() {
    const QString path = QString::fromStdString(helpFilePath(programDirectory_.toStdString()));
    if (QFileInfo::exists(path))
        viewer_->openFile(path);
    else
        form_->dialogs().message(QString::fromStdString(helpMissingMessage(path.toStdString())));
}

} // namespace brev
