// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace brev {

// How much a caption advance pixels wide is narrowed to fit available pixels: 1 when it fits.
qreal captionSqueeze(int available, int advance);

// The look shared by the static-text controls: a filled box with a one-pixel black border and
// the caption centred in it, narrowed where it would cross the border.
void paintBoxedCaption(QPainter& painter, const QRect& rect, const QString& caption,
                       const QColor& background, const QColor& text);

} // namespace brev
