// Copies between bitmaps: raster operations, the monochrome <-> colour rules, nearest-neighbour stretching
// and masked drawing, as our own pixel loops (QPainter has no equivalent of these rules).

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/canvas.h"
#include "platform/qt/bitmap_private.h"
#include "platform/qt/canvas_private.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/pagecanvas_private.h"

namespace platform {

namespace {

// The source pixels of one copy, with the colour a 1-bit source's bits stand for already resolved.
struct Source
{
    const Bitmap::Impl* bits = nullptr;
    Bitmap::Impl copy; // used when source and destination are the same bitmap
    bool mono = false;
    QRgb zero = 0, one = 0; // a 1-bit source: colours of its 0 and 1 bits on the destination
    QRgb bkForMono = 0;     // a colour source on a 1-bit destination: this colour becomes white
    bool toMono = false;

    QRgb At(int x, int y) const
    {
        if (mono)
            return bits->IndexAt(x, y) ? one : zero;
        const QRgb c = ToQRgb(bits->PixelAt(x, y));
        if (toMono)
            return (c & 0xFFFFFF) == (bkForMono & 0xFFFFFF) ? 0xFFFFFFFFu : 0xFF000000u;
        return c;
    }
};

// A source coordinate limited to just beyond the copy's range check (far values are refused there).
int Far(long long v)
{
    return int(std::clamp(v, -(1LL << 29), 1LL << 29));
}

// The device box (x, y, w, h) limited to +-2^28 so that no edge overflows.
QRect DeviceBox(long long x, long long y, long long w, long long h)
{
    constexpr long long kFar = 1LL << 28;
    const long long l = std::clamp(x, -kFar, kFar), t = std::clamp(y, -kFar, kFar);
    const long long r = std::clamp(x + w, -kFar, kFar), b = std::clamp(y + h, -kFar, kFar);
    if (r <= l || b <= t)
        return QRect();
    return QRect(int(l), int(t), int(r - l), int(b - t));
}

QRgb ApplyRop(std::uint32_t rop, QRgb s, QRgb d)
{
    switch (rop) {
    case SRCCOPY:
        return s;
    case SRCAND:
        return s & d;
    case SRCPAINT:
        return s | d;
    case SRCINVERT:
        return s ^ d;
    case SRCERASE:
        return s & ~d;
    case NOTSRCCOPY:
        return ~s;
    case NOTSRCERASE:
        return ~(s | d);
    case DSTINVERT:
        return ~d;
    case BLACKNESS:
        return 0;
    case WHITENESS:
        return 0xFFFFFF;
    default:
        return s;
    }
}

void PrepareSource(Source& src, const Canvas::Impl& dst, const Bitmap::Impl& bits, TColor sourceBk)
{
    src.bits = &bits;
    if (&bits == dst.target) {
        src.copy.format = bits.format;
        src.copy.width = bits.width;
        src.copy.height = bits.height;
        src.copy.image = bits.image.copy();
        src.copy.packed = bits.packed;
        src.copy.palette4 = bits.palette4;
        src.bits = &src.copy;
    }
    const bool dstMono = dst.target && dst.target->format == PixelFormat::pf1bit;
    src.mono = bits.format == PixelFormat::pf1bit && !dstMono;
    if (src.mono) {
        src.zero = ToQRgb(dst.s.textColor == clNone ? clBlack : dst.s.textColor);
        src.one = ToQRgb(dst.s.bkColor == clNone ? clWhite : dst.s.bkColor);
    }
    src.toMono = dstMono && bits.format != PixelFormat::pf1bit;
    src.bkForMono = ToQRgb(sourceBk == clNone ? clWhite : sourceBk);
}

// Copies (stretching by nearest neighbour) src [sx, sx + sw) x [sy, sy + sh) (device coordinates of the
// source) to the destination's logical box (x, y, w, h). mask: optional 1-bit mask in the source's
// coordinates; where its bit is 1 the destination stays.
void Transfer(Canvas::Impl& dst, long long x, long long y, int w, int h, const Source& src, int sx, int sy,
              int sw, int sh, std::uint32_t rop, const Bitmap::Impl* mask)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0)
        return;
    bool mirrorX = false, mirrorY = false;
    // Negative extents mirror (as in GDI); sizes beyond any bitmap are refused rather than overflowed.
    constexpr int kFar = 1 << 28;
    if (std::abs((long long)w) > kFar || std::abs((long long)h) > kFar || std::abs((long long)sw) > kFar ||
        std::abs((long long)sh) > kFar || std::abs((long long)sx) > kFar || std::abs((long long)sy) > kFar)
        return;
    if (w < 0)
        x += w, w = -w, mirrorX = !mirrorX;
    if (h < 0)
        y += h, h = -h, mirrorY = !mirrorY;
    if (sw < 0)
        sx += sw, sw = -sw, mirrorX = !mirrorX;
    if (sh < 0)
        sy += sh, sh = -sh, mirrorY = !mirrorY;
    Surface s(dst);
    if (!s.Active())
        return;
    const long long dx0 = x - s.OrgX(), dy0 = y - s.OrgY();
    const QRect area = DeviceBox(dx0, dy0, w, h).intersected(s.Clip().boundingRect());
    if (area.isEmpty())
        return;
    const int srcW = src.bits->width, srcH = src.bits->height;
    const bool plainCopy = rop == SRCCOPY && !mask && !src.mono && !src.toMono && sw == w && sh == h &&
                           !mirrorX && !mirrorY && src.bits->format == PixelFormat::pf32bit &&
                           s.Image().format() == QImage::Format_RGB32;
    for (const QRect& c : s.Clip()) {
        const QRect r = c.intersected(area);
        if (r.isEmpty())
            continue;
        for (int dy = r.top(); dy <= r.bottom(); ++dy) {
            const long long j = dy - dy0;
            long long srow = (j * sh) / h;
            if (mirrorY)
                srow = sh - 1 - srow;
            const long long py = sy + srow;
            if (py < 0 || py >= srcH)
                continue;
            if (plainCopy) {
                // Same size, same format: whole row pieces at once.
                int from = r.left();
                int to = r.right();
                const long long px0 = sx + (from - dx0);
                if (px0 < 0)
                    from += int(-px0);
                const long long pxEnd = sx + (to - dx0);
                if (pxEnd >= srcW)
                    to -= int(pxEnd - srcW + 1);
                if (to < from)
                    continue;
                const QRgb* in =
                    reinterpret_cast<const QRgb*>(src.bits->image.constScanLine(int(py))) + (sx + from - dx0);
                QRgb* out = reinterpret_cast<QRgb*>(s.Image().scanLine(dy)) + from;
                std::copy(in, in + (to - from + 1), out);
                continue;
            }
            for (int dx = r.left(); dx <= r.right(); ++dx) {
                const long long i = dx - dx0;
                long long scol = (i * sw) / w;
                if (mirrorX)
                    scol = sw - 1 - scol;
                const long long px = sx + scol;
                if (px < 0 || px >= srcW)
                    continue;
                if (mask) {
                    if (px >= mask->width || py >= mask->height)
                        continue;
                    const bool transparent = mask->format == PixelFormat::pf1bit
                                                 ? mask->IndexAt(int(px), int(py)) != 0
                                                 : (mask->PixelAt(int(px), int(py)) & 0xFFFFFF) == 0xFFFFFF;
                    if (transparent)
                        continue;
                }
                const QRgb sp = src.At(int(px), int(py));
                const QRgb result = rop == SRCCOPY ? sp : ApplyRop(rop, sp, s.Get(dx, dy));
                s.Put(dx, dy, result | 0xFF000000u);
            }
        }
    }
}

