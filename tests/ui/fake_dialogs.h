// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/editor_dialogs.h"

#include <QStringList>
#include <deque>

namespace brev::test {

// Answers the editor's dialogs from a queue and records its message boxes.
class FakeDialogs : public EditorDialogs {
public:
    std::deque<QString> files; // answers in order; an empty one, or none left, cancels
    std::optional<QColor> colour;
    QList<FileDialogRequest> requests;
    QStringList messages, warnings, errors;

    std::optional<QString> openFile(const FileDialogRequest& request) override {
        return next(request);
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override {
        return next(request);
    }
    std::optional<QColor> chooseColor(const QColor&) override { return colour; }
    std::optional<QString> chooseFolder(const QString&, const QString& directory) override {
        return next({{}, {}, directory});
    }
    void message(const QString& text) override { messages << text; }
    void warning(const QString& text) override { warnings << text; }
    void error(const QString& text) override { errors << text; }

private:
    std::optional<QString> next(const FileDialogRequest& request) {
        requests << request;
        if (files.empty())
            return std::nullopt;
        const QString answer = files.front();
        files.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};

} // namespace brev::test
