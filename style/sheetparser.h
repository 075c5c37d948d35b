#pragma once
// The style-sheet parser: style elements, linked sheets and style attributes. It never reports an error;
// what it cannot read it skips. Nesting is handled with counters, never by recursion, so no sheet can
// exhaust the stack.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/attributes.h"

class TStyleList;
class TProperties;

// Delivers the next character of a sheet, 0 at the end.
using TStyleReader = std::function<char()>;
// Answers the character the reader would deliver next, without taking it.
using TStylePeek = std::function<char()>;

// Parses until the end of the source or, unless fromFile, until a "<" at the top level (the start of the
// closing style tag). currentChar is the caller's current character on entry and is handed back (in upper
// case) on return. basePath (a folder or an address with "://") makes url( ) values absolute.
// With peek (a style element read from the page), the comment markers "<!--" and "-->" are skipped
// wherever they stand at the top level, and only "</" ends the sheet; the reader is then left on its "<".
void ParseStyleSheet(TStyleList& styles, char& currentChar, const TStyleReader& reader, const std::string& basePath,
                     bool fromFile, const TStylePeek& peek = nullptr);
// A whole sheet held in memory, read as a linked sheet file.
void ParseStyleSheetText(TStyleList& styles, std::string_view text, const std::string& basePath);
// One element's style attribute.
void ParseStyleAttribute(std::string_view text, TProperties& props);
// A style attribute parsed into new properties, in the form the attribute list keeps them
// (TAttributeList::StyleParser).
TOwnedProperties ParseInlineStyle(const std::string& text);

// ---- pieces shared with tools and tests ----
// Splits shorthand values into at most maxCount words (quoted parts stay whole, "12px/1.4" splits before "/").
std::vector<std::string> SplitStyleWords(std::string_view value, std::size_t maxCount);
// The storage key of one selector: canonical piece order, and for contextual selectors the reversed
// pieces with the ancestor count and the list's next sequence number.
std::string SelectorKey(TStyleList& styles, std::string_view selector);
// url( ) of a sheet value made absolute against basePath.
std::string MakeUrlAbsolute(std::string_view value, const std::string& basePath);
