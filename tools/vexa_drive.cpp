// vexa-drive: runs the info window headless and drives it with real mouse events.
//
//   vexa-drive --runtime DIR [--png FILE] [ACTION ...]
//
// DIR is the program's runtime folder (the pages in DIR/Info, the skin in DIR/skin); it becomes the
// current folder. Actions, performed in order:
//   hover NAME     the mouse moves onto the middle of the control NAME
//   leave NAME     the mouse moves off the control NAME (just above its top-left corner)
//   press NAME     the left button goes down on NAME (at the mouse if it is on NAME, else the middle)
//   release NAME   the left button comes up (where the mouse is)
//   click NAME     hover, press and release on NAME
//   answer yes|no  answers the question dialog: clicks its Yes or No button. Given before the dialog is
//                  shown, it is the answer the dialog gets once the remaining actions are done.
//   wait MS        runs the event loop for MS milliseconds
//   png FILE       writes a PNG of the window (and FILE-dialog.png of the dialog while it is shown)
//   link URL       acts as a click on a link with that address in the viewer's page
//   at X,Y         clicks the viewer at X,Y (its own coordinates): a link there is followed
// After each action the driver prints the page the viewer was last asked to open and the captions and
// colours of both page links. Error reports and message boxes are printed instead of shown; addresses
// and programs handed to the desktop are printed instead of opened. --png FILE writes a PNG of the
// window after the last action.
#include <cstdio>
#include <exception>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/infocloseunit.h"
#include "app/infounit.h"
#include "app/program.h"
#include "viewer/frames.h"
#include "platform/application.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/testing.h"

namespace {

namespace test = platform::test;

// Prints what would have gone to the desktop.
class PrintingShell final : public platform::ShellService {
public:
    bool OpenAddress(const std::string& address) override
    {
        std::printf("shell: open [%s]\n", platform::SystemToUtf8(address).c_str());
        return true;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>&) override
    {
        std::printf("shell: start [%s]\n", program.c_str());
        return true;
    }
};

class PrintingErrors final : public platform::ErrorReportService {
public:
    void Report(const std::string& message) override
    {
        std::printf("error report: %s\n", platform::SystemToUtf8(message).c_str());
    }
};

std::string ColorName(platform::TColor c)
{
    if (c == platform::clMaroon)
        return "maroon";
    if (c == platform::clRed)
        return "red";
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", platform::GetRValue(c), platform::GetGValue(c),
                  platform::GetBValue(c));
    return buf;
}

class Driver {
public:
    Driver(InfoWindows windows, std::vector<std::string> actions)
        : w_(windows), actions_(std::move(actions))
    {
    }

    // Runs the actions from the current one on. Inside the dialog's modal run it returns when the dialog
    // has been answered.
    int Run(bool inDialog);
    void PrintState(const std::string& what) const;
    bool Closed() const { return closed_; }
    std::string PendingAnswer;

    // The modal service: the dialog is shown, the remaining actions run against it.
    int Answer(platform::Form& form)
    {
        dialogShown_ = true;
        test::ProcessEvents();
        std::printf("dialog shown: %s\n", platform::WideToUtf8(form.Caption()).c_str());
        Run(true);
        if (form.ModalResult() == platform::mrNone && !answered_) {
            // Nothing left to do while it is up: the pending answer, else No.
            Click(PendingAnswer == "yes" ? *w_.InfoCloseForm->BtnYes : *w_.InfoCloseForm->BtnNo);
        }
        answered_ = false;
        dialogShown_ = false;
        return form.ModalResult() == platform::mrNone ? platform::mrCancel : form.ModalResult();
    }

