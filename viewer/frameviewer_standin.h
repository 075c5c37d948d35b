#pragma once
// A small frame viewer with the programming interface of the real one, for the info window until frames
// are in place: it checks and records the files it is asked to open and shows each page in an HTML viewer
// control that fills it; a click on a link raises the link event, and local pages are followed here.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/exception.h"
#include "platform/types.h"

class THTMLViewer;

// Raised by OpenFile for a file that is not there ("Can't locate file: " + the file part).
VEXA_DECLARE_EXCEPTION(EfvLoadError, platform::Exception)

enum fvOptionEnum {
    fvMetaRefresh,
    fvNoBorder,
    fvNoLinkUnderline,
    fvOverLinksActive,
    fvPrintMonochromeBlack,
    fvPrintTableBackground,
    fvPrintBackground,
    fvShowVScroll,
    fvNoFocusRect,
    fvShowDummyCaret,
    fvNoWheelMouse,
};

// A set of fvOptionEnum members.
class TFrameViewerOptions {
public:
    TFrameViewerOptions() = default;
    TFrameViewerOptions(std::initializer_list<fvOptionEnum> members)
    {
        for (fvOptionEnum m : members)
            Include(m);
    }
    bool Contains(fvOptionEnum m) const { return (bits_ >> m) & 1u; }
    void Include(fvOptionEnum m) { bits_ |= 1u << m; }
    void Exclude(fvOptionEnum m) { bits_ &= ~(1u << m); }
    friend bool operator==(const TFrameViewerOptions&, const TFrameViewerOptions&) = default;

private:
    std::uint32_t bits_ = 0;
};

using THotSpotTargetClickEvent =
    std::function<void(platform::Control* Sender, const std::string& Target, const std::string& URL, bool& Handled)>;
using TProcessingEvent = std::function<void(platform::Control* Sender, bool ProcessingOn)>;

class TFrameViewer : public platform::Control {
public:
    explicit TFrameViewer(platform::Control* parent);
    ~TFrameViewer() override;

    // Loads a file as the top-level document; name is relative to the current folder and may end in
    // "#" and an anchor. Ignored while busy. A missing file part raises EfvLoadError before anything
    // changes.
    void OpenFile(const std::string& name);
    bool Busy() const { return processing_; }

    // ---- published properties
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool v) { noSelect_ = v; }
    double PrintMarginLeft() const { return printMargins_[0]; }
    double PrintMarginRight() const { return printMargins_[1]; }
    double PrintMarginTop() const { return printMargins_[2]; }
    double PrintMarginBottom() const { return printMargins_[3]; }
    void SetPrintMarginLeft(double v) { printMargins_[0] = v; }
    void SetPrintMarginRight(double v) { printMargins_[1] = v; }
    void SetPrintMarginTop(double v) { printMargins_[2] = v; }
    void SetPrintMarginBottom(double v) { printMargins_[3] = v; }
    double PrintScale() const { return printScale_; }
    void SetPrintScale(double v) { printScale_ = v; }
    int MarginWidth() const { return marginWidth_; }
    void SetMarginWidth(int v) { marginWidth_ = v; }
    int MarginHeight() const { return marginHeight_; }
    void SetMarginHeight(int v) { marginHeight_ = v; }
    platform::TColor DefBackground() const { return defBackground_; }
    void SetDefBackground(platform::TColor v);
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& v) { defFontName_ = v; }
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& v) { defPreFontName_ = v; }
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int v) { defFontSize_ = v; }
    platform::TColor DefFontColor() const { return defFontColor_; }
    void SetDefFontColor(platform::TColor v) { defFontColor_ = v; }
    int HistoryMaxCount() const { return historyMaxCount_; }
    void SetHistoryMaxCount(int v)
    {
        if (v >= 0)
            historyMaxCount_ = v;
    }
    int CharSet() const { return charSet_; }
    void SetCharSet(int v) { charSet_ = v; }
    const TFrameViewerOptions& fvOptions() const { return options_; }
    void SetfvOptions(const TFrameViewerOptions& v) { options_ = v; }

    // ---- events
    THotSpotTargetClickEvent OnHotSpotTargetClick;
    TProcessingEvent OnProcessing;

    // ---- what a test or the headless driver needs of the stand-in
    // Every name OpenFile was called with, in order (including those that failed or were ignored).
    const std::vector<std::string>& OpenRequests() const { return requests_; }
    // The file shown now (as it was named), "" before the first successful load.
    const std::string& CurrentFile() const { return currentFile_; }
    // The shown page's title (UTF-16), "" when it has none.
    const std::u16string& DocumentTitle() const { return title_; }
    // Acts as a click on a link with this target and address: raises OnHotSpotTargetClick and, when the
    // handler leaves Handled false, follows a local link relative to the shown page. Returns Handled.
    bool ClickLink(const std::string& target, const std::string& url);
    // Marks the viewer busy (as during a load); loads and clicks are then ignored.
    void SetProcessing(bool on);

    void Paint(platform::Canvas& canvas, const platform::Rect& updateRect) override;
    void Resize() override;

    // The control that shows the pages.
    THTMLViewer* HtmlViewer() const { return html_.get(); }

private:
    void LoadDocument(const std::string& name);

    bool processing_ = false;
    bool noSelect_ = false;
    double printMargins_[4] = {2, 2, 2, 2};
    double printScale_ = 1;
    int marginWidth_ = 10;
    int marginHeight_ = 5;
    platform::TColor defBackground_ = platform::clBtnFace;
    std::string defFontName_ = "Times New Roman";
    std::string defPreFontName_ = "Courier New";
    int defFontSize_ = 12;
    platform::TColor defFontColor_ = platform::clBtnText;
    int historyMaxCount_ = 0;
    int charSet_ = 1;  // DEFAULT_CHARSET
    TFrameViewerOptions options_{fvPrintMonochromeBlack, fvPrintTableBackground};

    std::vector<std::string> requests_;
    std::string currentFile_;
    std::u16string title_;
    std::u16string text_;  // the page's text without markup, shown when the viewer could not load the page
    std::unique_ptr<THTMLViewer> html_;  // the child control showing the page
    bool shown_ = false;           // html_ shows the current page
};
