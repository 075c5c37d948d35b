#include "app/infounit.h"

#include <string>

#include "app/infocloseunit.h"
#include "app/skin.h"
#include "platform/application.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "platform/shell.h"

namespace {

// Height of the find bar at the foot of the viewer.
constexpr int FindBarHeight = 21;

// The window's own font: "MS Sans Serif", 11 pixels.
platform::LogFont WindowFont(bool bold = false, bool underline = false)
{
    platform::LogFont lf;
    lf.Name = "MS Sans Serif";
    lf.Height = -11;
    lf.Weight = bold ? platform::FW_BOLD : platform::FW_NORMAL;
    lf.Underline = underline;
    return lf;
}

// Colours of the plain pictures used when the skin cannot be read.
constexpr platform::TColor kPlainBack = platform::RGB(0xe8, 0xd5, 0xb0);  // light: the links are maroon
constexpr platform::TColor kPlainButton = platform::RGB(0x6a, 0x3a, 0x20);
constexpr platform::TColor kPlainHighlight = platform::RGB(0xd9, 0x71, 0x1c);

// The link captions and their colours.
constexpr platform::TColor kLinkColor = platform::clMaroon;
constexpr platform::TColor kShownLinkColor = platform::clRed;
constexpr int kLinkWidth = 141;

}  // namespace

TInfoForm::TInfoForm()
{
    SetName("InfoForm");
    SetCaption(u"Информация");
    SetBorderless(true);
    SetClientSize(800, 600);
    SetPosition(platform::poScreenCenter);
    SetFont(WindowFont());

    Back = &Add<platform::Image>();
    Back->SetName("Back");
    Back->SetBounds(0, 0, 800, 600);
    Back->SetPicture(LoadSkinPicture("back", 800, 600, kPlainBack));

    Btn0 = MakeButton("Btn0", 26, 218, 158, 25, 0, "btn0", u"Об игре");
    Btn2000 = MakeButton("Btn2000", 26, 246, 158, 25, 2000, "btn2000", u"2000");
    Btn2001 = MakeButton("Btn2001", 26, 273, 158, 25, 2001, "btn2001", u"2001");
    Btn2002 = MakeButton("Btn2002", 26, 301, 158, 25, 2002, "btn2002", u"2002");
    Btn2003 = MakeButton("Btn2003", 26, 329, 158, 25, 2003, "btn2003", u"2003");
    Btn2004 = MakeButton("Btn2004", 26, 357, 158, 25, 2004, "btn2004", u"2004");
    Btn2005 = MakeButton("Btn2005", 26, 385, 158, 25, 2005, "btn2005", u"2005");
    Btn2006 = MakeButton("Btn2006", 26, 413, 158, 25, 2006, "btn2006", u"2006");
    for (TImgBtn* b : YearButtons())
        b->OnClick = [this](platform::Control* s) { BtnClick(s); };

    // The captions of the window description; FormCreate replaces them before the window is shown.
    SubLab1 = MakeLabel("SubLab1", 450, 1);
    SubLab1->SetCaption(u"Об игре");
    SubLab2 = MakeLabel("SubLab2", 467, 2);
    SubLab2->SetCaption(u"Об авторах");

    BtnMin = MakeButton("BtnMin", 639, 17, 45, 45, 0, "btnmin", u"_");
    BtnMin->OnClick = [this](platform::Control* s) { BtnMinClick(s); };
    BtnClose = MakeButton("BtnClose", 735, 16, 45, 45, 0, "btnclose", u"X");
    BtnClose->OnClick = [this](platform::Control* s) { CloseWin(s); };
    BtnTest = MakeButton("BtnTest", 415, 541, 164, 35, 0, "btntest", u"Тест");
    BtnTest->OnClick = [this](platform::Control* s) { BtnTestClick(s); };
    BtnExit = MakeButton("BtnExit", 614, 542, 164, 35, 0, "btnexit", u"Выход");
    BtnExit->OnClick = [this](platform::Control* s) { CloseWin(s); };

    BtnBuf = &Add<platform::Image>();
    BtnBuf->SetName("BtnBuf");
    BtnBuf->SetBounds(8, 192, 17, 17);
    BtnBuf->SetTag(0);
    BtnBuf->SetVisible(false);

    Viewer = &Add<TFrameViewer>();
    Viewer->SetName("Viewer");
    Viewer->SetBounds(216, 104, 551, 385);
    Viewer->SetTabOrder(0);
    Viewer->SetNoSelect(false);
    Viewer->SetPrintMarginLeft(2);
    Viewer->SetPrintMarginRight(2);
    Viewer->SetPrintMarginTop(2);
    Viewer->SetPrintMarginBottom(2);
    Viewer->SetPrintScale(1);
    Viewer->SetMarginWidth(8);
    Viewer->SetMarginHeight(0);
    Viewer->SetDefBackground(platform::clWhite);
    Viewer->SetDefFontName("Arial");
    Viewer->SetDefPreFontName("Courier New");
    Viewer->SetDefFontSize(11);
    Viewer->SetDefFontColor(platform::clNavy);
    Viewer->SetHistoryMaxCount(0);
    Viewer->SetCharSet(platform::DEFAULT_CHARSET);
    Viewer->SetfvOptions({fvNoBorder, fvPrintMonochromeBlack, fvPrintTableBackground});
    Viewer->SetViewerCursor(platform::crDefault);
    Viewer->OnHotSpotTargetClick = [this](platform::Control* s, const std::string& target, const std::string& url,
                                          bool& handled) { ViewerHotSpotTargetClick(s, target, url, handled); };
    Viewer->OnFindRequest = [this](THTMLViewer*, TFindRequest request) { ViewerFindRequest(request); };

    FindBar = &Add<platform::Edit>();
    FindBar->SetName("FindBar");
    FindBar->SetBounds(216, 104 + 385 - FindBarHeight, 551, FindBarHeight);
    FindBar->SetVisible(false);
    FindBar->OnKeyDown = [this](platform::Control*, int& key, platform::TShiftState shift) {
        FindBarKeyDown(key, shift);
    };
    FindBar->OnChange = [this](platform::Control*) { FindBar->SetColor(platform::clWindow); };

    OnCreate = [this](platform::Control* s) { FormCreate(s); };
}

