#include "editor/ui/qt_clipboard.h"

#include "editor/ui/wave_mime.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

namespace brev {

bool QtClipboard::hasWave() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (hasWaveData(*mime) || !audioFileOf(*mime).isEmpty());
}

std::vector<std::uint8_t> QtClipboard::waveBytes() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    QByteArray bytes = waveDataOf(*mime);
    if (bytes.isEmpty()) {
        const QString path = audioFileOf(*mime);
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtClipboard::setWaveBytes(std::vector<std::uint8_t> bytes) {
    auto* mime = new QMimeData;
    mime->setData(kWaveMimeType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace brev
