// vexa-artwork OUTDIR: draws the info window's skin and the small pictures of the page tree.
//
//   OUTDIR/skin/*.jpg          the backgrounds of both windows and the normal / highlight picture of
//                              every image button, cut from the background so their corners blend in
//   OUTDIR/Info/images/*       the pictures the pages show: PNG (with alpha), JPEG, GIF and animated GIF
//
// Everything is drawn on the platform canvas (line-by-line gradients, text) plus a small coverage
// blender for anti-aliased rounded shapes. Output is deterministic: the same program writes the same
// bytes, so the committed files only change when the drawing does.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/jpeg.h"

using namespace platform;

namespace {

constexpr double kPi = std::numbers::pi;

// ------------------------------------------------------------------------------------------------
// Colour helpers

struct Rgb {
    double R = 0, G = 0, B = 0;
};

Rgb FromColor(TColor c) { return {double(GetRValue(c)), double(GetGValue(c)), double(GetBValue(c))}; }
TColor ToColor(const Rgb& c)
{
    auto clamp = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    return RGB(clamp(c.R), clamp(c.G), clamp(c.B));
}
TColor Mix(TColor a, TColor b, double t)
{
    Rgb x = FromColor(a), y = FromColor(b);
    return ToColor({x.R + (y.R - x.R) * t, x.G + (y.G - x.G) * t, x.B + (y.B - x.B) * t});
}
TColor Hex(std::uint32_t rrggbb) { return RGB(int(rrggbb >> 16), int((rrggbb >> 8) & 0xFF), int(rrggbb & 0xFF)); }

// The skin's palette: a dark leather frame, parchment panels and warm gold / amber accents.
const TColor kFrameTop = Hex(0x3a2418);
const TColor kFrameBottom = Hex(0x150b07);
const TColor kParchment = Hex(0xf3e4c2);
const TColor kParchmentDark = Hex(0xdcc392);
const TColor kGold = Hex(0xd9a441);
const TColor kGoldLight = Hex(0xffe08a);
const TColor kGoldDark = Hex(0x8a5a1c);
const TColor kAmberTop = Hex(0xffc65a);
const TColor kAmberBottom = Hex(0xd9711c);
const TColor kButtonTop = Hex(0x6a3a20);
const TColor kButtonBottom = Hex(0x3a1e10);
const TColor kInk = Hex(0x3a1a0a);

// Deterministic small noise for the leather texture.
double Noise(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFF) / 255.0 - 0.5;
}

// ------------------------------------------------------------------------------------------------
// Pixel access on 32-bit bitmaps (B, G, R, unused)

TColor PixelAt(const Bitmap& b, int x, int y)
{
    const std::uint8_t* p = b.ScanLine(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
}

void Blend(Bitmap& b, int x, int y, TColor c, double alpha)
{
    if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height() || alpha <= 0)
        return;
    std::uint8_t* p = b.ScanLine(y) + x * 4;
    alpha = std::min(alpha, 1.0);
    p[0] = std::uint8_t(std::lround(p[0] + (GetBValue(c) - p[0]) * alpha));
    p[1] = std::uint8_t(std::lround(p[1] + (GetGValue(c) - p[1]) * alpha));
    p[2] = std::uint8_t(std::lround(p[2] + (GetRValue(c) - p[2]) * alpha));
}

