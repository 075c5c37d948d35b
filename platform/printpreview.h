#pragma once
// The print preview window: one sheet at a time as the printer will get it, with page navigation (buttons,
// Page Up/Down, Home/End), zoom (fit to the window's width or a percentage) and a button that prints. The
// sheets are drawn on request by the engine, at the resolution the zoom needs.

#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"

namespace platform {

class PrintPreview
{
public:
    PrintPreview();
    ~PrintPreview();
    PrintPreview(const PrintPreview&) = delete;
    PrintPreview& operator=(const PrintPreview&) = delete;

    // Draws sheet index (0-based) at the given pixels per inch.
    std::function<Bitmap(int index, int pixelsPerInch)> RenderSheet;
    // The print button.
    std::function<void()> OnPrint;

    void SetTitle(const std::string& title);
    // The number of sheets (at least 1) and the width of one in inches (for fitting).
    void SetPages(int count, double sheetWidthInches);
    int PageCount() const;

    // Shown without blocking; the window stays until closed or destroyed.
    void Show();
    void Close();
    bool Visible() const;

    int CurrentPage() const; // 0-based
    void SetCurrentPage(int index);
    void NextPage();
    void PreviousPage();
    // Percent of the sheet's real size (10 .. 400); 0 fits the sheet's width to the window.
    int Zoom() const;
    void SetZoom(int percent);
    // The sheet as last drawn for the window, and its resolution.
    const Bitmap& ShownSheet() const;
    int ShownPixelsPerInch() const;
    // The window as it looks now (an empty bitmap when it was closed for good).
    Bitmap Snapshot() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace platform
