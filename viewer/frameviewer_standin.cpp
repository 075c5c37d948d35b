#include "viewer/frameviewer_standin.h"

#include <algorithm>
#include <cctype>

#include "platform/asciitext.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "viewer/htmlviewer.h"

namespace {

// The file part of a name: everything before the first "#".
std::string FilePart(const std::string& name) { return name.substr(0, name.find('#')); }

// The first 64 KB of a page (a preview needs no more); empty when it cannot be read.
std::string ReadHead(const std::string& name)
{
    std::string text;
    try {
        text = platform::ReadFileString(name);
    } catch (const platform::Exception&) {
        return {};
    }
    if (text.size() > 65536)
        text.resize(65536);
    return text;
}

// The TITLE element's text, decoded as the page declares (UTF-8) or in the system code page.
std::u16string ReadTitle(const std::string& name)
{
    const std::string text = ReadHead(name);
    std::string lower = platform::LowerAscii(text);
    std::size_t open = lower.find("<title");
    if (open == std::string::npos || (open = lower.find('>', open)) == std::string::npos)
        return {};
    std::size_t close = lower.find("</title", open);
    if (close == std::string::npos)
        return {};
    std::string raw = text.substr(open + 1, close - open - 1);
    bool utf8 = lower.find("charset=utf-8") != std::string::npos;
    std::u16string title = utf8 ? platform::Utf8ToWide(raw) : platform::MultiByteToWide(platform::CP_ACP, raw);
    for (char16_t& c : title)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    return title;
}

// The page's text without its markup, for a plain preview: tags dropped (block tags become line
// breaks), white space folded, the common entities decoded. Reads at most the first 64 KB.
std::u16string ReadPlainText(const std::string& name)
{
    const std::string text = ReadHead(name);
    std::string lower = platform::LowerAscii(text);
    bool utf8 = lower.find("charset=utf-8") != std::string::npos;
    std::size_t body = lower.find("<body");
    std::size_t pos = body == std::string::npos ? 0 : body;
    static const char* const kBlocks[] = {"p", "br", "h1", "h2", "h3", "li", "tr", "div", "pre", "dt", "dd", "table"};
    static const struct {
        const char* Name;
        const char* Text;
    } kEntities[] = {{"laquo", "\xAB"}, {"raquo", "\xBB"}, {"mdash", "\x97"}, {"ndash", "\x96"}, {"nbsp", " "},
                     {"copy", "\xA9"}, {"amp", "&"},     {"lt", "<"},       {"gt", ">"},       {"quot", "\""}};
    std::string out;
    bool space = false;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == '<') {
            std::size_t end = lower.find('>', pos);
            if (end == std::string::npos)
                break;
            std::size_t n = pos + 1 + (lower[pos + 1] == '/' ? 1 : 0);
            std::size_t stop = lower.find_first_of(" \t\r\n>", n);
            std::string tag = lower.substr(n, stop - n);
            for (const char* b : kBlocks)
                if (tag == b && !out.empty() && out.back() != '\n') {
                    out += '\n';
                    space = false;
                }
            // Table cells side by side, a little apart.
            if ((tag == "td" || tag == "th") && lower[pos + 1] != '/' && !out.empty() && out.back() != '\n') {
                out += "   ";
                space = true;
            }
            pos = end + 1;
        } else if (c == '&') {
            std::size_t semi = lower.find(';', pos);
            std::string entity = semi == std::string::npos ? "" : lower.substr(pos + 1, semi - pos - 1);
            const char* replacement = nullptr;
            for (const auto& e : kEntities)
                if (entity == e.Name)
                    replacement = e.Text;
            if (replacement) {
                out += replacement;
                pos = semi + 1;
            } else {
                out += c;
                ++pos;
            }
            space = false;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!space && !out.empty() && out.back() != '\n')
                out += ' ';
            space = true;
            ++pos;
        } else {
            out += c;
            space = false;
            ++pos;
        }
    }
    std::u16string wide = utf8 ? platform::Utf8ToWide(out) : platform::MultiByteToWide(platform::CP_ACP, out);
    // Windows line breaks for the text drawer.
    std::u16string result;
    for (char16_t ch : wide) {
        if (ch == u'\n')
            result += u'\r';
        result += ch;
    }
    return result;
}

}  // namespace

