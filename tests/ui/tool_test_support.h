#pragma once

#include "editor/ui/desktop_viewer.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/interface_form.h"
#include "output/tds.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace brev::test {

// Dialogs answered from a queue; every request and message is kept for the test to read.
class AnsweringDialogs final : public EditorDialogs {
public:
    QStringList answers; // one per file dialog, front first; none left: cancelled
    QList<FileDialogRequest> requests;
    QStringList messages; // messages, warnings and errors alike, in order

    std::optional<QString> openFile(const FileDialogRequest& request) override {
        return answer(request);
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override {
        return answer(request);
    }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    void message(const QString& text) override { messages << text; }
    void warning(const QString& text) override { messages << text; }
    void error(const QString& text) override { messages << text; }

private:
    std::optional<QString> answer(const FileDialogRequest& request) {
        requests << request;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
};

class RecordingViewer final : public DesktopViewer {
public:
    QStringList opened;
    void openFile(const QString& path) override { opened << path; }
};

// A started editor window on the silent output, with its settings in a folder of its own.
struct StartedEditor {
    QTemporaryDir folder;
    AnsweringDialogs dialogs;
    std::unique_ptr<TInterfaceForm> form;

    StartedEditor() {
        form = std::make_unique<TInterfaceForm>();
        EditorOptions options;
        options.makeEngine = [](int index) {
            OutputOptions output;
            output.nullOutput = true;
            return std::make_unique<TDS>(index, output);
        };
        options.dialogs = &dialogs;
        options.settingsFile = folder.filePath(QStringLiteral("settings.ini"));
        form->start(options);
    }
};

} // namespace brev::test
