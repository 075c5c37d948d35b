#pragma once
// A readable account of a formatted document: every item with its kind and document rectangle, and every
// text line with its baseline, left edge, width and text. Tools print it; tests read layouts through it.

#include <string>

namespace platform {
class Canvas;
}

class TSectionList;

// canvas measures line widths; the document must have been laid out with it.
std::string DumpLayout(TSectionList& root, platform::Canvas& canvas);
