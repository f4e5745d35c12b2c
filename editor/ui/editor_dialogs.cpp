// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/editor_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace brev {

namespace {

std::optional<QString> runFileDialog(QFileDialog* dialog, const FileDialogRequest& request) {
    dialog->setDefaultSuffix(request.defaultExtension);
    dialog->setNameFilter(qtNameFilter(request.filter));
    // No folder remembered yet: the working folder, as the system dialogs start in. An empty
    // folder would show the file system's root listing instead.
    dialog->setDirectory(request.directory.isEmpty() ? QDir::currentPath() : request.directory);
    // The dialog is shared: without a suggestion it would offer the name typed last time, which
    // selectFile cannot clear.
    if (!request.suggestedName.isEmpty())
        dialog->selectFile(request.suggestedName);
    else if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->clear();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

// The toolkit's own folder dialog refuses a name that does not exist yet ("Directory not found");
// this one lets it through, for the caller to make. Always the toolkit's dialog: a desktop's own
// may refuse it too.
class NewFolderDialog : public QFileDialog {
public:
    NewFolderDialog(QWidget* parent, const QString& title, const QString& directory)
        : QFileDialog(parent, title, directory) {
        setFileMode(QFileDialog::Directory);
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        // Past QFileDialog::accept, which would refuse the name.
        if (chosen.size() == 1 && !QFileInfo::exists(chosen.constFirst()))
            QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
        else
            QFileDialog::accept();
    }
};

} // namespace

QString qtNameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + u')';
}

std::optional<QString> QtEditorDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(open_, request);
}

std::optional<QString> QtEditorDialogs::saveFile(const FileDialogRequest& request) {
    return runFileDialog(save_, request);
}

std::optional<QColor> QtEditorDialogs::chooseColor(const QColor& initial) {
    QColorDialog* dialog = colour_;
    dialog->setCurrentColor(initial);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->selectedColor();
}

std::optional<QString> QtEditorDialogs::chooseFolder(const QString& title,
                                                     const QString& directory) {
    NewFolderDialog dialog(&window_, title, directory.isEmpty() ? QDir::currentPath() : directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void QtEditorDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    &window_);
    box.exec();
}

void QtEditorDialogs::warning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                    QMessageBox::Ignore, &window_);
    box.exec();
}

void QtEditorDialogs::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    &window_);
    box.exec();
}

} // namespace brev