// Signed distance from (px, py) to a rounded box; negative inside.
double RoundBoxDistance(double px, double py, double l, double t, double r, double b, double radius)
{
    double cx = (l + r) / 2, cy = (t + b) / 2;
    double hx = (r - l) / 2 - radius, hy = (b - t) / 2 - radius;
    double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

using Shader = std::function<TColor(int x, int y)>;

// Fills a rounded box with anti-aliased edges; the shader gives each pixel's colour.
void FillRoundBox(Bitmap& b, double l, double t, double r, double bottom, double radius, const Shader& shade,
                  double alpha = 1.0)
{
    int x0 = std::max(0, int(std::floor(l)) - 1), x1 = std::min(b.Width(), int(std::ceil(r)) + 1);
    int y0 = std::max(0, int(std::floor(t)) - 1), y1 = std::min(b.Height(), int(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            double d = RoundBoxDistance(x + 0.5, y + 0.5, l, t, r, bottom, radius);
            double coverage = std::clamp(0.5 - d, 0.0, 1.0);
            if (coverage > 0)
                Blend(b, x, y, shade(x, y), coverage * alpha);
        }
}

// A ring of the given width along the inside of a rounded box.
void StrokeRoundBox(Bitmap& b, double l, double t, double r, double bottom, double radius, double width,
                    TColor colour, double alpha = 1.0)
{
    int x0 = std::max(0, int(std::floor(l)) - 1), x1 = std::min(b.Width(), int(std::ceil(r)) + 1);
    int y0 = std::max(0, int(std::floor(t)) - 1), y1 = std::min(b.Height(), int(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            double d = RoundBoxDistance(x + 0.5, y + 0.5, l, t, r, bottom, radius);
            double outer = std::clamp(0.5 - d, 0.0, 1.0);
            double inner = std::clamp(0.5 - (d + width), 0.0, 1.0);
            if (outer - inner > 0)
                Blend(b, x, y, colour, (outer - inner) * alpha);
        }
}

Shader Solid(TColor c)
{
    return [c](int, int) { return c; };
}
Shader Vertical(TColor top, TColor bottom, double y0, double y1)
{
    return [=](int, int y) { return Mix(top, bottom, std::clamp((y - y0) / std::max(1.0, y1 - y0), 0.0, 1.0)); };
}

// A vertical gradient by lines, straight on the canvas.
void GradientRect(Canvas& c, const Rect& r, TColor top, TColor bottom)
{
    for (int y = r.Top; y < r.Bottom; ++y) {
        double t = r.Height() > 1 ? double(y - r.Top) / (r.Height() - 1) : 0;
        c.FillRect(MakeRect(r.Left, y, r.Right, y + 1), Mix(top, bottom, t));
    }
}

// ------------------------------------------------------------------------------------------------
// Text

Font MakeFont(const char* name, int height, bool bold, bool italic = false)
{
    LogFont lf;
    lf.Name = name;
    lf.Height = height;
    lf.Weight = bold ? FW_BOLD : FW_NORMAL;
    lf.Italic = italic;
    lf.Charset = RUSSIAN_CHARSET;
    return Font(lf);
}

// Text centred on (cx, middle), with an optional soft shadow below-right.
void CentredText(Canvas& c, const Font& font, std::u16string_view text, int cx, int middle, TColor colour,
                 TColor shadow = clNone)
{
    c.SetFont(font);
    c.SetBkMode(TRANSPARENT);
    c.SetTextAlign(TA_LEFT | TA_TOP);
    Size s = c.GetTextExtentPoint32W(text);
    int x = cx - s.cx / 2, y = middle - s.cy / 2;
    if (shadow != clNone) {
        c.SetTextColor(shadow);
        c.TextOutW(x + 1, y + 1, text);
    }
    c.SetTextColor(colour);
    c.TextOutW(x, y, text);
}

void LeftText(Canvas& c, const Font& font, std::u16string_view text, int x, int y, TColor colour,
              TColor shadow = clNone)
{
    c.SetFont(font);
    c.SetBkMode(TRANSPARENT);
    c.SetTextAlign(TA_LEFT | TA_TOP);
    if (shadow != clNone) {
        c.SetTextColor(shadow);
        c.TextOutW(x + 1, y + 1, text);
    }
    c.SetTextColor(colour);
    c.TextOutW(x, y, text);
}

// ------------------------------------------------------------------------------------------------
// Bitmaps

Bitmap Crop(const Bitmap& from, const Rect& r)
{
    Bitmap out(r.Width(), r.Height(), PixelFormat::pf32bit);
    out.GetCanvas().BitBlt(0, 0, r.Width(), r.Height(), from, r.Left, r.Top, SRCCOPY);
    return out;
}

void Emblem(Bitmap& b, double cx, double cy, double radius)
{
    FillRoundBox(b, cx - radius - 3, cy - radius - 3, cx + radius + 3, cy + radius + 3, radius + 3,
                 Solid(Hex(0x0c0604)), 0.5);
    FillRoundBox(b, cx - radius, cy - radius, cx + radius, cy + radius, radius,
                 Vertical(kGoldLight, kGoldDark, cy - radius, cy + radius));
    FillRoundBox(b, cx - radius * 0.78, cy - radius * 0.78, cx + radius * 0.78, cy + radius * 0.78,
                 radius * 0.78, Vertical(Hex(0x5a2e14), Hex(0x2a140a), cy - radius, cy + radius));
    StrokeRoundBox(b, cx - radius * 0.70, cy - radius * 0.70, cx + radius * 0.70, cy + radius * 0.70,
                   radius * 0.70, 1.2, kGold, 0.8);
}

// ------------------------------------------------------------------------------------------------
// The main window

struct ButtonSpec {
    const char* File;
    Rect Bounds;
    std::u16string Caption;
};

const std::vector<ButtonSpec>& YearButtons()
{
    static const std::vector<ButtonSpec> buttons = {
        {"btn0", Bounds(26, 218, 158, 25), u"Об игре"},   {"btn2000", Bounds(26, 246, 158, 25), u"2000"},
        {"btn2001", Bounds(26, 273, 158, 25), u"2001"},   {"btn2002", Bounds(26, 301, 158, 25), u"2002"},
        {"btn2003", Bounds(26, 329, 158, 25), u"2003"},   {"btn2004", Bounds(26, 357, 158, 25), u"2004"},
        {"btn2005", Bounds(26, 385, 158, 25), u"2005"},   {"btn2006", Bounds(26, 413, 158, 25), u"2006"},
    };
    return buttons;
}

Bitmap DrawMainBackground()
{
    Bitmap b(800, 600, PixelFormat::pf32bit);
    Canvas& c = b.GetCanvas();
    GradientRect(c, MakeRect(0, 0, 800, 600), kFrameTop, kFrameBottom);
    // Leather grain.
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            double n = Noise(x, y) * 0.06 + Noise(x / 3, y / 2) * 0.05;
            Blend(b, x, y, n > 0 ? clWhite : clBlack, std::fabs(n));
        }
    // Outer gold rim and an inner groove.
    StrokeRoundBox(b, 1, 1, 799, 599, 14, 2.0, kGold);
    StrokeRoundBox(b, 6, 6, 794, 594, 10, 1.0, kGoldDark, 0.9);

    // Title band.
    Emblem(b, 70, 62, 40);
    CentredText(c, MakeFont("Times New Roman", -44, true), u"В", 70, 60, kGoldLight, Hex(0x000000));
    LeftText(c, MakeFont("Times New Roman", -46, true), u"ВЕКСА", 128, 20, kGoldLight, Hex(0x0a0502));
    LeftText(c, MakeFont("Times New Roman", -18, false, true), u"игра о торговых путях", 132, 70, kGold);

    // The left column: a parchment panel holding the year buttons and the two page links.
    FillRoundBox(b, 14, 140, 198, 498, 12, Solid(Hex(0x080402)), 0.45);
    FillRoundBox(b, 12, 136, 196, 494, 12, Vertical(kParchment, kParchmentDark, 136, 494));
    StrokeRoundBox(b, 12, 136, 196, 494, 12, 2.0, kGold);
    StrokeRoundBox(b, 17, 141, 191, 489, 8, 1.0, kGoldDark, 0.6);
    CentredText(c, MakeFont("Times New Roman", -17, true), u"Чемпионаты", 104, 166, kInk);
    for (int x = 40; x < 168; ++x)
        Blend(b, x, 184, kGoldDark, 0.7 * std::sin(kPi * (x - 40) / 128.0));
    CentredText(c, MakeFont("Arial", -11, false, true), u"выберите год", 104, 200, Hex(0x7a5a3a));
    // Separator above the page links.
    for (int x = 40; x < 168; ++x)
        Blend(b, x, 444, kGoldDark, 0.6 * std::sin(kPi * (x - 40) / 128.0));

    // The page area behind the viewer: a parchment mount with a gold edge and a white sheet.
    FillRoundBox(b, 204, 94, 782, 502, 10, Solid(Hex(0x080402)), 0.5);
    FillRoundBox(b, 200, 90, 780, 500, 10, Vertical(kParchment, kParchmentDark, 90, 500));
    StrokeRoundBox(b, 200, 90, 780, 500, 10, 2.0, kGold);
    c.FillRect(Bounds(214, 102, 555, 389), kGoldDark);
    c.FillRect(Bounds(216, 104, 551, 385), clWhite);

    // Bottom band: copyright on the left, the two long buttons sit on the right.
    for (int x = 24; x < 776; ++x)
        Blend(b, x, 522, kGold, 0.35 + 0.35 * std::sin(kPi * (x - 24) / 752.0));
    LeftText(c, MakeFont("Arial", -11, false), u"© 2000–2006 Команда игры «Векса»", 30, 552, Hex(0xb89a70));
    return b;
}

// A wide button: dark lacquer (normal) or amber (highlight), with a gold rim and a centred caption.
void DrawBarButton(Bitmap& b, std::u16string_view caption, bool highlight, int fontHeight)
{
    double w = b.Width(), h = b.Height();
    double radius = std::min(h / 2 - 1, 9.0);
    FillRoundBox(b, 1, 1.5, w, h, radius, Solid(Hex(0x000000)), 0.35);
    if (highlight)
        FillRoundBox(b, 0.5, 0.5, w - 1, h - 1.5, radius, Vertical(kAmberTop, kAmberBottom, 0, h));
    else
        FillRoundBox(b, 0.5, 0.5, w - 1, h - 1.5, radius, Vertical(kButtonTop, kButtonBottom, 0, h));
    // Glass highlight on the upper half.
    FillRoundBox(b, 3, 2, w - 3.5, h / 2, radius - 2, Solid(clWhite), highlight ? 0.22 : 0.10);
    StrokeRoundBox(b, 0.5, 0.5, w - 1, h - 1.5, radius, 1.3, highlight ? kGoldLight : kGold);
    Canvas& c = b.GetCanvas();
    if (highlight)
        CentredText(c, MakeFont("Arial", fontHeight, true), caption, int(w / 2), int(h / 2) - 1, kInk,
                    Hex(0xffe8b0));
    else
        CentredText(c, MakeFont("Arial", fontHeight, true), caption, int(w / 2), int(h / 2) - 1, kParchment,
                    Hex(0x120804));
}

enum class Glyph { Minimise, Close };

// A round window button with a drawn symbol.
void DrawRoundButton(Bitmap& b, Glyph glyph, bool highlight)
{
    double w = b.Width(), h = b.Height();
    double r = std::min(w, h) / 2 - 3;
    double cx = w / 2, cy = h / 2;
    FillRoundBox(b, cx - r + 1, cy - r + 2, cx + r + 1, cy + r + 2, r, Solid(Hex(0x000000)), 0.4);
    FillRoundBox(b, cx - r, cy - r, cx + r, cy + r, r, Vertical(kGoldLight, kGoldDark, cy - r, cy + r));
    double ri = r - 4;
    if (highlight)
        FillRoundBox(b, cx - ri, cy - ri, cx + ri, cy + ri, ri, Vertical(kAmberTop, kAmberBottom, cy - ri, cy + ri));
    else
        FillRoundBox(b, cx - ri, cy - ri, cx + ri, cy + ri, ri, Vertical(kButtonTop, kButtonBottom, cy - ri, cy + ri));
    FillRoundBox(b, cx - ri + 3, cy - ri + 1, cx + ri - 3, cy, ri - 3, Solid(clWhite), 0.12);
    TColor ink = highlight ? kInk : kGoldLight;
    if (glyph == Glyph::Minimise) {
        FillRoundBox(b, cx - 8, cy + 3, cx + 8, cy + 7, 2, Solid(ink));
    } else {
        // Two crossing strokes as distance fields to a segment.
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                double px = x + 0.5 - cx, py = y + 0.5 - cy;
                double best = 1e9;
                for (int s = -1; s <= 1; s += 2) {
                    // Segment from (-7, -7 s) to (7, 7 s).
                    double t = std::clamp((px * 7 + py * 7 * s) / 98.0, -1.0, 1.0);
                    best = std::min(best, std::hypot(px - 7 * t, py - 7 * s * t));
                }
                double coverage = std::clamp(2.0 - best + 0.5, 0.0, 1.0);
                Blend(b, x, y, ink, coverage);
            }
    }
}

// ------------------------------------------------------------------------------------------------
// The question dialog

Bitmap DrawDialogBackground()
{
    Bitmap b(250, 400, PixelFormat::pf32bit);
    Canvas& c = b.GetCanvas();
    GradientRect(c, MakeRect(0, 0, 250, 400), kFrameTop, kFrameBottom);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 250; ++x) {
            double n = Noise(x + 900, y) * 0.06 + Noise((x + 900) / 3, y / 2) * 0.05;
            Blend(b, x, y, n > 0 ? clWhite : clBlack, std::fabs(n));
        }
    StrokeRoundBox(b, 1, 1, 249, 399, 12, 2.0, kGold);
    StrokeRoundBox(b, 6, 6, 244, 394, 8, 1.0, kGoldDark, 0.9);
    Emblem(b, 125, 78, 44);
    CentredText(c, MakeFont("Times New Roman", -40, true), u"?", 125, 76, kGoldLight, Hex(0x000000));
    FillRoundBox(b, 22, 150, 232, 306, 10, Solid(Hex(0x080402)), 0.45);
    FillRoundBox(b, 20, 146, 230, 302, 10, Vertical(kParchment, kParchmentDark, 146, 302));
    StrokeRoundBox(b, 20, 146, 230, 302, 10, 2.0, kGold);
    CentredText(c, MakeFont("Times New Roman", -22, true), u"Закрыть", 125, 196, kInk);
    CentredText(c, MakeFont("Times New Roman", -22, true), u"программу?", 125, 222, kInk);
    for (int x = 50; x < 200; ++x)
        Blend(b, x, 248, kGoldDark, 0.7 * std::sin(kPi * (x - 50) / 150.0));
    CentredText(c, MakeFont("Arial", -12, false, true), u"Будем ждать вас снова!", 125, 270, Hex(0x7a5a3a));
    return b;
}

