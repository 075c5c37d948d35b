#pragma once
// Fonts created from logical descriptions, their text metrics and the integer advance table that every
// extent, fit count and drawn glyph uses: what is measured is exactly what is drawn.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
constexpr int RUSSIAN_CHARSET = 204;

constexpr int DEFAULT_PITCH = 0;
constexpr int FIXED_PITCH = 1;
constexpr int VARIABLE_PITCH = 2;

// A logical font: what a caller asks for.
struct LogFont
{
    std::string Name = "MS Sans Serif";
    // Negative: the character (em) height in pixels; positive: the cell height (ascent + descent);
    // 0: a default height.
    int Height = -11;
    int Weight = FW_NORMAL; // 700 and above is bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Charset = DEFAULT_CHARSET;
    int Pitch = DEFAULT_PITCH;

    bool Bold() const { return Weight >= 600; }
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// The GDI text metrics of a realised font, in pixels.
struct TextMetrics
{
    int tmHeight = 0; // tmAscent + tmDescent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0; // tmHeight - em height
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = FW_NORMAL;
    int tmOverhang = 0; // always 0; italic overhang is the caller's business
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    int tmCharSet = DEFAULT_CHARSET; // the realised character set
};

// A realised font. Copies are cheap and share the realised data (fonts with equal descriptions share
// it too, through a process-wide cache). The default font is "MS Sans Serif", height -11.
class Font
{
public:
    Font();
    explicit Font(const LogFont& description);
    ~Font();
    Font(const Font&);
    Font& operator=(const Font&);

    const LogFont& Description() const;
    const TextMetrics& Metrics() const;
    // The family actually used for drawing (after the alias table), e.g. "Liberation Sans".
    const std::string& FamilyName() const;
    // The em height in pixels.
    int PixelSize() const;
    bool IsSymbolFont() const;

    // The integer advance of one UTF-16 code unit (a surrogate pair's advance belongs to its high half,
    // the low half advances 0). Kerning and ligatures never apply.
    int Advance(char16_t c) const;
    // Advances of each code unit of text, written to out[0..n).
    void Advances(const char16_t* text, int n, int* out) const;
    // Sum of the advances of text, no extra spacing.
    int Width(std::u16string_view text) const;

    // Identity of the realised data: equal ids draw identically.
    const void* Id() const;
    friend bool operator==(const Font& a, const Font& b) { return a.Id() == b.Id(); }

    struct Data;
    const Data& Realised() const { return *d; }

private:
    std::shared_ptr<const Data> d;
};

// The family a face name resolves to ("Arial" -> "Liberation Sans"; unknown names -> "DejaVu Sans").
std::string ResolveFontFamily(const std::string& name);
// Case-insensitive: true for real installed families and for the aliases of the table.
bool FontInstalled(const std::string& name);
// Installed family names plus the aliases, sorted case-insensitively.
std::vector<std::string> InstalledFontNames();
// Em height in pixels for a point size at the system DPI: -round(PPI * pt / 72) as a LogFont height.
int PointsToHeight(double points);

} // namespace platform
