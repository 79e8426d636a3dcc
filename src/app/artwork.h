#pragma once
// Pictures the program paints for itself: the banner, the splash picture, the
// poet panel's picture and the toolbar icons. Painting them keeps the program
// free of binary assets and sharp at any size.
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace Artwork {
QPixmap banner(const QSize& size);
QPixmap splash(const QSize& size);
QPixmap poetPicture(const QSize& size);
// A rounded tile with one character on it.
QIcon toolIcon(const QString& glyph, const QColor& colour);
} // namespace Artwork