// ------------------------------------------------------------------------------------------------
// PNG and GIF writers for the page pictures

void PutBE32(std::vector<std::uint8_t>& v, std::uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8)
        v.push_back(std::uint8_t(x >> s));
}

void PngChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBE32(out, std::uint32_t(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// RGBA rows, 8 bits per channel (colour type 6).
std::vector<std::uint8_t> EncodePNG(int w, int h, const std::vector<std::uint8_t>& rgba)
{
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> ihdr;
    PutBE32(ihdr, std::uint32_t(w));
    PutBE32(ihdr, std::uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PngChunk(out, "IHDR", ihdr);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), rgba.begin() + std::ptrdiff_t(y) * w * 4, rgba.begin() + std::ptrdiff_t(y + 1) * w * 4);
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9) != Z_OK)
        throw Exception("PNG compression failed");
    packed.resize(size);
    PngChunk(out, "IDAT", packed);
    PngChunk(out, "IEND", {});
    return out;
}

// One GIF frame: palette indexes; index 0 is transparent when the picture is.
struct GifFrame {
    std::vector<std::uint8_t> Indexes;
    int DelayCs = 10;
};

// LZW codes written at a fixed 9-bit width: a clear code every 254 literals keeps the table from
// growing, which every decoder accepts.
void GifImageData(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& indexes)
{
    const int clear = 256, end = 257;
    std::vector<std::uint8_t> bytes;
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= std::uint32_t(code) << bits;
        bits += 9;
        while (bits >= 8) {
            bytes.push_back(std::uint8_t(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    put(clear);
    int run = 0;
    for (std::uint8_t i : indexes) {
        if (run == 254) {
            put(clear);
            run = 0;
        }
        put(i);
        ++run;
    }
    put(end);
    if (bits > 0)
        bytes.push_back(std::uint8_t(acc & 0xFF));
    out.push_back(8);  // minimum code size
    for (std::size_t p = 0; p < bytes.size(); p += 255) {
        std::size_t n = std::min<std::size_t>(255, bytes.size() - p);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), bytes.begin() + std::ptrdiff_t(p), bytes.begin() + std::ptrdiff_t(p + n));
    }
    out.push_back(0);
}

std::vector<std::uint8_t> EncodeGIF(int w, int h, const std::vector<TColor>& palette,
                                    const std::vector<GifFrame>& frames, bool transparent)
{
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto le16 = [&](int v) {
        out.push_back(std::uint8_t(v & 0xFF));
        out.push_back(std::uint8_t((v >> 8) & 0xFF));
    };
    le16(w);
    le16(h);
    out.push_back(0xF7);  // global table of 256 entries
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 256; ++i) {
        TColor c = i < int(palette.size()) ? palette[std::size_t(i)] : clBlack;
        out.push_back(std::uint8_t(GetRValue(c)));
        out.push_back(std::uint8_t(GetGValue(c)));
        out.push_back(std::uint8_t(GetBValue(c)));
    }
    if (frames.size() > 1) {
        const char app[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 0x0B});
        out.insert(out.end(), app, app + 11);
        out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});  // loop for ever
    }
    for (const GifFrame& f : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(std::uint8_t((2 << 2) | (transparent ? 1 : 0)));  // restore to background
        le16(f.DelayCs);
        out.push_back(0);  // transparent index
        out.push_back(0);
        out.push_back(0x2C);
        le16(0);
        le16(0);
        le16(w);
        le16(h);
        out.push_back(0);
        GifImageData(out, f.Indexes);
    }
    out.push_back(0x3B);
    return out;
}

