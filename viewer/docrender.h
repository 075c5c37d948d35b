#pragma once
// A document built, formatted and painted without a window: the engine behind the render and dump
// commands, the fuzz target and the layout benchmarks. The viewer control does the same with its own
// paint area and scroll bars.

#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/types.h"
#include "reader/builder.h"

class TSectionList;
class TStringBitmapList;

class DocumentRenderer {
public:
    DocumentRenderer();
    ~DocumentRenderer();
    DocumentRenderer(const DocumentRenderer&) = delete;
    DocumentRenderer& operator=(const DocumentRenderer&) = delete;

    // Look of the document when it sets none (the viewer's defaults).
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int FontSize = 12;
    platform::TColor FontColor = platform::clBtnText;
    platform::TColor Background = platform::clBtnFace;
    platform::TColor HotSpotColor = 0xFF0000;
    platform::TColor VisitedColor = 0x800080;
    int MarginWidth = 10;
    int MarginHeight = 5;
    // Folder that relative names of linked sheets are taken from.
    std::string BaseFolder;

    // Builds the document of an HTML text (plainText: a text file shown as it is).
    void Load(const std::string& document, bool plainText = false);
    // Formats to a width; answers the document height.
    int Format(int width);
    // Paints the part of the document from top, height pixels high, into a new bitmap of the width
    // last formatted.
    std::unique_ptr<platform::Bitmap> Paint(int top, int height);

    TSectionList& Root() { return *FRoot; }
    platform::Canvas& MeasureCanvas() { return *FCanvas; }
    const THtmlBuilder& Builder() const { return FBuilder; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int MaxWidth() const { return FMaxWidth; }

private:
    std::unique_ptr<TStringBitmapList> FImageCache;  // outlives the document's pictures
    std::unique_ptr<TSectionList> FRoot;
    THtmlBuilder FBuilder;
    platform::Bitmap FMeasureBitmap{1, 1};
    std::unique_ptr<platform::Canvas> FCanvas;
    int FWidth = 0;
    int FHeight = 0;
    int FMaxWidth = 0;
};
