#include "editor/ui/qt_clipboard.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace brev {

namespace {

const QString kWaveType = QStringLiteral("audio/wav");
const QString kReadTypes[] = {kWaveType, QStringLiteral("audio/x-wav"),
                              QStringLiteral("audio/wave")};

// The first local .wav file among the clipboard's URLs; empty when there is none.
QString copiedWaveFile(const QMimeData& mime) {
    if (!mime.hasUrls())
        return {};
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive))
            return url.toLocalFile();
    }
    return {};
}

} // namespace

bool QtClipboard::hasWave() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return false;
    for (const QString& type : kReadTypes) {
        if (mime->hasFormat(type))
            return true;
    }
    return !copiedWaveFile(*mime).isEmpty();
}

std::vector<std::uint8_t> QtClipboard::waveBytes() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    QByteArray bytes;
    for (const QString& type : kReadTypes) {
        if (mime->hasFormat(type)) {
            bytes = mime->data(type);
            break;
        }
    }
    if (bytes.isEmpty()) {
        const QString path = copiedWaveFile(*mime);
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtClipboard::setWaveBytes(std::vector<std::uint8_t> bytes) {
    auto* mime = new QMimeData;
    mime->setData(kWaveType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace brev