// Maps pictures to one shared palette: entry 0 is the transparent key, the rest the colours in use
// (reduced to 5 bits per channel when there are too many).
struct Quantiser {
    std::vector<TColor> Palette{clBlack};
    std::map<TColor, std::uint8_t> Index;
    int Shift = 0;

    void Collect(const std::vector<const Bitmap*>& pictures, TColor key)
    {
        for (Shift = 0; Shift <= 4; ++Shift) {
            Palette.assign(1, clBlack);
            Index.clear();
            bool fits = true;
            for (const Bitmap* b : pictures)
                for (int y = 0; y < b->Height() && fits; ++y)
                    for (int x = 0; x < b->Width() && fits; ++x) {
                        TColor c = PixelAt(*b, x, y);
                        if (c == key)
                            continue;
                        TColor q = Reduce(c);
                        if (!Index.count(q)) {
                            if (Palette.size() == 256)
                                fits = false;
                            else {
                                Index[q] = std::uint8_t(Palette.size());
                                Palette.push_back(q);
                            }
                        }
                    }
            if (fits)
                return;
        }
    }
    TColor Reduce(TColor c) const
    {
        int mask = (0xFF << Shift) & 0xFF;
        return RGB(GetRValue(c) & mask, GetGValue(c) & mask, GetBValue(c) & mask);
    }
    GifFrame Map(const Bitmap& b, TColor key, int delay) const
    {
        GifFrame f;
        f.DelayCs = delay;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                TColor c = PixelAt(b, x, y);
                f.Indexes.push_back(c == key ? 0 : Index.at(Reduce(c)));
            }
        return f;
    }
};

