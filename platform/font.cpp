// Fonts: name resolution through the alias table, Windows text metrics from the font's own tables, and
// the integer advance table shared by measuring and drawing.

#include "platform/font.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointF>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/qt/font_private.h"
#include "platform/qt/graphics_private.h"
#include "platform/sysvalues.h"
#include "platform/types.h"

namespace platform {

namespace {

constexpr int kMaxEm = 2048; // larger requests are drawn at this size
constexpr const char* kSansFace = "DejaVu Sans";

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

struct Alias
{
    const char* name;
    const char* family;
};

// Names pages ask for that are not installed here, and the face that stands in for each.
const Alias kAliases[] = {
    {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
    // MS Sans Serif gets the face with Arial's widths: captions sized for it must still fit.
    {"MS Sans Serif", "Liberation Sans"}, {"Arial Unicode MS", kSansFace},
};

const char* const kSymbolNames[] = {"symbol",      "wingdings", "wingdings 2",
                                    "wingdings 3", "webdings",  "marlett"};

struct FamilyTable
{
    std::map<std::string, std::string> byLowerName; // lower-case name -> family to draw with
    std::vector<std::string> names;                 // installed families plus aliases
    bool withDatabase = false;                      // the font database was there to ask
};

FamilyTable BuildFamilies()
{
    FamilyTable t;
    t.withDatabase = QGuiApplication::instance() != nullptr;
    if (t.withDatabase) {
        for (const QString& f : QFontDatabase::families()) {
            const std::string name = f.toStdString();
            if (t.byLowerName.emplace(Lower(name), name).second)
                t.names.push_back(name);
        }
    }
    for (const Alias& a : kAliases) {
        if (t.byLowerName.emplace(Lower(a.name), a.family).second)
            t.names.push_back(a.name);
    }
    std::sort(t.names.begin(), t.names.end(),
              [](const std::string& x, const std::string& y) { return Lower(x) < Lower(y); });
    return t;
}

// Built once; a table made before the application existed (aliases only) is rebuilt once it does.
const FamilyTable& Families()
{
    static FamilyTable table = BuildFamilies();
    if (!table.withDatabase && QGuiApplication::instance())
        table = BuildFamilies();
    return table;
}

bool IsSymbolName(const std::string& lowerName)
{
    for (const char* s : kSymbolNames)
        if (lowerName == s)
            return true;
    return false;
}

int BigEndian16(const QByteArray& table, int offset, bool isSigned)
{
    if (offset < 0 || offset + 2 > table.size())
        return 0;
    const int v =
        (static_cast<unsigned char>(table[offset]) << 8) | static_cast<unsigned char>(table[offset + 1]);
    return isSigned && v >= 0x8000 ? v - 0x10000 : v;
}

std::uint32_t BigEndian32(const QByteArray& table, int offset)
{
    if (offset < 0 || offset + 4 > table.size())
        return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(table[offset + i]);
    return v;
}

// Design units of the font's vertical metrics.
struct DesignMetrics
{
    int unitsPerEm = 2048;
    int winAscent = 0;
    int winDescent = 0;
    int avgCharWidth = 0;
    int hheaAscent = 0;
    int hheaDescent = 0; // negative below the baseline
    int lineGap = 0;
    int maxAdvance = 0;
    int strikeSize = 0;
    int strikePos = 0;
    bool symbolCodePage = false;
    bool valid = false;
};

DesignMetrics ReadDesignMetrics(const QRawFont& raw)
{
    DesignMetrics m;
    const QByteArray head = raw.fontTable("head");
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray hhea = raw.fontTable("hhea");
    if (head.size() < 54 || os2.size() < 78 || hhea.size() < 36)
        return m;
    m.unitsPerEm = BigEndian16(head, 18, false);
    m.avgCharWidth = BigEndian16(os2, 2, true);
    m.strikeSize = BigEndian16(os2, 26, true);
    m.strikePos = BigEndian16(os2, 28, true);
    m.winAscent = BigEndian16(os2, 74, false);
    m.winDescent = BigEndian16(os2, 76, false);
    if (os2.size() >= 82)
        m.symbolCodePage = (BigEndian32(os2, 78) & 0x80000000u) != 0;
    m.hheaAscent = BigEndian16(hhea, 4, true);
    m.hheaDescent = BigEndian16(hhea, 6, true);
    m.lineGap = BigEndian16(hhea, 8, true);
    m.maxAdvance = BigEndian16(hhea, 10, false);
    m.valid = m.unitsPerEm > 0 && m.winAscent + m.winDescent > 0;
    return m;
}

int Scale(int designUnits, int em, int unitsPerEm)
{
    return Round(double(designUnits) * em / unitsPerEm);
}

QFont MakeQFont(const std::string& family, int em, int weight, bool italic)
{
    QFont f(QString::fromStdString(family));
    f.setPixelSize(std::max(1, em));
    f.setWeight(QFont::Weight(std::clamp(weight <= 0 ? FW_NORMAL : weight, 100, 900)));
    f.setItalic(italic);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(
        QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return f;
}

std::shared_ptr<const Font::Data> Realise(const LogFont& desc)
{
    auto data = std::make_shared<Font::Data>();
    Font::Data& d = *data;
    d.desc = desc;
    std::string family = ResolveFontFamily(desc.Name);
    if (desc.Pitch == FIXED_PITCH && !FontInstalled(desc.Name))
        family = "Liberation Mono";
    d.family = family;

    // Read the design metrics at a nominal size, then settle the em height.
    QRawFont probe = QRawFont::fromFont(MakeQFont(family, 100, desc.Weight, desc.Italic));
    DesignMetrics m = probe.isValid() ? ReadDesignMetrics(probe) : DesignMetrics{};
    const int cellUnits = m.valid ? m.winAscent + m.winDescent : 1;
    const int unitsPerEm = m.valid ? m.unitsPerEm : 1;
    int em;
    if (desc.Height < 0)
        em = desc.Height < -kMaxEm ? kMaxEm : -desc.Height;
    else {
        const int cell = desc.Height == 0 ? 16 : std::min(desc.Height, kMaxEm);
        em = std::max(1, MulDiv(cell, unitsPerEm, cellUnits));
    }
    em = std::clamp(em, 1, kMaxEm);
    d.em = em;
    d.qfont = MakeQFont(family, em, desc.Weight, desc.Italic);
    d.raw = QRawFont::fromFont(d.qfont);
    if (family != kSansFace)
        d.fallback = QRawFont::fromFont(MakeQFont(kSansFace, em, desc.Weight, desc.Italic));

    TextMetrics& tm = d.tm;
    if (m.valid) {
        tm.tmAscent = Scale(m.winAscent, em, m.unitsPerEm);
        tm.tmDescent = Scale(m.winDescent, em, m.unitsPerEm);
        const int gap = m.lineGap - ((m.winAscent + m.winDescent) - (m.hheaAscent - m.hheaDescent));
        tm.tmExternalLeading = std::max(0, Scale(gap, em, m.unitsPerEm));
        tm.tmAveCharWidth = Scale(m.avgCharWidth, em, m.unitsPerEm);
        tm.tmMaxCharWidth = Scale(m.maxAdvance, em, m.unitsPerEm);
        d.strikeOutPos = std::max(1, Scale(m.strikePos, em, m.unitsPerEm));
        d.strikeOutSize = std::max(1, Scale(m.strikeSize, em, m.unitsPerEm));
    } else if (d.raw.isValid()) {
        tm.tmAscent = Round(d.raw.ascent());
        tm.tmDescent = Round(d.raw.descent());
        tm.tmExternalLeading = std::max(0, Round(d.raw.leading()));
        tm.tmAveCharWidth = Round(d.raw.averageCharWidth());
        tm.tmMaxCharWidth = Round(d.raw.maxCharWidth());
        d.strikeOutPos = std::max(1, tm.tmAscent / 3);
    } else {
        tm.tmAscent = em - em / 5;
        tm.tmDescent = em / 5;
        tm.tmAveCharWidth = em / 2;
        tm.tmMaxCharWidth = em;
    }
    if (!m.valid)
        d.strikeOutSize = std::max(1, em / 14);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - em;
    tm.tmWeight = desc.Weight <= 0 ? FW_NORMAL : desc.Weight;
    tm.tmItalic = desc.Italic;
    tm.tmUnderlined = desc.Underline;
    tm.tmStruckOut = desc.StrikeOut;
    if (d.raw.isValid()) {
        d.underlinePos = std::max(1, Round(d.raw.underlinePosition()));
        d.underlineSize = std::max(1, Round(d.raw.lineThickness()));
    } else {
        d.underlinePos = std::max(1, tm.tmDescent / 2);
    }
    d.underlinePos = std::min(d.underlinePos, std::max(1, tm.tmDescent - d.underlineSize + 1));

    // The realised character set: the default set realises as the system's, symbol fonts as symbol.
    d.symbol = IsSymbolName(Lower(Trim(desc.Name))) || m.symbolCodePage;
    if (d.symbol && (desc.Charset == DEFAULT_CHARSET || desc.Charset == SYMBOL_CHARSET))
        tm.tmCharSet = SysValues().SymbolCharset;
    else if (desc.Charset == DEFAULT_CHARSET)
        tm.tmCharSet = SysValues().DefaultCharset;
    else
        tm.tmCharSet = desc.Charset & 0xFF;
    return data;
}

// Realised fonts by description. Single UI thread; the lock keeps stray use from other threads safe.
// Orders descriptions without copying them, so that finding a realised font allocates nothing.
struct LogFontLess
{
    static auto Tie(const LogFont& f)
    {
        return std::tie(f.Name, f.Height, f.Weight, f.Italic, f.Underline, f.StrikeOut, f.Charset, f.Pitch);
    }
    bool operator()(const LogFont& a, const LogFont& b) const { return Tie(a) < Tie(b); }
};

struct FontCache
{
    std::mutex lock;
    std::map<LogFont, std::shared_ptr<const Font::Data>, LogFontLess> fonts;
};

FontCache& Cache();

// The realised fonts hold Qt font engines, which must go before the application object does.
void ReleaseCachedFonts()
{
    FontCache& c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    c.fonts.clear();
}

FontCache& Cache()
{
    static FontCache cache;
    static const bool registered = [] {
        if (QCoreApplication::instance())
            qAddPostRoutine(ReleaseCachedFonts);
        return true;
    }();
    (void)registered;
    return cache;
}

std::shared_ptr<const Font::Data> Lookup(const LogFont& desc)
{
    FontCache& c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.fonts.find(desc);
    if (it != c.fonts.end())
        return it->second;
    if (c.fonts.size() >= 1024) {
        // Forget fonts nobody holds any more.
        for (auto i = c.fonts.begin(); i != c.fonts.end();)
            i = i->second.use_count() == 1 ? c.fonts.erase(i) : std::next(i);
    }
    auto data = Realise(desc);
    c.fonts.emplace(desc, data);
    return data;
}

} // namespace

// ---------------------------------------------------------------------------------------------

GlyphEntry Font::Data::Lookup(std::uint32_t codePoint) const
{
    GlyphEntry e;
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0) ||
        (codePoint >= 0xD800 && codePoint < 0xE000)) {
        e.face = FaceNone;
        return e;
    }
    QChar chars[2];
    int nChars = 1;
    if (codePoint >= 0x10000) {
        chars[0] = QChar(QChar::highSurrogate(codePoint));
        chars[1] = QChar(QChar::lowSurrogate(codePoint));
        nChars = 2;
    } else {
        chars[0] = QChar(char16_t(codePoint));
    }
    auto glyphOf = [&](const QRawFont& font, quint32& glyph) {
        if (!font.isValid())
            return false;
        int numGlyphs = 1;
        glyph = 0;
        return font.glyphIndexesForChars(chars, nChars, &glyph, &numGlyphs) && numGlyphs >= 1 && glyph != 0;
    };
    quint32 glyph = 0;
    const QRawFont* face = nullptr;
    if (glyphOf(raw, glyph)) {
        face = &raw;
        e.face = FaceMain;
    } else if (glyphOf(fallback, glyph)) {
        face = &fallback;
        e.face = FaceFallback;
    } else if (raw.isValid()) {
        face = &raw; // the main face's missing-glyph box
        glyph = 0;
        e.face = FaceMain;
    } else {
        e.face = FaceNone;
        e.advance = tm.tmAveCharWidth;
        return e;
    }
    QPointF advance;
    face->advancesForGlyphIndexes(&glyph, &advance, 1);
    e.glyph = glyph;
    e.advance = Round(advance.x());
    return e;
}

void Font::Data::BuildPage(int page) const
{
    auto p = std::make_unique<Page>();
    if (page >= 0xD8 && page < 0xE0) {
        for (GlyphEntry& e : *p)
            e.face = FaceNone;
    } else if (raw.isValid()) {
        // One call per page for the main face; characters it lacks go one by one.
        QChar chars[256];
        quint32 glyphs[256];
        QPointF advances[256];
        for (int i = 0; i < 256; ++i)
            chars[i] = QChar(char16_t(page * 256 + i));
        int numGlyphs = 256;
        const bool ok = raw.glyphIndexesForChars(chars, 256, glyphs, &numGlyphs) && numGlyphs == 256;
        if (ok)
            raw.advancesForGlyphIndexes(glyphs, advances, 256);
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t cp = std::uint32_t(page * 256 + i);
            if (ok && glyphs[i] != 0 && !(cp < 0x20 || (cp >= 0x7F && cp < 0xA0))) {
                (*p)[i] = GlyphEntry{Round(advances[i].x()), glyphs[i], FaceMain};
            } else {
                (*p)[i] = Lookup(cp);
            }
        }
    } else {
        for (int i = 0; i < 256; ++i)
            (*p)[i] = Lookup(std::uint32_t(page * 256 + i));
    }
    pages[page] = std::move(p);
}

