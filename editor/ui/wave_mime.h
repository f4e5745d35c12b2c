// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

namespace brev {

// The MIME type our wave data travels as; "audio/x-wav" and "audio/wave" are read too.
inline const QString kWaveMimeType = QStringLiteral("audio/wav");

// The wave data of the first of the wave types present; empty when there is none.
QByteArray waveDataOf(const QMimeData& mime);
bool hasWaveData(const QMimeData& mime);
// The first local file among the URLs (text/uri-list) whose name ends like an audio format
// the editor opens; empty when there is none.
QString audioFileOf(const QMimeData& mime);

} // namespace brev