// Pictures with a transparent background are drawn over a key colour that never occurs in artwork.
const TColor kKey = Hex(0xff00ff);

using Painter = std::function<void(Bitmap&)>;

// A picture with a transparent background: drawn once over black and once over white. Where both agree
// the pixel is solid; where they differ it was partly covered, and it is kept (in its over-white colour,
// which suits the light pages) when at least half covered, else it becomes the transparent key.
Bitmap KeyedPicture(int w, int h, const Painter& paint)
{
    Bitmap overBlack(w, h, PixelFormat::pf32bit), overWhite(w, h, PixelFormat::pf32bit);
    overBlack.Fill(clBlack);
    overWhite.Fill(clWhite);
    paint(overBlack);
    paint(overWhite);
    Bitmap out(w, h, PixelFormat::pf32bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb k = FromColor(PixelAt(overBlack, x, y)), wh = FromColor(PixelAt(overWhite, x, y));
            double coverage = 1.0 - ((wh.R - k.R) + (wh.G - k.G) + (wh.B - k.B)) / (3 * 255.0);
            out.SetPixel(x, y, coverage >= 0.5 ? ToColor(wh) : kKey);
        }
    return out;
}

Bitmap DrawCup(double sparkle)
{
    return KeyedPicture(32, 32, [sparkle](Bitmap& b) {
        Shader gold = [](int x, int) { return Mix(kGoldLight, kGoldDark, std::fabs(x - 15.5) / 14.0); };
        StrokeRoundBox(b, 2, 5, 10, 14, 4, 2.2, kGold);  // handles
        StrokeRoundBox(b, 22, 5, 30, 14, 4, 2.2, kGold);
        FillRoundBox(b, 7, 3, 25, 17, 7, gold);  // bowl
        FillRoundBox(b, 8, 3, 24, 6, 1.5, Solid(Hex(0x6a3a10)));
        FillRoundBox(b, 14, 16, 18, 24, 1, gold);  // stem
        FillRoundBox(b, 9, 24, 23, 29, 2, Vertical(kGold, Hex(0x6a3a10), 24, 29));
        if (sparkle > 0) {
            double s = 4.0 * sparkle;
            FillRoundBox(b, 12 - 0.9, 9 - s, 12 + 0.9, 9 + s, 0.9, Solid(Hex(0xfffbe8)));
            FillRoundBox(b, 12 - s, 9 - 0.9, 12 + s, 9 + 0.9, 0.9, Solid(Hex(0xfffbe8)));
        }
    });
}

