#pragma once
// The info window: a borderless, skinned 800 x 600 page browser. A column of image buttons selects the
// general pages or a year, two text links under them select one of that year's two pages, and the frame
// viewer in the middle shows the page. Web and mail links in pages go to the desktop.

#include <array>
#include <string>

#include "app/imgbtn.h"
#include "platform/editcontrols.h"
#include "platform/form.h"
#include "platform/image_control.h"
#include "platform/label.h"
#include "viewer/frameviewer.h"

class TInfoCloseForm;

class TInfoForm : public platform::Form {
public:
    TInfoForm();
    ~TInfoForm() override;

    // The question dialog CloseWin shows (made after this window by the program's entry).
    TInfoCloseForm* InfoCloseForm = nullptr;

    // ---- children
    platform::Image* Back = nullptr;
    TImgBtn* Btn0 = nullptr;
    TImgBtn* Btn2000 = nullptr;
    TImgBtn* Btn2001 = nullptr;
    TImgBtn* Btn2002 = nullptr;
    TImgBtn* Btn2003 = nullptr;
    TImgBtn* Btn2004 = nullptr;
    TImgBtn* Btn2005 = nullptr;
    TImgBtn* Btn2006 = nullptr;
    platform::Label* SubLab1 = nullptr;
    platform::Label* SubLab2 = nullptr;
    TImgBtn* BtnMin = nullptr;
    TImgBtn* BtnClose = nullptr;
    TImgBtn* BtnTest = nullptr;
    TImgBtn* BtnExit = nullptr;
    // Hidden: its Tag is the selected year (0 for the general pages), its picture the selected button's
    // normal picture.
    platform::Image* BtnBuf = nullptr;
    TFrameViewer* Viewer = nullptr;
    // The find bar over the foot of the viewer: opened by Ctrl+F in a page, Enter finds the next match,
    // Shift+Enter the previous one, Escape closes it; F3 and Shift+F3 search again with its text.
    platform::Edit* FindBar = nullptr;

    // The folder of the selected year, relative to the current folder: "Info\" or "Info\2000\" ...
    std::string PageFolder;
    // The page last handed to the viewer (whether or not it could be shown), for tools that drive the
    // window.
    std::string LastPageRequested;

    // ---- handlers
    void FormCreate(platform::Control* Sender);
    void BtnClick(platform::Control* Sender);
    void SubLabRePaint();
    void SubLabEnter(platform::Control* Sender);
    void SubLabLeave(platform::Control* Sender);
    void SubLabClick(platform::Control* Sender);
    void ViewerHotSpotTargetClick(platform::Control* Sender, const std::string& Target, const std::string& URL,
                                  bool& Handled);
    void BtnMinClick(platform::Control* Sender);
    void CloseWin(platform::Control* Sender);
    void BtnTestClick(platform::Control* Sender);
    void ViewerFindRequest(TFindRequest Request);
    void FindBarKeyDown(int& Key, platform::TShiftState Shift);
    // Searches the page for the find bar's text; a text not found turns the bar pink until it changes.
    TFindResult FindNext(bool backward);

    // The year buttons, Btn0 first.
    std::array<TImgBtn*, 8> YearButtons() const;

private:
    void OpenPage(const std::string& name);
    TImgBtn* MakeButton(const char* name, int left, int top, int width, int height, int tag,
                        const char* skinName, const std::u16string& caption);
    platform::Label* MakeLabel(const char* name, int top, int tag);
};
