#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace brev {

// The look shared by the static-text controls: a filled box with a one-pixel black border and
// the caption centred in it.
void paintBoxedCaption(QPainter& painter, const QRect& rect, const QString& caption,
                       const QColor& background, const QColor& text);

} // namespace brev
