// libFuzzer target: the style-sheet parser over arbitrary bytes, read as an embedded sheet, as a linked
// sheet with a folder or an address as base, and as a style attribute; then a few elements are combined
// against what it stored, contextual rules included.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "style/propstack.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    TStyleList styles;
    styles.LoadDefaults("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF, true, 1, 5, 10);

    switch (flags & 3) {
    case 0: {
        // An embedded sheet: it ends at a "<" on the top level, which is handed back, or at the end.
        std::size_t pos = 0;
        TStyleReader reader = [&]() -> char { return pos < text.size() ? text[pos++] : 0; };
        char current = '>';
        ParseStyleSheet(styles, current, reader, "", false);
        break;
    }
    case 1:
        ParseStyleSheetText(styles, text, "c:\\site\\css\\");
        break;
    case 2:
        ParseStyleSheetText(styles, text, "http://host/a/b.css");
        break;
    default: {
        TProperties p;
        ParseStyleAttribute(text, p);
        break;
    }
    }

    // Combine a small tree against the rules.
    TPropStack stack;
    styles.PropStack = &stack;
    auto bottom = std::make_unique<TProperties>();
    bottom->InitFromDefault(*styles.DefaultProps);
    stack.Add(std::move(bottom));
    static const char* const tags[] = {"body", "div", "ul", "li", "p", "span", "a", "td"};
    static const char* const classes[] = {"", "x", "a.b", "c"};
    static const char* const pseudos[] = {"", "", "hover", "visited"};
    TProperties inlineProps;
    ParseStyleAttribute(text.substr(0, 256), inlineProps);
    for (int i = 0; i < 8; ++i) {
        auto p = std::make_unique<TProperties>();
        p->Inherit(tags[i], stack.Top());
        TProperties& r = *stack.Add(std::move(p));
        r.Combine(styles, tags[i], classes[(flags >> 2 ^ i) & 3], i == 3 ? "main" : "", pseudos[(flags >> 4 ^ i) & 3], "",
                  i == 5 ? &inlineProps : nullptr);
        MarginArray m;
        int autoCount;
        r.ConvMargArray(800, 600, 16, 8, m, autoCount);
        BackgroundPos x, y;
        r.GetBackgroundPos(16, 8, x, y);
        r.GetLineHeight(18);
    }
    return 0;
}
