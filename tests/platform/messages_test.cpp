// Posted messages, timers, message boxes, the error report and the clipboard: everything the program
// hands to the loop comes back on the UI thread, in order, behind the error boundary.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/exception.h"
#include "platform/form.h"
#include "platform/messages.h"
#include "platform/msgbox.h"
#include "platform/testing.h"
#include "platform/timer.h"

using namespace platform;

namespace {

TEST(PostedMessages, ArriveInOrderAfterThePostingHandlerReturns)
{
    Form form;
    auto& box = form.Add<PaintBox>();
    std::vector<unsigned> received;
    std::vector<std::intptr_t> params;
    bool inHandler = false;
    box.OnMessage = [&](Control* sender, Message& m) {
        EXPECT_EQ(sender, &box);
        EXPECT_FALSE(inHandler) << "delivered inside the handler that posted it";
        received.push_back(m.Msg);
        params.push_back(m.WParam * 1000 + m.LParam);
    };
    box.OnClick = [&](Control*) {
        inHandler = true;
        PostMessage(&box, WM_USER + 103, 1, 2);
        PostMessage(&box, WM_USER + 100, 3, 4);
        PostMessage(&box, WM_USER + 102, 5, 6);
        EXPECT_TRUE(received.empty());
        inHandler = false;
    };
    box.SetBounds(0, 0, 20, 20);
    test::MouseClick(box, 5, 5);
    EXPECT_TRUE(received.empty());
    test::ProcessEvents();
    EXPECT_EQ(received, (std::vector<unsigned>{WM_USER + 103, WM_USER + 100, WM_USER + 102}));
    EXPECT_EQ(params, (std::vector<std::intptr_t>{1002, 3004, 5006}));
}

TEST(PostedMessages, AMessageForAControlThatWentAwayIsDropped)
{
    Form form;
    auto box = std::make_unique<PaintBox>(&form);
    int delivered = 0;
    box->OnMessage = [&](Control*, Message&) { ++delivered; };
    PostMessage(box.get(), WM_USER + 1);
    box.reset();
    test::ProcessEvents();
    EXPECT_EQ(delivered, 0);
    PostMessage(nullptr, WM_USER + 1); // nothing to post to: ignored
}

TEST(PostedMessages, AHandlerThatThrowsIsReportedAndLaterMessagesStillArrive)
{
    test::ErrorRecorder errors;
    Form form;
    auto& box = form.Add<PaintBox>();
    std::vector<std::intptr_t> seen;
    box.OnMessage = [&](Control*, Message& m) {
        seen.push_back(m.WParam);
        if (m.WParam == 1)
            throw Exception("Out of Resources");
    };
    PostMessage(&box, WM_USER, 1);
    PostMessage(&box, WM_USER, 2);
    test::ProcessEvents();
    EXPECT_EQ(seen, (std::vector<std::intptr_t>{1, 2}));
    EXPECT_EQ(errors.Messages(), std::vector<std::string>{"Out of Resources"});
}

TEST(Timers, TickOnTheUiThreadAndRestartWhenTheIntervalIsSet)
{
    Timer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    const auto uiThread = std::this_thread::get_id();
    int ticks = 0;
    timer.OnTimer = [&](Timer* sender) {
        EXPECT_EQ(sender, &timer);
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        ++ticks;
        // The animation switches from its first delay to the steady one inside the tick.
        sender->SetInterval(20);
    };
    timer.SetInterval(30);
    EXPECT_TRUE(test::RunUntil([&] { return ticks >= 3; }, 2000));

    timer.SetEnabled(false);
    const int stopped = ticks;
    test::RunEventLoop(60);
    EXPECT_EQ(ticks, stopped);

    // Re-setting the interval on a running timer restarts the wait: a 150 ms timer re-set after 100 ms
    // has not fired at 200 ms.
    ticks = 0;
    Timer slow;
    int slowTicks = 0;
    slow.OnTimer = [&](Timer*) { ++slowTicks; };
    slow.SetInterval(150);
    test::RunEventLoop(100);
    slow.SetInterval(150);
    test::RunEventLoop(100);
    EXPECT_EQ(slowTicks, 0);
    EXPECT_TRUE(test::RunUntil([&] { return slowTicks >= 1; }, 1000));
}

TEST(Timers, AnExceptionInATickIsReportedAndTheTimerGoesOn)
{
    test::ErrorRecorder errors;
    Timer timer;
    int ticks = 0;
    timer.OnTimer = [&](Timer*) {
        ++ticks;
        if (ticks == 1)
            throw std::runtime_error("tick failed");
    };
    timer.SetInterval(10);
    EXPECT_TRUE(test::RunUntil([&] { return ticks >= 2; }, 2000));
    EXPECT_EQ(errors.Messages(), std::vector<std::string>{"tick failed"});
}

TEST(Timers, ATimerMayBeFreedInsideItsOwnTick)
{
    auto timer = std::make_unique<Timer>();
    int ticks = 0;
    timer->OnTimer = [&](Timer*) {
        ++ticks;
        timer.reset(); // e.g. a refresh timer whose frame the reload frees
    };
    timer->SetInterval(5);
    test::RunUntil([&] { return !timer; }, 2000);
    test::RunEventLoop(30);
    EXPECT_EQ(ticks, 1);
}

TEST(MessageBoxes, GoThroughTheServiceAndReturnItsAnswer)
{
    test::MessageBoxRecorder boxes;
    boxes.SetAnswer(IDYES);
    EXPECT_EQ(MessageBox(u"Закрыть?", u"Вопрос", MB_YESNO | MB_ICONQUESTION), IDYES);
    LayoutErrorBox("Table too wide");
    ASSERT_EQ(boxes.Requests().size(), 2u);
    EXPECT_EQ(boxes.Requests()[0].Text, u"Закрыть?");
    EXPECT_EQ(boxes.Requests()[0].Caption, u"Вопрос");
    EXPECT_EQ(boxes.Requests()[0].Flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(boxes.Requests()[1].Text, u"Table too wide");
    EXPECT_EQ(boxes.Requests()[1].Flags & 0xF, MB_OK);
}

TEST(MessageBoxes, TheStandardErrorReportIsAMessageBoxWithTheMessage)
{
    test::MessageBoxRecorder boxes;
    try {
        throw EInOutError("Can't locate file: Info\\2004\\about2004.html");
    } catch (...) {
        HandleException();
    }
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0].Text, u"Can't locate file: Info\\2004\\about2004.html");
    // 8-bit text that is not UTF-8 is system-code-page text (a Windows-1251 file name).
    MessageBox(std::string("\xCF\xF0\xE8\xEC\xE5\xF0"), std::string("x"));
    EXPECT_EQ(boxes.Requests()[1].Text, u"Пример");
}

