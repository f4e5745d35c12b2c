// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/wave_mime.h"

#include "audio/audio_import.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace brev {

namespace {

const QString kWaveTypes[] = {kWaveMimeType, QStringLiteral("audio/x-wav"),
                              QStringLiteral("audio/wave")};

} // namespace

bool hasWaveData(const QMimeData& mime) {
    for (const QString& type : kWaveTypes) {
        if (mime.hasFormat(type))
            return true;
    }
    return false;
}

QByteArray waveDataOf(const QMimeData& mime) {
    for (const QString& type : kWaveTypes) {
        if (mime.hasFormat(type))
            return mime.data(type);
    }
    return {};
}

QString audioFileOf(const QMimeData& mime) {
    if (!mime.hasUrls())
        return {};
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile() &&
            hasAudioFileExtension(QFile::encodeName(url.toLocalFile()).toStdString()))
            return url.toLocalFile();
    }
    return {};
}

} // namespace brev