    bool WritePng(const std::string& file) const;

private:
    platform::Control* Find(const std::string& name) const
    {
        if (dialogShown_)
            if (platform::Control* c = w_.InfoCloseForm->FindComponent(name))
                return c;
        return w_.InfoForm->FindComponent(name);
    }
    // The mouse position in c's coordinates, when it is over c.
    bool MouseOver(platform::Control& c, int& x, int& y) const
    {
        platform::Point p = c.ScreenToClient(mouse_);
        x = p.X;
        y = p.Y;
        return haveMouse_ && x >= 0 && y >= 0 && x < c.Width() && y < c.Height();
    }
    void MoveTo(platform::Control& c, int x, int y)
    {
        test::MouseMove(c, x, y, pressed_ ? platform::ssLeft : 0);
        mouse_ = c.ClientToScreen(platform::Point{x, y});
        haveMouse_ = true;
    }
    void Click(platform::Control& c)
    {
        MoveTo(c, c.Width() / 2, c.Height() / 2);
        test::MouseClick(c, c.Width() / 2, c.Height() / 2);
        test::ProcessEvents();
    }

    InfoWindows w_;
    std::vector<std::string> actions_;
    std::size_t next_ = 0;
    bool dialogShown_ = false;
    bool answered_ = false;
    bool closed_ = false;
    bool closedReported_ = false;
    bool pressed_ = false;
    bool haveMouse_ = false;
    platform::Point mouse_;
};

void Driver::PrintState(const std::string& what) const
{
    std::string page = platform::SystemToUtf8(w_.InfoForm->LastPageRequested);
    std::printf("%s: viewer [%s] | SubLab1 [%s] %s | SubLab2 [%s] %s\n", what.c_str(), page.c_str(),
                platform::WideToUtf8(w_.InfoForm->SubLab1->Caption()).c_str(),
                ColorName(w_.InfoForm->SubLab1->FontColor()).c_str(),
                platform::WideToUtf8(w_.InfoForm->SubLab2->Caption()).c_str(),
                ColorName(w_.InfoForm->SubLab2->FontColor()).c_str());
    TFrameViewer& v = *w_.InfoForm->Viewer;
    if (v.Master().Frames.size() > 1)
        for (TfvFrame* f : v.Master().Frames)
            std::printf("  frame %s: %s\n", f->FrameName.c_str(),
                        platform::SystemToUtf8(platform::ExtractFileName(f->Source)).c_str());
    std::fflush(stdout);
}

bool Driver::WritePng(const std::string& file) const
{
    test::FlushPaint(*w_.InfoForm);
    bool ok = test::GrabToPng(*w_.InfoForm, file);
    if (dialogShown_) {
        std::string dialogFile = file;
        std::size_t dot = dialogFile.rfind('.');
        dialogFile.insert(dot == std::string::npos || dot < dialogFile.rfind('/') + 1 ? dialogFile.size() : dot,
                          "-dialog");
        test::FlushPaint(*w_.InfoCloseForm);
        ok = test::GrabToPng(*w_.InfoCloseForm, dialogFile) && ok;
        std::printf("png: %s, %s\n", file.c_str(), dialogFile.c_str());
    } else {
        std::printf("png: %s\n", file.c_str());
    }
    return ok;
}