Bitmap DrawMedal(TColor light, TColor dark, int place)
{
    return KeyedPicture(16, 16, [=](Bitmap& b) {
        FillRoundBox(b, 3.5, 0, 7, 7, 0.5, Solid(Hex(0x2050a0)));
        FillRoundBox(b, 9, 0, 12.5, 7, 0.5, Solid(Hex(0xa02020)));
        FillRoundBox(b, 2, 4, 14, 16, 6, Vertical(light, dark, 4, 16));
        StrokeRoundBox(b, 2, 4, 14, 16, 6, 1.0, dark);
        CentredText(b.GetCanvas(), MakeFont("Arial", -9, true), std::u16string(1, char16_t(u'0' + place)), 8, 10,
                    kInk);
    });
}

Bitmap DrawStar(double phase)
{
    return KeyedPicture(16, 16, [phase](Bitmap& b) {
        double outer = 4.5 + 3.0 * phase, inner = 2.0 + 0.6 * phase;
        TColor colour = Mix(kGoldDark, kGoldLight, phase);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                double coverage = 0;
                // 4 x 4 samples per pixel.
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        double px = x + (sx + 0.5) / 4 - 8, py = y + (sy + 0.5) / 4 - 8;
                        double a = std::atan2(py, px) + kPi / 2, r = std::hypot(px, py);
                        double k = std::fabs(std::fmod(a * 5 / (2 * kPi) + 10, 1.0) - 0.5) * 2;  // 1 at tips
                        if (r <= inner + (outer - inner) * k)
                            coverage += 1.0 / 16;
                    }
                Blend(b, x, y, colour, coverage);
            }
    });
}

Bitmap DrawNewLabel()
{
    return KeyedPicture(28, 12, [](Bitmap& b) {
        FillRoundBox(b, 0, 0, 28, 12, 3, Vertical(Hex(0xe04020), Hex(0x901808), 0, 12));
        CentredText(b.GetCanvas(), MakeFont("Arial", -9, true), u"нов!", 14, 5, clWhite);
    });
}

std::vector<std::uint8_t> DrawLogoPNG()
{
    const int n = 64;
    Bitmap b(n, n, PixelFormat::pf32bit);
    b.GetCanvas().FillRect(MakeRect(0, 0, n, n), clBlack);
    Emblem(b, 32, 32, 28);
    CentredText(b.GetCanvas(), MakeFont("Times New Roman", -32, true), u"В", 32, 31, kGoldLight, Hex(0x000000));
    // Alpha from the emblem's disc, so the logo sits on any page background.
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            TColor c = PixelAt(b, x, y);
            double d = std::hypot(x + 0.5 - 32, y + 0.5 - 32) - 31;
            double alpha = std::clamp(0.5 - d, 0.0, 1.0);
            rgba.insert(rgba.end(), {std::uint8_t(GetRValue(c)), std::uint8_t(GetGValue(c)),
                                     std::uint8_t(GetBValue(c)), std::uint8_t(std::lround(alpha * 255))});
        }
    return EncodePNG(n, n, rgba);
}