const GlyphEntry& Font::Data::SupplementaryEntry(std::uint32_t codePoint) const
{
    auto it = supplementary.find(codePoint);
    if (it != supplementary.end())
        return it->second;
    return supplementary.emplace(codePoint, Lookup(codePoint)).first->second;
}

void Font::Data::Entries(const char16_t* text, int n, const GlyphEntry** out) const
{
    static const GlyphEntry kNone{0, 0, FaceNone};
    TrimSupplementary();
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            const std::uint32_t cp = 0x10000 + ((std::uint32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            out[i] = &SupplementaryEntry(cp);
            out[i + 1] = &kNone;
            ++i;
        } else {
            out[i] = &Entry(c);
        }
    }
}

// ---------------------------------------------------------------------------------------------

Font::Font() : Font(LogFont{}) {}
Font::Font(const LogFont& description) : d(Lookup(description)) {}
Font::~Font() = default;
Font::Font(const Font&) = default;
Font& Font::operator=(const Font&) = default;

const LogFont& Font::Description() const
{
    return d->desc;
}
const TextMetrics& Font::Metrics() const
{
    return d->tm;
}
const std::string& Font::FamilyName() const
{
    return d->family;
}
int Font::PixelSize() const
{
    return d->em;
}
bool Font::IsSymbolFont() const
{
    return d->symbol;
}
const void* Font::Id() const
{
    return d.get();
}

