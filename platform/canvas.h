#pragma once
// A device context: pen, brush, font, text colours, text alignment, current position, window origin and
// clipping over a bitmap, with GDI's pixel coverage for every primitive. A canvas made without a bitmap
// measures text only (layout outside painting); its drawing calls do nothing.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/font.h"
#include "platform/types.h"

namespace platform {

class Bitmap;
class Region;

enum class PenStyle
{
    Solid,
    Dash,
    Dot,
    DashDot,
    DashDotDot,
    Clear,
    InsideFrame
};
enum class BrushStyle
{
    Solid,
    Clear
};

struct Pen
{
    TColor Color = clBlack;
    int Width = 1;
    PenStyle Style = PenStyle::Solid;
};

struct Brush
{
    TColor Color = clWhite;
    BrushStyle Style = BrushStyle::Solid;
};

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Text alignment flags.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// ExtTextOutW options.
constexpr unsigned ETO_OPAQUE = 2;
constexpr unsigned ETO_CLIPPED = 4;

// DrawTextW formats.
constexpr unsigned DT_TOP = 0;
constexpr unsigned DT_LEFT = 0;
constexpr unsigned DT_CENTER = 1;
constexpr unsigned DT_RIGHT = 2;
constexpr unsigned DT_VCENTER = 4;
constexpr unsigned DT_BOTTOM = 8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

// Raster operations.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Clip answers (GetClipBox).
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class Canvas
{
public:
    Canvas();                        // measuring only: no drawing target
    explicit Canvas(Bitmap& target); // draws on target; the bitmap must outlive the canvas
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool HasTarget() const;
    // The bitmap drawn on, or nullptr for a measuring canvas.
    Bitmap* Target() const;

    // ---- State ----
    const Pen& GetPen() const;
    void SetPen(const Pen& pen);
    void SetPenColor(TColor colour);
    void SetPenWidth(int width);
    void SetPenStyle(PenStyle style);
    const Brush& GetBrush() const;
    void SetBrush(const Brush& brush);
    void SetBrushColor(TColor colour); // also makes the brush solid
    void SetBrushStyle(BrushStyle style);
    const Font& GetFont() const;
    void SetFont(const Font& font);
    const TextMetrics& GetTextMetrics() const;

    TColor SetTextColor(TColor colour); // each setter returns the previous value
    TColor GetTextColor() const;
    TColor SetBkColor(TColor colour);
    TColor GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    unsigned SetTextAlign(unsigned flags);
    unsigned GetTextAlign() const;
    int SetTextCharacterExtra(int extra);
    int GetTextCharacterExtra() const;
    // Spreads extra pixels over the next count break characters (U+0020): each gets extra div count,
    // the first extra mod count one more. The spread carries across text calls until reset with (0, 0).
    void SetTextJustification(int extra, int count);
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const;
    // The raster operation Draw and StretchDraw use (SRCCOPY by default).
    std::uint32_t SetCopyMode(std::uint32_t rop);
    std::uint32_t GetCopyMode() const;

    // Logical (x, y) appears at device (x - org.X, y - org.Y). Returns the previous origin.
    Point SetWindowOrg(int x, int y);
    Point GetWindowOrg() const;
    Point MoveTo(int x, int y); // returns the previous position
    Point GetCurrentPosition() const;

    // ---- Clipping (kept in logical coordinates) ----
    // Replaces the clip by region (nullptr: no clip).
    void SelectClipRgn(const Region* region);
    // mode: RGN_AND intersects with the current clip (no clip = everything), RGN_COPY replaces,
    // RGN_OR / RGN_DIFF / RGN_XOR combine.
    void ExtSelectClipRgn(const Region* region, int mode);
    void IntersectClipRect(const Rect& r);
    void ExcludeClipRect(const Rect& r);
    bool HasClip() const;
    // The clip as a region (meaningful when HasClip()).
    Region GetClipRegion() const;
    // Bounding box of the visible area in logical coordinates; returns NULLREGION when nothing is
    // visible, SIMPLEREGION otherwise. Without clip: the target's area.
    int GetClipBox(Rect& box) const;

    // Saves the whole state; returns the new save depth (1 for the first save).
    int SaveDC();
    // Restores to the state saved at depth level; a negative level counts back from the top (-1: last).
    bool RestoreDC(int level = -1);

    // ---- Shapes ----
    void FillRect(const Rect& r); // brush colour, [l, r) x [t, b); clear brush: nothing
    void FillRect(const Rect& r, TColor colour);
    void FrameRect(const Rect& r); // 1-px frame in the brush colour
    void FrameRect(const Rect& r, TColor colour);
    // Pen outline on l..r-1 x t..b-1, brush inside. InsideFrame pens of width w stay inside the box.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const Rect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(const Point* points, int count); // winding fill with the brush, outline with the pen
    void Polygon(const std::vector<Point>& points) { Polygon(points.data(), int(points.size())); }
    void Polyline(const Point* points, int count);
    void LineTo(int x, int y); // the end point is not drawn
    void FillRegion(const Region& region, TColor colour);
    // Inverts every other pixel of a 1-px frame; drawing it twice restores the picture.
    void DrawFocusRect(const Rect& r);
    TColor GetPixel(int x, int y) const; // clNone outside the target
    void SetPixel(int x, int y, TColor colour);

    // ---- Text (UTF-16) ----
    void TextOutW(int x, int y, const char16_t* text, int n);
    void TextOutW(int x, int y, std::u16string_view text) { TextOutW(x, y, text.data(), int(text.size())); }
    // options: ETO_OPAQUE fills rect with the background colour first, ETO_CLIPPED clips to rect.
    // dx: optional per-character advances replacing the font's.
    void ExtTextOutW(int x, int y, unsigned options, const Rect* rect, const char16_t* text, int n,
                     const int* dx = nullptr);
    // Width includes character extra and the justification in force; height is tmHeight.
    Size GetTextExtentPoint32W(const char16_t* text, int n) const;
    Size GetTextExtentPoint32W(std::u16string_view text) const
    {
        return GetTextExtentPoint32W(text.data(), int(text.size()));
    }
    // fit (optional): how many characters fit in maxExtent (cumulative width <= maxExtent);
    // dx (optional, n entries): cumulative widths. maxExtent <= 0 or n = 0 gives fit 0 and size (0, 0).
    // With fit requested the size is that of the fitting characters.
    Size GetTextExtentExPointW(const char16_t* text, int n, int maxExtent, int* fit, int* dx) const;
    int TextWidth(std::u16string_view text) const { return GetTextExtentPoint32W(text).cx; }
    int TextHeight(std::u16string_view text) const { return GetTextExtentPoint32W(text).cy; }
    // Lines broken at CR LF (and, with DT_WORDBREAK, at blanks); line height tmHeight. DT_CALCRECT sets
    // r's right and bottom to the text's size without drawing. Returns the height of the text.
    int DrawTextW(const char16_t* text, int n, Rect& r, unsigned format);
    int DrawTextW(std::u16string_view text, Rect& r, unsigned format)
    {
        return DrawTextW(text.data(), int(text.size()), r, format);
    }

    // ---- Blits ----
    // Copies w x h from the source canvas's target at (sx, sy) (its window origin applies) with a raster
    // operation. A 1-bit source on a colour target: 0 bits take this canvas's text colour, 1 bits its
    // background colour. A colour source on a 1-bit target: pixels equal to the source canvas's
    // background colour become 1 (white), others 0.
    void BitBlt(int x, int y, int w, int h, const Canvas& source, int sx, int sy, std::uint32_t rop);
    void BitBlt(int x, int y, int w, int h, const Bitmap& source, int sx, int sy, std::uint32_t rop);
    // Stretched copy by nearest neighbour (source column = dx * sw / dw).
    void StretchBlt(int x, int y, int w, int h, const Canvas& source, int sx, int sy, int sw, int sh,
                    std::uint32_t rop);
    void StretchBlt(int x, int y, int w, int h, const Bitmap& source, int sx, int sy, int sw, int sh,
                    std::uint32_t rop);
    // Draws a whole bitmap at (x, y) / stretched into r with the copy mode; a Transparent() bitmap is
    // drawn through the mask of its transparent colour instead.
    void Draw(int x, int y, const Bitmap& picture);
    void StretchDraw(const Rect& r, const Bitmap& picture);
    // Masked copy: where the mask is white the destination stays, where it is black the picture's pixel
    // is copied. Mask and picture share the source rectangle; stretched when the sizes differ.
    void MaskedDraw(const Rect& dest, const Bitmap& picture, const Bitmap& mask, const Rect& source);

    struct Impl;
    Impl& Data() const { return *d; }

private:
    std::unique_ptr<Impl> d;
};

} // namespace platform