Bitmap DrawMap()
{
    Bitmap b(160, 100, PixelFormat::pf32bit);
    Canvas& c = b.GetCanvas();
    GradientRect(c, MakeRect(0, 0, 160, 100), kParchment, kParchmentDark);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x)
            Blend(b, x, y, Noise(x, y) > 0 ? clWhite : Hex(0x806040), std::fabs(Noise(x * 2, y)) * 0.12);
    // Rivers: sine-shaped bands.
    auto river = [&](double y0, double amp, double freq, double width) {
        for (int x = 0; x < 160; ++x) {
            double yc = y0 + amp * std::sin(x * freq + y0);
            for (int y = 0; y < 100; ++y) {
                double coverage = std::clamp(width / 2 - std::fabs(y + 0.5 - yc) + 0.5, 0.0, 1.0);
                Blend(b, x, y, Hex(0x4a78a8), coverage);
            }
        }
    };
    river(30, 8, 0.06, 3.0);
    river(70, 10, 0.045, 2.2);
    const int cities[][2] = {{20, 31}, {62, 26}, {104, 37}, {140, 27}, {36, 68}, {90, 76}, {132, 64}};
    for (const auto& p : cities) {
        FillRoundBox(b, p[0] - 4, p[1] - 4, p[0] + 4, p[1] + 4, 4, Solid(Hex(0x7a2a08)));
        FillRoundBox(b, p[0] - 2, p[1] - 2, p[0] + 2, p[1] + 2, 2, Solid(kGoldLight));
    }
    StrokeRoundBox(b, 0, 0, 160, 100, 2, 2.0, kGoldDark);
    LeftText(c, MakeFont("Times New Roman", -12, true, true), u"Северные реки", 6, 84, kInk);
    return b;
}

Bitmap DrawTeam()
{
    Bitmap b(120, 80, PixelFormat::pf32bit);
    GradientRect(b.GetCanvas(), MakeRect(0, 0, 120, 80), Hex(0x8aa8c8), Hex(0xe8d8b8));
    const TColor shirts[] = {Hex(0x7a2a08), Hex(0x2a5a3a), Hex(0x3a3a7a), Hex(0x8a5a1c), Hex(0x5a2a5a)};
    for (int i = 0; i < 5; ++i) {
        double cx = 14 + i * 23, top = 26 + (i % 2) * 6;
        FillRoundBox(b, cx - 10, top + 14, cx + 10, 84, 9, Solid(shirts[i]));
        FillRoundBox(b, cx - 7, top, cx + 7, top + 14, 7, Solid(Hex(0xe8c0a0)));
        FillRoundBox(b, cx - 7, top - 1, cx + 7, top + 5, 4, Solid(Hex(0x4a2a18)));
    }
    return b;
}

// ------------------------------------------------------------------------------------------------

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f)
        throw EInOutError("Cannot write " + path.string());
}

void Jpeg(const Bitmap& b, const std::filesystem::path& path, int quality = 90)
{
    std::filesystem::create_directories(path.parent_path());
    SaveJPEG(b, quality, path.string());
}

void WriteSkin(const std::filesystem::path& dir)
{
    Bitmap back = DrawMainBackground();
    Jpeg(back, dir / "back.jpg", 92);
    for (const ButtonSpec& s : YearButtons())
        for (bool hi : {false, true}) {
            Bitmap b = Crop(back, s.Bounds);
            DrawBarButton(b, s.Caption, hi, -14);
            Jpeg(b, dir / (std::string(s.File) + (hi ? "_hi.jpg" : ".jpg")));
        }
    const ButtonSpec wide[] = {{"btntest", Bounds(415, 541, 164, 35), u"Тест"},
                               {"btnexit", Bounds(614, 542, 164, 35), u"Выход"}};
    for (const ButtonSpec& s : wide)
        for (bool hi : {false, true}) {
            Bitmap b = Crop(back, s.Bounds);
            DrawBarButton(b, s.Caption, hi, -17);
            Jpeg(b, dir / (std::string(s.File) + (hi ? "_hi.jpg" : ".jpg")));
        }
    const struct {
        const char* File;
        Rect Bounds;
        Glyph Symbol;
    } round[] = {{"btnmin", Bounds(639, 17, 45, 45), Glyph::Minimise}, {"btnclose", Bounds(735, 16, 45, 45), Glyph::Close}};
    for (const auto& s : round)
        for (bool hi : {false, true}) {
            Bitmap b = Crop(back, s.Bounds);
            DrawRoundButton(b, s.Symbol, hi);
            Jpeg(b, dir / (std::string(s.File) + (hi ? "_hi.jpg" : ".jpg")));
        }

    Bitmap dialog = DrawDialogBackground();
    Jpeg(dialog, dir / "question.jpg", 92);
    const ButtonSpec answers[] = {{"btnyes", Bounds(16, 335, 101, 41), u"Да"},
                                  {"btnno", Bounds(133, 335, 101, 41), u"Нет"}};
    for (const ButtonSpec& s : answers)
        for (bool hi : {false, true}) {
            Bitmap b = Crop(dialog, s.Bounds);
            DrawBarButton(b, s.Caption, hi, -18);
            Jpeg(b, dir / (std::string(s.File) + (hi ? "_hi.jpg" : ".jpg")));
        }
}

