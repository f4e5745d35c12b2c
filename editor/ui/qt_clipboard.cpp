#include "editor/ui/qt_clipboard.h"

#include "audio/byte_stream.h"

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

// The whole file; empty when it cannot be read. A FIFO or a device named like a wave is not
// waited on or read without end.
std::vector<std::uint8_t> readCopiedFile(const QString& path) {
    FileReader file;
    if (path.isEmpty() || file.open(QFile::encodeName(path).toStdString()) != 0)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    bytes.resize(file.read(bytes.data(), bytes.size()));
    return bytes;
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
    if (bytes.isEmpty())
        return readCopiedFile(copiedWaveFile(*mime));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtClipboard::setWaveBytes(std::vector<std::uint8_t> bytes) {
    auto* mime = new QMimeData;
    mime->setData(kWaveType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace brev
