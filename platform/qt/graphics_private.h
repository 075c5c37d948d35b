#pragma once
// Qt views of the graphics objects, for the platform's own widgets.

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QRgb>

#include "platform/bitmap.h"
#include "platform/font.h"
#include "platform/region.h"
#include "platform/types.h"

namespace platform {

// The image behind a 1, 8, 24 or 32-bit bitmap (shares its pixels; do not resize it). A 4-bit bitmap
// answers a converted 8-bit copy that is refreshed on every call.
QImage& QImageOf(Bitmap& bitmap);
// The pixels as an image that QPainter can draw (RGB32 or indexed); a copy when conversion is needed.
QImage ToDrawableImage(const Bitmap& bitmap);
// Makes a bitmap from any image (palette images keep their palette when 1 or 8 bits).
Bitmap BitmapFromQImage(const QImage& image);

QFont QFontOf(const Font& font);
const QRegion& QRegionOf(const Region& region);
Region RegionFromQRegion(const QRegion& region);

// COLORREF (0x00BBGGRR, system colours resolved) to an opaque QRgb and back.
QRgb ToQRgb(TColor colour);
TColor FromQRgb(QRgb rgb);

} // namespace platform
