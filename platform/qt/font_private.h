#pragma once
// The realised data behind platform::Font: the Qt fonts, the GDI metrics and the advance table.

#include <QFont>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/font.h"

namespace platform {

// One code unit's entry of the advance table.
struct GlyphEntry
{
    std::int32_t advance = 0;
    std::uint32_t glyph = 0;
    std::uint8_t face = 0; // FaceMain, FaceFallback or FaceNone
};

constexpr std::uint8_t FaceMain = 0;
constexpr std::uint8_t FaceFallback = 1;
constexpr std::uint8_t FaceNone = 2; // not drawn (controls, lone surrogates)

struct Font::Data
{
    LogFont desc;
    std::string family;
    int em = 0;
    TextMetrics tm;
    bool symbol = false;
    QFont qfont;
    QRawFont raw;
    QRawFont fallback;    // glyphs the main face lacks
    int underlinePos = 0; // pixels below the baseline
    int underlineSize = 1;
    int strikeOutPos = 0; // pixels above the baseline
    int strikeOutSize = 1;

    // Entries of the Basic Multilingual Plane, in pages of 256 made on first use; characters beyond it
    // (surrogate pairs) in a map keyed by code point.
    using Page = std::array<GlyphEntry, 256>;
    mutable std::array<std::unique_ptr<Page>, 256> pages;
    mutable std::unordered_map<std::uint32_t, GlyphEntry> supplementary;

    const GlyphEntry& Entry(char16_t c) const
    {
        const std::unique_ptr<Page>& page = pages[c >> 8];
        if (!page)
            BuildPage(c >> 8);
        return (*page)[c & 0xFF];
    }
    const GlyphEntry& SupplementaryEntry(std::uint32_t codePoint) const;
    // Bounds the supplementary map. Entries handed out stay valid until the next trim, so callers trim
    // only before they take entries, never while holding some.
    void TrimSupplementary() const
    {
        if (supplementary.size() > 4096)
            supplementary.clear();
    }

    // Fills out[0..n) with each code unit's entry; a surrogate pair's entry goes to its high half and
    // the low half gets an empty, undrawn entry.
    void Entries(const char16_t* text, int n, const GlyphEntry** out) const;

private:
    void BuildPage(int page) const;
    GlyphEntry Lookup(std::uint32_t codePoint) const;
};

} // namespace platform