TInfoForm::~TInfoForm() = default;

void TInfoForm::ViewerFindRequest(TFindRequest request)
{
    if (request == TFindRequest::Open || FindBar->Text().empty()) {
        FindBar->SetVisible(true);
        FindBar->BringToFront();
        FindBar->SetFocus();
        FindBar->SelectAll();
        return;
    }
    FindNext(request == TFindRequest::Previous);
}

void TInfoForm::FindBarKeyDown(int& key, platform::TShiftState shift)
{
    if (key == platform::VK_RETURN) {
        FindNext((shift & platform::ssShift) != 0);
        key = 0;
    } else if (key == platform::VK_ESCAPE) {
        FindBar->SetVisible(false);
        Viewer->SetFocus();
        key = 0;
    } else if (key == platform::VK_F3) {
        FindNext((shift & platform::ssShift) != 0);
        key = 0;
    }
}

TFindResult TInfoForm::FindNext(bool backward)
{
    const TFindResult result = Viewer->FindEx(FindBar->Text(), false, backward);
    FindBar->SetColor(result == TFindResult::NotFound ? platform::RGB(255, 200, 200) : platform::clWindow);
    return result;
}

TImgBtn* TInfoForm::MakeButton(const char* name, int left, int top, int width, int height, int tag,
                               const char* skinName, const std::u16string& caption)
{
    TImgBtn& b = Add<TImgBtn>();
    b.SetName(name);
    b.SetBounds(left, top, width, height);
    b.SetTag(tag);
    b.SetCursor(platform::crHandPoint);
    b.SetSupported(true);
    b.SetNeedRight(false);
    b.SetNeedDown(false);
    platform::Bitmap normal = LoadSkinPicture(skinName, width, height, kPlainButton, caption);
    platform::Bitmap highlight = LoadSkinPicture(std::string(skinName) + "_hi", width, height, kPlainHighlight, caption);
    b.SetPic(normal);
    b.SetPicDown(highlight);
    b.SetPicUp(highlight);
    return &b;
}

platform::Label* TInfoForm::MakeLabel(const char* name, int top, int tag)
{
    platform::Label& l = Add<platform::Label>();
    l.SetName(name);
    l.SetBounds(36, top, kLinkWidth, 13);
    l.SetTag(tag);
    l.SetFont(WindowFont(true));
    l.SetFontColor(kLinkColor);
    l.SetAlignment(platform::taCenter);
    l.SetTransparent(true);
    l.SetCursor(platform::crHandPoint);
    l.OnClick = [this](platform::Control* s) { SubLabClick(s); };
    l.OnMouseEnter = [this](platform::Control* s) { SubLabEnter(s); };
    l.OnMouseLeave = [this](platform::Control* s) { SubLabLeave(s); };
    return &l;
}

