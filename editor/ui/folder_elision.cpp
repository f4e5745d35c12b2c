// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/folder_elision.h"

namespace brev {

namespace {

// kept characters of the folder, half from its start and half from its end, around an
// ellipsis, then the rest of the text.
QString keepingOfFolder(const QString& folder, const QString& rest, qsizetype kept) {
    const qsizetype head = (kept + 1) / 2;
    return folder.left(head) + QChar(0x2026) + folder.right(kept - head) + rest;
}

} // namespace

QString elideFolder(const QString& text, int width, const TextWidth& widthOf) {
    if (widthOf(text) <= width)
        return text;
    const qsizetype slash = text.lastIndexOf(u'/');
    if (slash <= 0)
        return {};
    const QString folder = text.left(slash);
    const QString rest = text.mid(slash);
    if (widthOf(keepingOfFolder(folder, rest, 0)) > width)
        return {};
    // The most characters of the folder that still fit.
    qsizetype fits = 0;
    qsizetype tooMany = folder.size();
    while (tooMany - fits > 1) {
        const qsizetype middle = (fits + tooMany) / 2;
        if (widthOf(keepingOfFolder(folder, rest, middle)) <= width)
            fits = middle;
        else
            tooMany = middle;
    }
    return keepingOfFolder(folder, rest, fits);
}

} // namespace brev