TColor OwnBkColor(const Bitmap& bitmap)
{
    const Bitmap::Impl& d = bitmap.Data();
    return d.canvas ? d.canvas->GetBkColor() : clWhite;
}

} // namespace

void Canvas::BitBlt(int x, int y, int w, int h, const Canvas& source, int sx, int sy, std::uint32_t rop)
{
    if (d->page) {
        if (source.d->target)
            PageImage(*d, Bounds(x, y, w, h), *source.d->target,
                      Bounds(sx - source.d->s.org.X, sy - source.d->s.org.Y, w, h), rop, nullptr);
        return;
    }
    if (!d->target)
        return;
    if (!source.d->target) {
        // A measuring canvas has no pixels; only the operations that ignore the source do anything.
        if (rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS)
            return;
        Bitmap dummy(1, 1, PixelFormat::pf32bit);
        BitBlt(x, y, w, h, dummy, 0, 0, rop);
        return;
    }
    Source src;
    PrepareSource(src, *d, *source.d->target, source.d->s.bkColor);
    Transfer(*d, x, y, w, h, src, Far((long long)sx - source.d->s.org.X),
             Far((long long)sy - source.d->s.org.Y), w, h, rop, nullptr);
}

void Canvas::BitBlt(int x, int y, int w, int h, const Bitmap& source, int sx, int sy, std::uint32_t rop)
{
    if (d->page) {
        if (!source.Empty())
            PageImage(*d, Bounds(x, y, w, h), source.Data(), Bounds(sx, sy, w, h), rop, nullptr);
        return;
    }
    if (!d->target || source.Empty())
        return;
    Source src;
    PrepareSource(src, *d, source.Data(), OwnBkColor(source));
    if (rop == DSTINVERT || rop == BLACKNESS || rop == WHITENESS) {
        // The source does not matter: cover the whole box.
        Surface s(*d);
        if (!s.Active())
            return;
        const QRect area = DeviceBox((long long)x - s.OrgX(), (long long)y - s.OrgY(), w, h);
        for (const QRect& c : s.Clip()) {
            const QRect r = c.intersected(area);
            for (int dy = r.top(); dy <= r.bottom(); ++dy)
                for (int dx = r.left(); dx <= r.right(); ++dx)
                    s.Put(dx, dy, ApplyRop(rop, 0, s.Get(dx, dy)) | 0xFF000000u);
        }
        return;
    }
    Transfer(*d, x, y, w, h, src, sx, sy, w, h, rop, nullptr);
}