int Font::Advance(char16_t c) const
{
    return d->Entry(c).advance;
}

void Font::Advances(const char16_t* text, int n, int* out) const
{
    d->TrimSupplementary();
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            const std::uint32_t cp = 0x10000 + ((std::uint32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            out[i] = d->SupplementaryEntry(cp).advance;
            out[i + 1] = 0;
            ++i;
        } else {
            out[i] = d->Entry(c).advance;
        }
    }
}

int Font::Width(std::u16string_view text) const
{
    d->TrimSupplementary();
    int w = 0;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            const std::uint32_t cp = 0x10000 + ((std::uint32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            w += d->SupplementaryEntry(cp).advance;
            ++i;
        } else {
            w += d->Entry(c).advance;
        }
    }
    return w;
}

std::string ResolveFontFamily(const std::string& name)
{
    const FamilyTable& t = Families();
    auto it = t.byLowerName.find(Lower(Trim(name)));
    return it != t.byLowerName.end() ? it->second : std::string(kSansFace);
}

bool FontInstalled(const std::string& name)
{
    const FamilyTable& t = Families();
    return t.byLowerName.count(Lower(Trim(name))) != 0;
}

std::vector<std::string> InstalledFontNames()
{
    return Families().names;
}

int PointsToHeight(double points)
{
    const double px = SysValues().PixelsPerInch * points / 72.0;
    if (!(px == px))
        return 0; // NaN
    return -Round(std::clamp(px, -1000000.0, 1000000.0));
}

QFont QFontOf(const Font& font)
{
    return font.Realised().qfont;
}

} // namespace platform
