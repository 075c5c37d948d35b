#pragma once
// A readable listing of what the sheet parser stored: every rule by key with the values it sets.

#include <iosfwd>
#include <string>

class TStyleList;

// Parses sheetText as a linked sheet (no base path, no default sheet) and lists the rules.
void DumpStyleSheet(const std::string& sheetText, std::ostream& out);
// Lists the rules of a style list in key order: "key" then one "  property: value" line per set slot.
void DumpStyleList(const TStyleList& styles, std::ostream& out);
