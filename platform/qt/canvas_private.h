#pragma once
// The state behind platform::Canvas and the per-operation drawing surface over its bitmap.

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/font.h"
#include "platform/qt/bitmap_private.h"

namespace platform {

struct CanvasState
{
    Pen pen;
    Brush brush;
    Font font;
    TColor textColor = clBlack;
    TColor bkColor = clWhite;
    int bkMode = OPAQUE;
    unsigned textAlign = TA_LEFT | TA_TOP;
    Point pos;
    int charExtra = 0;
    int justExtra = 0;
    int justCount = 0;
    int justBreaksDone = 0; // break characters already given their share since SetTextJustification
    int stretchMode = BLACKONWHITE;
    std::uint32_t copyMode = SRCCOPY;
    Point org;
    bool hasClip = false;
    QRegion clip;       // logical coordinates
    int patternPos = 0; // position in the dash pattern of 1-px styled lines
};

struct PageTarget;

struct Canvas::Impl
{
    Bitmap* bitmap = nullptr;
    Bitmap::Impl* target = nullptr;
    PageTarget* page = nullptr; // a vector page instead of a bitmap (pagecanvas_private.h); not owned
    CanvasState s;
    std::vector<CanvasState> saved;

    // The target's area in device coordinates, clipped: where drawing may touch.
    QRegion DeviceClip() const;
    // Justification share of the next break character, then counts it (consume) or not.
    int JustShare(int breakIndex) const;
};

// A rectangle with every edge limited to +-2^28, so that widths and heights never overflow; far
// beyond any bitmap, so nothing visible changes.
inline Rect ClampedRect(const Rect& r)
{
    constexpr int kFar = 1 << 28;
    return Rect{std::clamp(r.Left, -kFar, kFar), std::clamp(r.Top, -kFar, kFar),
                std::clamp(r.Right, -kFar, kFar), std::clamp(r.Bottom, -kFar, kFar)};
}

// A drawing surface over the canvas's bitmap for one operation. 24 and 32-bit bitmaps are drawn on
// directly; palette bitmaps through a 32-bit copy written back (nearest palette entry) when done.
class Surface
{
public:
    explicit Surface(Canvas::Impl& canvas);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool Active() const { return image_ != nullptr && !clip_.isEmpty(); }
    QImage& Image() { return *image_; }
    // Where drawing may touch, in device coordinates.
    const QRegion& Clip() const { return clip_; }
    int OrgX() const { return org_.X; }
    int OrgY() const { return org_.Y; }
    // A painter translated to logical coordinates and clipped, made on first use.
    QPainter& Painter();
    // Sets one pixel at device coordinates (inside the clip only).
    void Plot(int x, int y, QRgb colour);
    QRgb Get(int x, int y) const;
    // Sets one pixel the caller already knows to lie inside the clip.
    void Put(int x, int y, QRgb colour)
    {
        uchar* row = image_->scanLine(y);
        if (image_->format() == QImage::Format_BGR888) {
            row[x * 3] = uchar(qBlue(colour));
            row[x * 3 + 1] = uchar(qGreen(colour));
            row[x * 3 + 2] = uchar(qRed(colour));
        } else {
            reinterpret_cast<QRgb*>(row)[x] = colour | 0xFF000000u;
        }
    }
    // Fills a device rectangle (clipped).
    void FillDevice(const QRect& r, QRgb colour);

private:
    Canvas::Impl& canvas_;
    QImage* image_ = nullptr;
    QImage temp_;
    bool writeBack_ = false;
    QRegion clip_;
    Point org_;
    std::optional<QPainter> painter_;
};

} // namespace platform
