// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace brev {

// The width of a text as drawn.
using TextWidth = std::function<int(const QString&)>;

// text shortened to fit width: a path's folder (everything before its last '/') loses its
// middle to an ellipsis, so the file name and what follows it ("loop.flac (from FLAC, …)")
// stay whole. Empty when even that does not fit, or when the text names no folder.
QString elideFolder(const QString& text, int width, const TextWidth& widthOf);

} // namespace brev
