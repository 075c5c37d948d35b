#pragma once
// TProperties: the style state of one element (or of one style rule): 58 property slots indexed by a
// fixed table of property names, the element's identity, its font context and its cached font.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "style/conversions.h"
#include "style/fonts.h"
#include "style/propvalue.h"

class TStyleList;
class TPropStack;

constexpr int MaxStyleProps = 58;
constexpr int NotOnStack = -2;

enum PropIndices : int {
    piFontFamily, piFontSize, piFontStyle, piFontWeight, piTextAlign, piTextDecoration, piLetterSpacing,
    piBorderStyle, piColor, piBackgroundColor, piBorderColor,
    piMarginTop, piMarginRight, piMarginBottom, piMarginLeft,
    piPaddingTop, piPaddingRight, piPaddingBottom, piPaddingLeft,
    piBorderTopWidth, piBorderRightWidth, piBorderBottomWidth, piBorderLeftWidth,
    piBorderTopColor, piBorderRightColor, piBorderBottomColor, piBorderLeftColor,
    piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle, piBorderLeftStyle,
    piWidth, piHeight, piTop, piLeft,
    piVisibility, piLineHeight, piBackgroundImage, piBackgroundPosition, piBackgroundRepeat,
    piBackgroundAttachment, piVerticalAlign, piPosition, piZIndex, piListStyleType, piListStyleImage,
    piFloat, piClear, piTextIndent, piPageBreakBefore, piPageBreakAfter, piPageBreakInside,
    piTextTransform, piWordWrap, piFontVariant, piBorderCollapse, piOverflow, piDisplay,
};
static_assert(piDisplay + 1 == MaxStyleProps);

// The property names in slot order.
extern const char* const PropWords[MaxStyleProps];
// Index of a property name (exact, lower case), -1 when unknown.
int PropertyIndex(std::string_view name);

// Pixel values of slots 9..34 (colours, margins, paddings, border widths, border colours, border styles
// as BorderStyleType, width, height, top, left), indexed by the slot number.
using MarginArray = std::array<int, piLeft + 1>;

struct BackgroundPos {
    BgPosKind PosType = BgLength;
    int Value = 0;  // pixels for BgLength, 0..100 for BgPercent
    bool RepeatD = true;
    bool Fixed = false;
};

class TProperties {
public:
    TProperties();
    ~TProperties();
    TProperties(const TProperties&) = delete;
    TProperties& operator=(const TProperties&) = delete;
    // Back to the state of a new object (with a new Serial), keeping the storage.
    void Reset();

    std::unique_ptr<TMyFont> FontCache;
    bool HasLinkFonts = false;
    std::string FallbackFont;
    std::string ElemTag, ElemClass, ElemId, ElemPseudo, ElemTitle;
    TProperties* InlineProps = nullptr;  // not owned
    TColor FontBackground = NoColor;
    int Charset = 1;
    int CodePage = 0;
    int EmHeight = 0;
    int ExHeight = 0;
    std::array<TPropValue, MaxStyleProps> Values;
    std::array<bool, MaxStyleProps> Explicit{};
    std::unique_ptr<TFontInfoArray> LinkFonts;
    int Serial = 0;

    // ---- derivation ----
    void Inherit(std::string_view tag, const TProperties& parent);
    void InitFromDefault(const TProperties& defaultProps);
    // Takes the non-explicit slots of source again; stackIndex is this element's entry on the stack.
    void Refresh(const TProperties& source, TStyleList& styles, int stackIndex);
    // For HTML presentation attributes: sets the slot unless a style rule already did.
    void SetUnlessExplicit(const TPropValue& value, int index);
    void AssignCharset(int charset);
    void AssignUTF8();
    // Copies the 58 slots (not the flags).
    void CopySlots(const TProperties& source) { Values = source.Values; }

    // ---- declarations of a style attribute ----
    void AddPropertyByIndex(int index, std::string_view text);
    void AddPropertyByName(std::string_view name, std::string_view text);

    // Computes this element's slots from the style list, after Inherit from its parent. The element is at
    // stackIndex on the style list's property stack: -1 means the top entry, NotOnStack an element without
    // ancestors (contextual rules then never match).
    void Combine(TStyleList& styles, const std::string& tag, const std::string& cls, const std::string& id,
                 const std::string& pseudo, const std::string& title, TProperties* inlineProps,
                 int stackIndex = -1);
    // Merges every set slot of a rule over this element's slots, marking them explicit.
    void MergeRule(const TProperties& rule);

    // ---- accessors ----
    bool GetVertAlign(AlignmentType& align) const;
    bool GetFloat(AlignmentType& align) const;
    bool GetClear(ClearType& clear) const;
    PositionType GetPosition() const;
    VisibilityType GetVisibility() const;
    int GetZIndex() const;
    ListStyleType GetListStyleType() const;
    std::string GetListStyleImage() const;
    bool GetBackgroundImage(std::string& image) const;
    void GetBackgroundPos(int em, int ex, BackgroundPos& x, BackgroundPos& y) const;
    TColor GetBackgroundColor() const;
    TColor GetColor() const;
    void SetFontBackground();
    BorderStyleType GetBorderStyle() const;
    bool HasBorderStyle() const;
    int GetLineHeight(int naturalHeight) const;  // -1: "normal"
    int GetTextIndent(bool& isPercent) const;
    int GetTextTransform() const;
    std::string GetFontVariant() const;
    void GetPageBreaks(bool& before, bool& after, bool& inside) const;
    bool DisplayNone() const;
    bool IsOverflowHidden() const;
    bool IsCollapse() const;

    void ConvMargArray(int baseWidth, int baseHeight, int em, int ex, MarginArray& m, int& autoCount) const;
    void ConvVertMargins(int baseWidth, int em, int ex, int& top, int& bottom, bool& topIsPara,
                         bool& bottomIsPara) const;
    void ConvCellPadding(int em, int ex, int& top, int& right, int& bottom, int& left) const;
    void ConvInlineMargArray(int baseWidth, int em, int ex, MarginArray& m) const;

    // ---- fonts ----
    // A new font owned by the caller: a copy of the cached font, built on first use.
    std::unique_ptr<TMyFont> GetFont();
    void GetFontInfo(ThtFontInfo& info) const;
    // Fills the four looks of LinkFonts; a is this element's index on the style list's property stack.
    void ComputeLinkFonts(TStyleList& styles, int a);
    // What the link states derived from this element depend on, as one text (stack: none when the
    // element is not on the property stack).
    std::string LinkFontKey(const TPropStack* stack, int a) const;
    void CopyLinkFonts(TFontInfoArray& target) const;

private:
    void UpdateLinkFonts(int index, const TPropValue& value);
};

// Stores one declaration's value into a slot the way style text does. For a style attribute
// (inlineAttr) an unparseable "color" stores 0; in a sheet it leaves the slot alone.
// Returns false when nothing was stored.
bool AssignPropertyText(TProperties& props, int index, std::string_view text, bool inlineAttr);