void WriteGif(const std::filesystem::path& path, const std::vector<Bitmap>& frames, int delay)
{
    std::vector<const Bitmap*> all;
    for (const Bitmap& f : frames)
        all.push_back(&f);
    Quantiser q;
    q.Collect(all, kKey);
    std::vector<GifFrame> out;
    for (const Bitmap& f : frames)
        out.push_back(q.Map(f, kKey, delay));
    WriteFile(path, EncodeGIF(frames[0].Width(), frames[0].Height(), q.Palette, out, true));
}

void WritePagePictures(const std::filesystem::path& dir)
{
    WriteFile(dir / "logo.png", DrawLogoPNG());
    Jpeg(DrawMap(), dir / "map.jpg", 88);
    Jpeg(DrawTeam(), dir / "team.jpg", 88);
    WriteGif(dir / "cup.gif", {DrawCup(0)}, 0);
    WriteGif(dir / "cup_anim.gif", {DrawCup(0), DrawCup(0.5), DrawCup(1), DrawCup(0.5)}, 15);
    WriteGif(dir / "new.gif", {DrawNewLabel()}, 0);
    WriteGif(dir / "medal1.gif", {DrawMedal(kGoldLight, kGoldDark, 1)}, 0);
    WriteGif(dir / "medal2.gif", {DrawMedal(Hex(0xf4f4f4), Hex(0x8a8a92), 2)}, 0);
    WriteGif(dir / "medal3.gif", {DrawMedal(Hex(0xf0b080), Hex(0x8a4a1c), 3)}, 0);
    std::vector<Bitmap> star;
    for (int i = 0; i < 6; ++i)
        star.push_back(DrawStar(0.5 + 0.5 * std::cos(i * kPi / 3)));
    WriteGif(dir / "star_anim.gif", star, 12);
}

// A PNG of both windows as they look at start (Btn0 highlighted), read back from the written JPEGs.
void WritePreview(const std::filesystem::path& skin, const std::filesystem::path& png)
{
    auto load = [&](const std::string& name) {
        return LoadJPEG(ReadFileBytes((skin / (name + ".jpg")).string()));
    };
    Bitmap sheet(800 + 20 + 250, 720, PixelFormat::pf32bit);
    Canvas& c = sheet.GetCanvas();
    c.FillRect(MakeRect(0, 0, sheet.Width(), sheet.Height()), Hex(0x606060));
    // The JPEG pictures of the pages along the bottom.
    const std::filesystem::path images = skin.parent_path() / "Info" / "images";
    c.Draw(10, 610, LoadJPEG(ReadFileBytes((images / "map.jpg").string())));
    c.Draw(190, 610, LoadJPEG(ReadFileBytes((images / "team.jpg").string())));
    c.Draw(0, 0, load("back"));
    for (const ButtonSpec& s : YearButtons())
        c.Draw(s.Bounds.Left, s.Bounds.Top, load(std::string(s.File) + (s.File == std::string("btn0") ? "_hi" : "")));
    c.Draw(639, 17, load("btnmin"));
    c.Draw(735, 16, load("btnclose_hi"));
    c.Draw(415, 541, load("btntest"));
    c.Draw(614, 542, load("btnexit"));
    c.Draw(820, 100, load("question"));
    c.Draw(820 + 16, 100 + 335, load("btnyes_hi"));
    c.Draw(820 + 133, 100 + 335, load("btnno"));
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < sheet.Height(); ++y)
        for (int x = 0; x < sheet.Width(); ++x) {
            TColor p = sheet.Pixel(x, y);
            rgba.insert(rgba.end(), {std::uint8_t(GetRValue(p)), std::uint8_t(GetGValue(p)),
                                     std::uint8_t(GetBValue(p)), 255});
        }
    WriteFile(png, EncodePNG(sheet.Width(), sheet.Height(), rgba));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
        std::fprintf(stderr, "usage: vexa-artwork OUTDIR [--preview FILE.png]\n"
                             "  writes OUTDIR/skin/*.jpg and OUTDIR/Info/images/*; with --preview also a PNG\n"
                             "  of both windows as the skin shows them\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // drawing needs no display
    Application app(argc, argv);
    try {
        std::filesystem::path out(argv[1]);
        WriteSkin(out / "skin");
        WritePagePictures(out / "Info" / "images");
        if (argc == 4)
            WritePreview(out / "skin", argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vexa-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