TEST(MessageBoxes, AReportThatThrowsItselfIsSwallowed)
{
    struct Failing : ErrorReportService
    {
        void Report(const std::string&) override { throw std::runtime_error("no display"); }
    };
    auto previous = SetErrorReportService(std::make_unique<Failing>());
    EXPECT_NO_THROW(CallGuarded([] { throw 42; }));
    SetErrorReportService(std::move(previous));
    test::ErrorRecorder errors;
    CallGuarded([] { throw 42; });
    EXPECT_EQ(errors.Messages(), std::vector<std::string>{"Unknown error"});
}

TEST(MessageBoxes, TheStandardBoxDoesNotBlockAHeadlessRun)
{
    // Without a recorder, the default service answers with the safe button instead of waiting.
    EXPECT_EQ(MessageBox(u"Удалить?", u"Вопрос", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(u"Готово", u"Сообщение", MB_OK), IDOK);
    EXPECT_EQ(MessageBox(u"?", u"?", MB_OKCANCEL), IDCANCEL);
}

TEST(Clipboard, KeepsUtf16TextWithLineEnds)
{
    const std::u16string text = u"Строка 1\r\nLine 2\r\n\u00A0end";
    SetClipboardText(text);
    EXPECT_EQ(GetClipboardText(), text);
}

} // namespace
