// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/local_file_name.h"

#include <QStringView>

namespace brev {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The code point of the valid UTF-8 sequence at the start of bytes and its length, or a length
// of 0 where none starts.
std::pair<char32_t, qsizetype> utf8Sequence(QByteArrayView bytes) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    qsizetype length = 0;
    char32_t code = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, lowest = 0x10000;
    }
    if (length == 0 || length > bytes.size())
        return {0, 0};
    for (qsizetype i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms and encoded surrogates are not UTF-8 either.
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0, 0};
    return {code, length};
}

bool isEscapedByte(QStringView text, qsizetype at) {
    const char16_t unit = text[at].unicode();
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF &&
           (at == 0 || !text[at - 1].isHighSurrogate());
}

} // namespace

QString fileNameText(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const auto lead = static_cast<unsigned char>(bytes.front());
        const auto [code, length] =
            lead < 0x80 ? std::pair<char32_t, qsizetype>{lead, 1} : utf8Sequence(bytes);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(kEscapeBase + lead));
            bytes = bytes.sliced(1);
            continue;
        }
        if (QChar::requiresSurrogates(code))
            text.append(QChar(QChar::highSurrogate(code))).append(QChar(QChar::lowSurrogate(code)));
        else
            text += QChar(static_cast<char16_t>(code));
        bytes = bytes.sliced(length);
    }
    return text;
}

QByteArray fileNameBytes(const QString& text) {
    QByteArray bytes;
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isEscapedByte(text, i))
            continue;
        bytes += QStringView(text).sliced(plainFrom, i - plainFrom).toUtf8();
        bytes += static_cast<char>(text[i].unicode() - kEscapeBase);
        plainFrom = i + 1;
    }
    return bytes + QStringView(text).sliced(plainFrom).toUtf8();
}

std::string localPath(const QString& path) {
    return fileNameBytes(path).toStdString();
}

} // namespace brev
