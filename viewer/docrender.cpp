// A document built, formatted and painted without a window.

#include "viewer/docrender.h"

#include "images/imagecache.h"
#include "layout/sectionlist.h"
#include "platform/files.h"

DocumentRenderer::DocumentRenderer()
    : FImageCache(std::make_unique<TStringBitmapList>()),
      FRoot(std::make_unique<TSectionList>(nullptr, nullptr)),
      FCanvas(std::make_unique<platform::Canvas>(FMeasureBitmap))
{
}

DocumentRenderer::~DocumentRenderer() = default;

void DocumentRenderer::Load(const std::string& document, bool plainText)
{
    FRoot->Clear();
    FImageCache->SetSorted(true);
    FImageCache->PurgeCache();
    FRoot->ImageCache = FImageCache.get();
    FRoot->SetFonts(FontName, PreFontName, FontSize, FontColor, HotSpotColor, VisitedColor, HotSpotColor,
                    Background, false, true, platform::DEFAULT_CHARSET, MarginHeight, MarginWidth);
    THtmlHost host;
    host.MarginWidth = MarginWidth;
    host.MarginHeight = MarginHeight;
    host.HtmlExpandFilename = [this](const std::string& name) {
        if (name.empty() || name[0] == '/' || BaseFolder.empty())
            return name;
        return BaseFolder + "/" + name;
    };
    FRoot->OnExpandName = host.HtmlExpandFilename;  // pictures are read relative to the page too
    if (plainText)
        FBuilder.ParseText(document, *FRoot, host);
    else
        FBuilder.ParseHtml(document, *FRoot, host);
    FWidth = FHeight = FMaxWidth = 0;
}

int DocumentRenderer::Format(int width)
{
    FWidth = width;
    int cursor = 0;
    FMaxWidth = 0;
    FHeight = FRoot->Layout(FCanvas.get(), 0, width, 0, 0, FMaxWidth, cursor);
    return FHeight;
}

std::unique_ptr<platform::Bitmap> DocumentRenderer::Paint(int top, int height)
{
    const int width = FWidth > 0 ? FWidth : 1;
    height = height > 0 ? height : 1;
    auto bitmap = std::make_unique<platform::Bitmap>(width, height);
    platform::Canvas canvas(*bitmap);
    canvas.FillRect(platform::Rect{0, 0, width, height}, platform::ColorToRGB(FRoot->Background));
    FRoot->ScrollTo(top);
    FRoot->PaintCell(&canvas, platform::Rect{0, 0, width, height}, width, 0, 0, 0, 0);
    return bitmap;
}
