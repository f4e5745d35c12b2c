// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>

namespace brev {

// A file's name is whatever bytes the file system holds, UTF-8 or not (a name from a Latin-1
// system). As text, each byte that is not part of valid UTF-8 becomes a lone surrogate
// U+DC80..U+DCFF, which no valid name yields, so fileNameBytes gives the name back byte for byte.
QString fileNameText(QByteArrayView bytes);
QByteArray fileNameBytes(const QString& text);

// The name to open path by.
std::string localPath(const QString& path);

} // namespace brev
