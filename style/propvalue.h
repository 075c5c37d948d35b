#pragma once
// One property slot: empty, text, a 32-bit integer, a small (8-bit) integer or a real.

#include <cstdint>
#include <string>
#include <string_view>

class TPropValue {
public:
    enum class Kind : std::uint8_t { Empty, Text, Integer, SmallInt, Real };

    TPropValue() = default;
    static TPropValue FromText(std::string_view s)
    {
        TPropValue v;
        v.FKind = Kind::Text;
        v.FText = s;
        return v;
    }
    static TPropValue FromInt(std::int32_t i)
    {
        TPropValue v;
        v.FKind = Kind::Integer;
        v.FInt = i;
        return v;
    }
    static TPropValue FromSmall(std::int8_t i)
    {
        TPropValue v;
        v.FKind = Kind::SmallInt;
        v.FInt = i;
        return v;
    }
    static TPropValue FromReal(double r)
    {
        TPropValue v;
        v.FKind = Kind::Real;
        v.FReal = r;
        return v;
    }

    Kind GetKind() const { return FKind; }
    bool IsEmpty() const { return FKind == Kind::Empty; }
    bool IsText() const { return FKind == Kind::Text; }
    // An integer of either width (colours, lengths in pixels, markers, small enumerations).
    bool IsOrdinal() const { return FKind == Kind::Integer || FKind == Kind::SmallInt; }
    bool IsReal() const { return FKind == Kind::Real; }

    const std::string& Text() const { return FText; }  // empty unless IsText
    std::int32_t Int() const { return IsOrdinal() ? FInt : 0; }
    double Real() const { return FKind == Kind::Real ? FReal : IsOrdinal() ? double(FInt) : 0.0; }
    bool TextIs(std::string_view s) const { return FKind == Kind::Text && FText == s; }

    void Clear()
    {
        FKind = Kind::Empty;
        FText.clear();
    }

    friend bool operator==(const TPropValue& a, const TPropValue& b)
    {
        if (a.FKind != b.FKind)
            return false;
        switch (a.FKind) {
        case Kind::Empty: return true;
        case Kind::Text: return a.FText == b.FText;
        case Kind::Real: return a.FReal == b.FReal;
        default: return a.FInt == b.FInt;
        }
    }

private:
    Kind FKind = Kind::Empty;
    std::int32_t FInt = 0;
    double FReal = 0.0;
    std::string FText;
};