int Driver::Run(bool inDialog)
{
    while (next_ < actions_.size() && !closed_) {
        std::string verb = actions_[next_++];
        if (next_ >= actions_.size()) {
            std::fprintf(stderr, "vexa-drive: '%s' needs an argument\n", verb.c_str());
            return 2;
        }
        std::string arg = actions_[next_++];
        std::string what = verb + " " + arg;
        if (verb == "wait") {
            test::RunEventLoop(std::atoi(arg.c_str()));
        } else if (verb == "png") {
            if (!WritePng(arg))
                std::fprintf(stderr, "vexa-drive: cannot write %s\n", arg.c_str());
        } else if (verb == "link") {
            // As a click would, a link that cannot be followed reports its error and the window goes on.
            try {
                w_.InfoForm->Viewer->ClickLink(std::string(), arg);
            } catch (const std::exception& e) {
                std::printf("error: %s\n", platform::SystemToUtf8(e.what()).c_str());
            }
            test::ProcessEvents();
        } else if (verb == "at") {
            const int x = std::atoi(arg.c_str());
            const std::size_t comma = arg.find(',');
            const int y = comma == std::string::npos ? 0 : std::atoi(arg.c_str() + comma + 1);
            MoveTo(*w_.InfoForm->Viewer, x, y);
            test::MouseClick(*w_.InfoForm->Viewer, x, y);
            test::ProcessEvents();
        } else if (verb == "answer") {
            if (arg != "yes" && arg != "no") {
                std::fprintf(stderr, "vexa-drive: answer yes or no\n");
                return 2;
            }
            if (!dialogShown_) {
                PendingAnswer = arg;
            } else {
                answered_ = true;
                Click(arg == "yes" ? *w_.InfoCloseForm->BtnYes : *w_.InfoCloseForm->BtnNo);
            }
        } else if (verb == "hover" || verb == "leave" || verb == "press" || verb == "release" || verb == "click") {
            platform::Control* c = Find(arg);
            if (!c) {
                std::fprintf(stderr, "vexa-drive: no control named %s\n", arg.c_str());
                return 2;
            }
            int x = c->Width() / 2, y = c->Height() / 2;
            if (verb == "hover") {
                MoveTo(*c, x, y);
            } else if (verb == "leave") {
                MoveTo(*c, -2, -2);
            } else if (verb == "press") {
                if (!MouseOver(*c, x, y)) {
                    x = c->Width() / 2;
                    y = c->Height() / 2;
                    MoveTo(*c, x, y);
                }
                pressed_ = true;
                test::MousePress(*c, x, y);
            } else if (verb == "release") {
                MouseOver(*c, x, y);
                if (!haveMouse_) {
                    x = c->Width() / 2;
                    y = c->Height() / 2;
                }
                pressed_ = false;
                test::MouseRelease(*c, x, y);
            } else {
                Click(*c);
            }
            test::ProcessEvents();
        } else {
            std::fprintf(stderr, "vexa-drive: unknown action %s\n", verb.c_str());
            return 2;
        }
        platform::Application* app = platform::Application::Instance();
        if (app && app->Terminated())
            closed_ = true;
        PrintState(what);
        if (closed_ && !closedReported_) {
            closedReported_ = true;
            std::printf("closed: the program ends\n");
        }
        if (inDialog && answered_)
            return 0;
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: vexa-drive --runtime DIR [--png FILE] [ACTION ...]\n"
                 "actions: hover NAME | leave NAME | press NAME | release NAME | click NAME |\n"
                 "         answer yes|no | wait MS | png FILE | link URL | at X,Y\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string runtime, png;
    std::vector<std::string> actions;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--runtime" && i + 1 < argc)
            runtime = argv[++i];
        else if (a == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (a == "--help" || a == "-h")
            return Usage();
        else
            actions.push_back(a);
    }
    if (runtime.empty())
        return Usage();

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    platform::Application app(argc, argv);
    // Output files named relative to where the driver was started.
    if (!png.empty() && png[0] != '/')
        png = platform::GetCurrentDir() + "/" + png;
    for (std::size_t i = 0; i + 1 < actions.size(); i += 2)
        if (actions[i] == "png" && !actions[i + 1].empty() && actions[i + 1][0] != '/')
            actions[i + 1] = platform::GetCurrentDir() + "/" + actions[i + 1];
    if (!platform::SetCurrentDir(runtime)) {
        std::fprintf(stderr, "vexa-drive: cannot enter %s\n", runtime.c_str());
        return 1;
    }

    platform::SetShellService(std::make_unique<PrintingShell>());
    platform::SetErrorReportService(std::make_unique<PrintingErrors>());

    InfoWindows windows = CreateInfoWindows(app);
    Driver driver(windows, actions);
    test::ModalRecorder modal([&driver](platform::Form& form) { return driver.Answer(form); });

    test::ShowAndActivate(*windows.InfoForm);
    test::ProcessEvents();
    driver.PrintState("start");
    int rc = driver.Run(false);
    if (rc == 0 && !png.empty() && !driver.Closed() && !driver.WritePng(png)) {
        std::fprintf(stderr, "vexa-drive: cannot write %s\n", png.c_str());
        rc = 1;
    }
    return rc;
}
