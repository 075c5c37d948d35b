#pragma once
// Font descriptions and the platform fonts built from them: ThtFontInfo (one look of a font),
// TFontInfoArray (the four looks of a link), TMyFont (a realised font with the metrics layout reads).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/font.h"
#include "style/conversions.h"
#include "style/propvalue.h"

namespace platform {
class Canvas;
}

// Font style bits, as the platform's font style set.
enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

class ThtFontInfo {
public:
    std::string iName;   // resolved installed font name
    double iSize = 0.0;  // points
    TFontStyles iStyle = 0;
    TColor iColor = 0;
    TColor ibgColor = NoColor;
    std::uint8_t iCharset = 0;
    TPropValue iCharExtra;  // the "letter-spacing" slot value

    void Assign(const ThtFontInfo& source) { *this = source; }
};

// The four looks of a link's font.
class TFontInfoArray {
public:
    enum { LinkIndex = 0, VisitedIndex = 1, HoverIndex = 2, VisitedHoverIndex = 3 };
    std::array<ThtFontInfo, 4> Ar;

    ThtFontInfo& operator[](int i) { return Ar[i]; }
    const ThtFontInfo& operator[](int i) const { return Ar[i]; }
    void Assign(const TFontInfoArray& source) { Ar = source.Ar; }
};

// A font with its colours and the text metrics measured when it was built.
class TMyFont {
public:
    // The platform font attributes.
    std::string Name = "Arial";
    int Height = -16;  // negative: character height in pixels
    TFontStyles Style = 0;
    TColor Color = 0;
    int Charset = platform::DEFAULT_CHARSET;

    TColor bgColor = NoColor;
    int tmHeight = 0;
    int tmDescent = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmCharset = platform::DEFAULT_CHARSET;
    int CharExtra = 0;  // letter spacing in pixels

    void Assign(const TMyFont& source) { *this = source; }

    platform::LogFont LogFont() const;
    // The realised platform font for the current attributes.
    platform::Font Handle() const;
    // Stores the text metrics of the current attributes (height, descent, external leading, widths and
    // the realised character set).
    void StoreMetrics();
    // Selects the font into the canvas with its colour and letter spacing.
    void SelectInto(platform::Canvas& canvas) const;
    // Takes name, size, style, colours and charset of a look.
    void ApplyInfo(const ThtFontInfo& info);

private:
    // The font last realised, kept while the attributes it was made from stay the same: runs select
    // their font for every piece of text they measure or draw.
    mutable std::optional<platform::Font> FRealised;
};

// Font names: the generic families replaced, quotes removed; the first installed entry of a
// comma-separated family list, or empty when none is installed.
std::string FirstInstalledFont(std::string_view familyList);