TFrameViewer::TFrameViewer(platform::Control* parent) : platform::Control(parent)
{
    SetBounds(0, 0, 150, 150);
    SetColor(defBackground_);
    SetCursor(platform::ThickIBeamCursor);
    html_ = std::make_unique<THTMLViewer>(this);
    html_->SetBounds(0, 0, Width(), Height());
    html_->SetVisible(false);
    html_->OnHotSpotClick = [this](THTMLViewer*, const std::string& url, bool& handled) {
        try {
            // A local page is loaded here (so that it is recorded); an anchor of the shown page is left to
            // the control, which scrolls to it.
            handled = ClickLink(html_->HoverTarget(), url) || !FilePart(url).empty();
        } catch (const platform::Exception&) {
            handled = true;  // a missing page: the shown one stays
        }
    };
}

TFrameViewer::~TFrameViewer() = default;

void TFrameViewer::SetDefBackground(platform::TColor v)
{
    defBackground_ = v;
    SetColor(v);
}

void TFrameViewer::SetProcessing(bool on)
{
    if (processing_ == on)
        return;
    processing_ = on;
    if (OnProcessing)
        OnProcessing(this, on);
}

void TFrameViewer::OpenFile(const std::string& name)
{
    requests_.push_back(name);
    if (processing_)
        return;
    std::string file = FilePart(name);
    if (!platform::FileExists(file))
        throw EfvLoadError("Can't locate file: " + file);
    LoadDocument(name);
}

void TFrameViewer::LoadDocument(const std::string& name)
{
    SetProcessing(true);
    currentFile_ = name;
    title_ = ReadTitle(FilePart(name));
    text_ = ReadPlainText(FilePart(name));
    shown_ = false;
    try {
        html_->SetDefBackground(defBackground_);
        html_->SetDefFontName(defFontName_);
        html_->SetDefPreFontName(defPreFontName_);
        html_->SetDefFontSize(defFontSize_);
        html_->SetDefFontColor(defFontColor_);
        html_->SetMarginWidth(marginWidth_);
        html_->SetMarginHeight(marginHeight_);
        html_->SetNoSelect(noSelect_);
        html_->SetBounds(0, 0, Width(), Height());
        html_->OpenFile(name);
        shown_ = true;
    } catch (const std::exception&) {
        // The plain preview stands in for a page the control cannot show.
    }
    html_->SetVisible(shown_);
    SetProcessing(false);
    Invalidate();
}

void TFrameViewer::Resize()
{
    platform::Control::Resize();
    if (html_)
        html_->SetBounds(0, 0, Width(), Height());
}

bool TFrameViewer::ClickLink(const std::string& target, const std::string& url)
{
    if (processing_)
        return true;  // dropped while busy
    bool handled = false;
    if (OnHotSpotTargetClick)
        OnHotSpotTargetClick(this, target, url, handled);
    if (handled)
        return true;
    std::string file = FilePart(url);
    if (file.empty())
        return false;  // an anchor of the shown page: nothing to load
    std::string resolved = platform::ExtractFilePath(FilePart(currentFile_)) + url;
    requests_.push_back(resolved);
    if (!platform::FileExists(FilePart(resolved)))
        throw EfvLoadError("Can't locate file: " + FilePart(resolved));
    LoadDocument(resolved);
    return false;
}

void TFrameViewer::Paint(platform::Canvas& canvas, const platform::Rect& updateRect)
{
    platform::Control::Paint(canvas, updateRect);
    if (currentFile_.empty() || shown_)
        return;
    platform::LogFont lf;
    lf.Name = defFontName_;
    lf.Height = platform::PointsToHeight(defFontSize_ + 4);
    lf.Weight = platform::FW_BOLD;
    canvas.SetFont(platform::Font(lf));
    canvas.SetBkMode(platform::TRANSPARENT);
    canvas.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    canvas.SetTextColor(defFontColor_);
    int y = marginHeight_ + 4;
    if (!title_.empty()) {
        canvas.TextOutW(marginWidth_, y, title_);
        y += canvas.GetTextMetrics().tmHeight + 6;
    }
    lf.Height = platform::PointsToHeight(defFontSize_);
    lf.Weight = platform::FW_NORMAL;
    canvas.SetFont(platform::Font(lf));
    canvas.SetTextColor(platform::clGray);
    canvas.TextOutW(marginWidth_, y, platform::MultiByteToWide(platform::CP_ACP, currentFile_));
    y += canvas.GetTextMetrics().tmHeight + 8;
    canvas.SetTextColor(defFontColor_);
    platform::Rect r = platform::MakeRect(marginWidth_, y, Width() - marginWidth_, Height());
    canvas.DrawTextW(text_, r, platform::DT_WORDBREAK | platform::DT_NOPREFIX);
}