void Canvas::StretchBlt(int x, int y, int w, int h, const Canvas& source, int sx, int sy, int sw, int sh,
                        std::uint32_t rop)
{
    if (d->page) {
        if (source.d->target)
            PageImage(*d, Bounds(x, y, w, h), *source.d->target,
                      Bounds(sx - source.d->s.org.X, sy - source.d->s.org.Y, sw, sh), rop, nullptr);
        return;
    }
    if (!d->target || !source.d->target)
        return;
    Source src;
    PrepareSource(src, *d, *source.d->target, source.d->s.bkColor);
    Transfer(*d, x, y, w, h, src, Far((long long)sx - source.d->s.org.X),
             Far((long long)sy - source.d->s.org.Y), sw, sh, rop, nullptr);
}

void Canvas::StretchBlt(int x, int y, int w, int h, const Bitmap& source, int sx, int sy, int sw, int sh,
                        std::uint32_t rop)
{
    if (d->page) {
        if (!source.Empty())
            PageImage(*d, Bounds(x, y, w, h), source.Data(), Bounds(sx, sy, sw, sh), rop, nullptr);
        return;
    }
    if (!d->target || source.Empty())
        return;
    Source src;
    PrepareSource(src, *d, source.Data(), OwnBkColor(source));
    Transfer(*d, x, y, w, h, src, sx, sy, sw, sh, rop, nullptr);
}

void Canvas::Draw(int x, int y, const Bitmap& picture)
{
    if (picture.Empty())
        return;
    if (picture.Transparent()) {
        const Bitmap mask = picture.Mask(picture.TransparentColor());
        MaskedDraw(Bounds(x, y, picture.Width(), picture.Height()), picture, mask,
                   Bounds(0, 0, picture.Width(), picture.Height()));
        return;
    }
    BitBlt(x, y, picture.Width(), picture.Height(), picture, 0, 0, d->s.copyMode);
}

void Canvas::StretchDraw(const Rect& r, const Bitmap& picture)
{
    if (picture.Empty())
        return;
    if (picture.Transparent()) {
        const Bitmap mask = picture.Mask(picture.TransparentColor());
        MaskedDraw(r, picture, mask, Bounds(0, 0, picture.Width(), picture.Height()));
        return;
    }
    const Rect to = ClampedRect(r);
    StretchBlt(to.Left, to.Top, to.Width(), to.Height(), picture, 0, 0, picture.Width(), picture.Height(),
               d->s.copyMode);
}

void Canvas::MaskedDraw(const Rect& dest, const Bitmap& picture, const Bitmap& mask, const Rect& source)
{
    if (d->page) {
        if (!picture.Empty())
            PageImage(*d, ClampedRect(dest), picture.Data(), ClampedRect(source), SRCCOPY,
                      mask.Empty() ? nullptr : &mask.Data());
        return;
    }
    if (!d->target || picture.Empty())
        return;
    Source src;
    PrepareSource(src, *d, picture.Data(), OwnBkColor(picture));
    const Bitmap::Impl* m = mask.Empty() ? nullptr : &mask.Data();
    const Rect to = ClampedRect(dest), from = ClampedRect(source);
    Transfer(*d, to.Left, to.Top, to.Width(), to.Height(), src, from.Left, from.Top, from.Width(),
             from.Height(), SRCCOPY, m);
}

} // namespace platform