std::array<TImgBtn*, 8> TInfoForm::YearButtons() const
{
    return {Btn0, Btn2000, Btn2001, Btn2002, Btn2003, Btn2004, Btn2005, Btn2006};
}

void TInfoForm::OpenPage(const std::string& name)
{
    LastPageRequested = name;
    Viewer->OpenFile(name);
}

void TInfoForm::FormCreate(platform::Control*)
{
    SubLab1->SetCaption(u"Об авторах");
    SubLab1->SetWidth(kLinkWidth);
    SubLab2->SetCaption(u"Контакты");
    SubLab2->SetWidth(kLinkWidth);
    BtnBuf->SetPicture(Btn0->Pic());
    Btn0->SetPic(Btn0->PicUp());
    PageFolder = "Info\\";
    OpenPage(PageFolder + "about_game.html");
}

void TInfoForm::BtnClick(platform::Control* Sender)
{
    auto* sender = dynamic_cast<TImgBtn*>(Sender);
    if (!sender)
        return;
    // Give the previously selected button its normal picture back.
    if (auto* previous = dynamic_cast<TImgBtn*>(FindComponent("Btn" + std::to_string(BtnBuf->Tag()))))
        previous->SetPic(BtnBuf->Picture());
    BtnBuf->SetPicture(sender->Pic());
    sender->SetPic(sender->PicUp());
    BtnBuf->SetTag(sender->Tag());

    int year = BtnBuf->Tag();
    if (year >= 2000 && year <= 2006) {
        static const char* const kFolders[] = {"Info\\2000\\", "Info\\2001\\", "Info\\2002\\", "Info\\2003\\",
                                               "Info\\2004\\", "Info\\2005\\", "Info\\2006\\"};
        PageFolder = kFolders[year - 2000];
        OpenPage(PageFolder + "about" + std::to_string(year) + ".html");
    } else {
        PageFolder = "Info\\";
        OpenPage(PageFolder + "about_game.html");
    }
    SubLabRePaint();
}

void TInfoForm::SubLabRePaint()
{
    int year = BtnBuf->Tag();
    if (year != 0) {
        std::u16string y = platform::Utf8ToWide(std::to_string(year));
        SubLab1->SetCaption(u"Статистика " + y + u" года");
        SubLab2->SetCaption(u"Победители " + y + u" года");
    } else {
        SubLab1->SetCaption(u"Об авторах");
        SubLab2->SetCaption(u"Контакты");
    }
    for (platform::Label* l : {SubLab1, SubLab2}) {
        l->SetFontColor(kLinkColor);
        l->SetWidth(kLinkWidth);
    }
}

void TInfoForm::SubLabEnter(platform::Control* Sender)
{
    Sender->SetFont(WindowFont(true, true));
    Sender->SetWidth(kLinkWidth);
}

void TInfoForm::SubLabLeave(platform::Control* Sender)
{
    Sender->SetFont(WindowFont(true));
    Sender->SetWidth(kLinkWidth);
}

void TInfoForm::SubLabClick(platform::Control* Sender)
{
    SubLabRePaint();
    Sender->SetFontColor(kShownLinkColor);
    Sender->SetWidth(kLinkWidth);
    bool general = BtnBuf->Tag() == 0;
    if (Sender->Tag() == 1)
        OpenPage(PageFolder + (general ? "about_autors.html" : "statistics\\statistics.html"));
    else if (Sender->Tag() == 2)
        OpenPage(PageFolder + (general ? "contact.html" : "best_results\\best_results.html"));
}

void TInfoForm::ViewerHotSpotTargetClick(platform::Control*, const std::string&, const std::string& URL,
                                         bool& Handled)
{
    // Each test on its own: an address holding both is handed over twice, as before.
    for (const char* scheme : {"http://", "mailto:"})
        if (URL.find(scheme) != std::string::npos) {
            if (platform::Application* app = platform::Application::Instance())
                app->Minimize();
            platform::ShellExecuteA(URL);
            Handled = true;
        }
}

void TInfoForm::BtnMinClick(platform::Control*)
{
    if (platform::Application* app = platform::Application::Instance())
        app->Minimize();
}

void TInfoForm::CloseWin(platform::Control*)
{
    if (InfoCloseForm)
        InfoCloseForm->ShowModal();
}

void TInfoForm::BtnTestClick(platform::Control*)
{
    Hide();
    platform::ShellExecuteA("VexaTest.exe");
    Close();
}
