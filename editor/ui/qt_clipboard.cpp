// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/qt_clipboard.h"

#include "base/byte_stream.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/wave_mime.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace brev {

namespace {

// The whole file; empty when it cannot be read. A FIFO or a device named like a wave is not
// waited on or read without end.
QByteArray readCopiedFile(const QString& path) {
    FileReader file;
    if (path.isEmpty() || file.open(localPath(path)) != 0)
        return {};
    QByteArray bytes(static_cast<qsizetype>(file.size()), Qt::Uninitialized);
    bytes.resize(static_cast<qsizetype>(file.read(bytes.data(), bytes.size())));
    return bytes;
}

} // namespace

bool QtClipboard::hasWave() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (hasWaveData(*mime) || !audioFileOf(*mime).isEmpty());
}

std::vector<std::uint8_t> QtClipboard::waveBytes() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    QByteArray bytes = waveDataOf(*mime);
    if (bytes.isEmpty())
        bytes = readCopiedFile(audioFileOf(*mime));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtClipboard::setWaveBytes(std::vector<std::uint8_t> bytes) {
    auto* mime = new QMimeData;
    mime->setData(kWaveMimeType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace brev
