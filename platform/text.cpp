// Text output and measurement on the canvas. Every width comes from the font's integer advance table plus
// the character extra and the justification in force, and glyphs are placed at exactly those positions.

#include <QGlyphRun>
#include <QPainter>
#include <QPointF>
#include <QVector>

#include <algorithm>
#include <vector>

#include "platform/canvas.h"
#include "platform/qt/canvas_private.h"
#include "platform/qt/font_private.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/pagecanvas_private.h"

namespace platform {

namespace {

// Scratch buffers reused by every call (one UI thread; thread_local keeps other threads apart).
struct Scratch
{
    std::vector<const GlyphEntry*> entries;
    std::vector<int> advances;
    QVector<quint32> glyphs[2];
    QVector<QPointF> positions[2];
};

Scratch& TheScratch()
{
    thread_local Scratch scratch;
    return scratch;
}

constexpr char16_t kBreakChar = u' ';

// Advances of text with character extra and justification (break characters numbered from
// firstBreak); dx, when given, replaces them. Returns the total.
int ComputeAdvances(const Canvas::Impl& c, const char16_t* text, int n, const int* dx, int firstBreak,
                    std::vector<const GlyphEntry*>& entries, std::vector<int>& adv, int* breaks)
{
    if (int(entries.size()) < n)
        entries.resize(n);
    if (int(adv.size()) < n)
        adv.resize(n);
    c.s.font.Realised().Entries(text, n, entries.data());
    int total = 0;
    int b = 0;
    const bool justify = c.s.justCount > 0 && c.s.justExtra != 0;
    for (int i = 0; i < n; ++i) {
        int a;
        if (dx) {
            a = dx[i];
        } else {
            a = entries[i]->advance;
            // The low half of a surrogate pair is part of the character before it.
            const bool lowHalf = entries[i]->face == FaceNone && entries[i]->advance == 0 && i > 0 &&
                                 text[i] >= 0xDC00 && text[i] < 0xE000 && text[i - 1] >= 0xD800 &&
                                 text[i - 1] < 0xDC00;
            if (!lowHalf)
                a += c.s.charExtra;
            if (justify && text[i] == kBreakChar)
                a += c.JustShare(firstBreak + b++);
        }
        adv[i] = a;
        total += a;
    }
    if (breaks)
        *breaks = b;
    return total;
}

// Draws one run with its reference point already resolved to the start of the baseline.
void PaintRunOn(QPainter& p, Canvas::Impl& c, int startX, int baseline, int n, unsigned options, const Rect* rect,
                int extent)
{
    const Font::Data& f = c.s.font.Realised();
    const TextMetrics& tm = f.tm;
    Scratch& scratch = TheScratch();
    if (rect) {
        const Rect box = ClampedRect(*rect);
        const QRect q = box.IsEmpty() ? QRect() : QRect(box.Left, box.Top, box.Width(), box.Height());
        if (options & ETO_CLIPPED)
            p.setClipRect(q, Qt::IntersectClip);
        if ((options & ETO_OPAQUE) && c.s.bkColor != clNone && !q.isEmpty())
            p.fillRect(q, QColor(ToQRgb(c.s.bkColor)));
    }
    if (c.s.bkMode == OPAQUE && c.s.bkColor != clNone && extent > 0)
        p.fillRect(QRect(startX, baseline - tm.tmAscent, extent, tm.tmHeight), QColor(ToQRgb(c.s.bkColor)));
    if (c.s.textColor == clNone)
        return;
    const QColor colour(ToQRgb(c.s.textColor));

    for (auto& g : scratch.glyphs)
        g.clear();
    for (auto& q : scratch.positions)
        q.clear();
    int x = startX;
    for (int i = 0; i < n; ++i) {
        const GlyphEntry* e = scratch.entries[i];
        if (e->face != FaceNone) {
            scratch.glyphs[e->face].push_back(e->glyph);
            scratch.positions[e->face].push_back(QPointF(x, baseline));
        }
        x += scratch.advances[i];
    }
    p.setPen(colour);
    for (int face = 0; face < 2; ++face) {
        if (scratch.glyphs[face].isEmpty())
            continue;
        QGlyphRun run;
        run.setRawFont(face == FaceMain ? f.raw : f.fallback);
        run.setGlyphIndexes(scratch.glyphs[face]);
        run.setPositions(scratch.positions[face]);
        p.drawGlyphRun(QPointF(0, 0), run);
    }
    if (extent > 0 && f.desc.Underline)
        p.fillRect(QRect(startX, baseline + f.underlinePos, extent, f.underlineSize), colour);
    if (extent > 0 && f.desc.StrikeOut)
        p.fillRect(QRect(startX, baseline - f.strikeOutPos, extent, f.strikeOutSize), colour);
}

void PaintRun(Canvas::Impl& c, int startX, int baseline, int n, unsigned options, const Rect* rect, int extent)
{
    if (c.page) {
        // Text outside the visible area is not sent: a PDF keeps text that a clip hides, and readers
        // would find it when the text is searched or copied.
        const TextMetrics& tm = c.s.font.Metrics();
        const QRect box(startX, baseline - tm.tmAscent, std::max(extent, 1), std::max(tm.tmHeight, 1));
        if (!PageVisible(c, box))
            return;
        QPainter& p = PagePainter(c);
        if (!(rect && (options & ETO_CLIPPED))) {
            PaintRunOn(p, c, startX, baseline, n, options, rect, extent);
            return;
        }
        p.save();
        PaintRunOn(p, c, startX, baseline, n, options, rect, extent);
        p.restore();
        return;
    }
    Surface s(c);
    if (s.Active())
        PaintRunOn(s.Painter(), c, startX, baseline, n, options, rect, extent);
}

// TextOutW / ExtTextOutW: alignment, current position and justification bookkeeping.
void OutputText(Canvas::Impl& c, int x, int y, unsigned options, const Rect* rect, const char16_t* text,
                int n, const int* dx)
{
    if (n < 0 || (!text && n > 0))
        n = 0;
    Scratch& scratch = TheScratch();
    int breaks = 0;
    const int extent =
        ComputeAdvances(c, text, n, dx, c.s.justBreaksDone, scratch.entries, scratch.advances, &breaks);
    const unsigned align = c.s.textAlign;
    if (align & TA_UPDATECP) {
        x = c.s.pos.X;
        y = c.s.pos.Y;
    }
    const TextMetrics& tm = c.s.font.Metrics();
    int startX = x;
    const unsigned horizontal = align & TA_CENTER;
    if (horizontal == TA_CENTER)
        startX = x - extent / 2;
    else if (horizontal == TA_RIGHT)
        startX = x - extent;
    int baseline = y + tm.tmAscent;
    if ((align & TA_BASELINE) == TA_BASELINE)
        baseline = y;
    else if (align & TA_BOTTOM)
        baseline = y - tm.tmDescent;

    if (c.target || c.page)
        PaintRun(c, startX, baseline, n, options, rect, extent);

    if (!dx)
        c.s.justBreaksDone += breaks;
    if (align & TA_UPDATECP) {
        if (horizontal == TA_RIGHT)
            c.s.pos.X = x - extent;
        else if (horizontal != TA_CENTER)
            c.s.pos.X = x + extent;
    }
}

} // namespace

void Canvas::TextOutW(int x, int y, const char16_t* text, int n)
{
    OutputText(*d, x, y, 0, nullptr, text, n, nullptr);
}

void Canvas::ExtTextOutW(int x, int y, unsigned options, const Rect* rect, const char16_t* text, int n,
                         const int* dx)
{
    OutputText(*d, x, y, options, rect, text, n, dx);
}

Size Canvas::GetTextExtentPoint32W(const char16_t* text, int n) const
{
    if (!text || n <= 0)
        return Size{0, d->s.font.Metrics().tmHeight};
    Scratch& scratch = TheScratch();
    const int w = ComputeAdvances(*d, text, n, nullptr, d->s.justBreaksDone, scratch.entries,
                                  scratch.advances, nullptr);
    return Size{w, d->s.font.Metrics().tmHeight};
}

Size Canvas::GetTextExtentExPointW(const char16_t* text, int n, int maxExtent, int* fit, int* dx) const
{
    if (fit)
        *fit = 0;
    if (!text || n <= 0 || (fit && maxExtent <= 0))
        return Size{0, 0};
    const int height = d->s.font.Metrics().tmHeight;
    if (fit && !dx) {
        // Only the fit is wanted: measure until the text no longer fits.
        const Font::Data& f = d->s.font.Realised();
        f.TrimSupplementary();
        const bool justify = d->s.justCount > 0 && d->s.justExtra != 0;
        int breaks = d->s.justBreaksDone;
        int sum = 0;
        for (int i = 0; i < n; ++i) {
            const char16_t ch = text[i];
            int a;
            int units = 1;
            if (ch >= 0xD800 && ch < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
                const std::uint32_t cp =
                    0x10000 + ((std::uint32_t(ch) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                a = f.SupplementaryEntry(cp).advance;
                units = 2;
            } else {
                a = f.Entry(ch).advance;
            }
            a += d->s.charExtra;
            if (justify && ch == kBreakChar)
                a += d->JustShare(breaks++);
            if (sum + a > maxExtent) {
                *fit = i;
                return Size{sum, height};
            }
            sum += a;
            i += units - 1;
        }
        *fit = n;
        return Size{sum, height};
    }
    Scratch& scratch = TheScratch();
    const int total = ComputeAdvances(*d, text, n, nullptr, d->s.justBreaksDone, scratch.entries,
                                      scratch.advances, nullptr);
    int sum = 0;
    int fitted = n;
    int fittedWidth = total;
    bool stopped = false;
    for (int i = 0; i < n; ++i) {
        sum += scratch.advances[i];
        if (dx)
            dx[i] = sum;
        if (fit && !stopped && sum > maxExtent) {
            fitted = i;
            fittedWidth = sum - scratch.advances[i];
            stopped = true;
        }
    }
    if (!fit)
        return Size{total, height};
    *fit = fitted;
    return Size{fittedWidth, height};
}

int Canvas::DrawTextW(const char16_t* text, int n, Rect& r, unsigned format)
{
    if (!text || n < 0)
        n = 0;
    const TextMetrics& tm = d->s.font.Metrics();
    const int lineHeight = tm.tmHeight;
    const bool wordBreak = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const int width = r.Width();

    // The text with '&' prefixes resolved ("&&" is one '&').
    std::u16string clean;
    clean.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        if (!(format & DT_NOPREFIX) && text[i] == u'&') {
            if (i + 1 < n && text[i + 1] == u'&') {
                clean.push_back(u'&');
                ++i;
            }
            continue;
        }
        clean.push_back(text[i]);
    }

    struct Line
    {
        int start;
        int length;
        int width;
    };
    std::vector<Line> lines;
    auto widthOf = [&](int start, int length) {
        return length > 0 ? GetTextExtentPoint32W(clean.data() + start, length).cx : 0;
    };
    const int total = int(clean.size());
    int pos = 0;
    while (pos <= total) {
        int end = pos;
        if (format & DT_SINGLELINE) {
            end = total;
        } else {
            while (end < total && clean[end] != u'\r' && clean[end] != u'\n')
                ++end;
        }
        // One hard line [pos, end), broken at blanks when asked.
        int lineStart = pos;
        while (true) {
            if (!wordBreak || widthOf(lineStart, end - lineStart) <= width) {
                lines.push_back({lineStart, end - lineStart, widthOf(lineStart, end - lineStart)});
                break;
            }
            // The longest prefix ending before a blank that fits; a first word longer than the width
            // stays whole.
            int breakAt = -1;
            for (int i = lineStart + 1; i < end; ++i) {
                if (clean[i] == u' ' && clean[i - 1] != u' ') {
                    if (widthOf(lineStart, i - lineStart) <= width)
                        breakAt = i;
                    else
                        break;
                }
            }
            if (breakAt < 0) {
                int i = lineStart + 1;
                while (i < end && !(clean[i] == u' ' && clean[i - 1] != u' '))
                    ++i;
                breakAt = i;
            }
            lines.push_back({lineStart, breakAt - lineStart, widthOf(lineStart, breakAt - lineStart)});
            lineStart = breakAt;
            while (lineStart < end && clean[lineStart] == u' ')
                ++lineStart;
            if (lineStart >= end)
                break;
        }
        if (end >= total)
            break;
        pos = end + ((clean[end] == u'\r' && end + 1 < total && clean[end + 1] == u'\n') ? 2 : 1);
        if (pos > total)
            break;
    }

    const int textHeight = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int maxWidth = 0;
        for (const Line& l : lines)
            maxWidth = std::max(maxWidth, l.width);
        r.Right = r.Left + maxWidth;
        r.Bottom = r.Top + textHeight;
        return textHeight;
    }
    if (!d->target && !d->page)
        return textHeight;

    int y = r.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r.Top + (r.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }
    const unsigned savedAlign = std::exchange(d->s.textAlign, TA_LEFT | TA_TOP);
    const bool clip = !(format & DT_NOCLIP);
    for (const Line& l : lines) {
        int x = r.Left;
        if (format & DT_CENTER)
            x = r.Left + (width - l.width) / 2;
        else if (format & DT_RIGHT)
            x = r.Right - l.width;
        OutputText(*d, x, y, clip ? ETO_CLIPPED : 0, clip ? &r : nullptr, clean.data() + l.start, l.length,
                   nullptr);
        y += lineHeight;
    }
    d->s.textAlign = savedAlign;
    return textHeight;
}

} // namespace platform
