// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/wave_dialogs.h"

#include "audio/audio_import.h"

#include <QFileInfo>

namespace brev {

namespace {

const QString kLoadDirectory = QStringLiteral("Load directory");

} // namespace

// Every format the loader or the decoder opens.
FileDialogRequest openWaveDialog(const EditorSettings& settings) {
    QString patterns;
    for (std::string_view extension : audioFileExtensions())
        patterns += (patterns.isEmpty() ? "*." : " *.") + QString::fromLatin1(extension);
    return {QStringLiteral("wav"), QStringLiteral("Audio|") + patterns,
            settings.readString(kLoadDirectory, QString())};
}

FileDialogRequest saveWaveDialog(const EditorSettings& settings, const QString& loopFile) {
    FileDialogRequest request{QStringLiteral("wav"), QStringLiteral("WAV or FLAC|*.wav *.flac"),
                              settings.readString(kLoadDirectory, QString())};
    // "break.mp3" suggests "break.wav": another name would get WAV data all the same.
    if (!loopFile.isEmpty()) {
        const QFileInfo loop(loopFile);
        const bool flac = loop.suffix().compare(u"flac", Qt::CaseInsensitive) == 0;
        request.suggestedName =
            loop.completeBaseName() + (flac ? QStringLiteral(".flac") : QStringLiteral(".wav"));
    }
    return request;
}

void rememberWaveFolder(EditorSettings& settings, const QString& path) {
    settings.writeString(kLoadDirectory, QFileInfo(path).absolutePath() + u'/');
}

} // namespace brev
