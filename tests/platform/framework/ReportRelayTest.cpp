// Worker reports reach the user on the window's thread, one box at a time, and a question waits for its answer.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/StopSignal.h"
#include "platform/framework/FrameWindow.h"
#include "platform/framework/ReportRelay.h"

namespace {

constexpr UINT kMsgReport = WM_APP + 77;

platform::BoxText TestTexts(const platform::FailureReport& report) {
    return {report.name + L":" + std::to_wstring(report.code), L"정보", static_cast<UINT>(report.step)};
}

// Boxes that run a message loop while they are up, as a real box does, and remember how many were up at once
// and on which thread.
class ModalBoxes final : public platform::IMessageBoxes {
public:
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        ++m_open;
        maxOpen = std::max(maxOpen, m_open);
        threads.push_back(::GetCurrentThreadId());
        texts.push_back(text);
        for (int turn = 0; turn < 5; ++turn) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::Sleep(5);
        }
        --m_open;
        return answer;
    }
    int answer = IDYES;
    int maxOpen = 0;
    std::vector<DWORD> threads;
    std::vector<std::wstring> texts;

private:
    int m_open = 0;
};

class RelayWindow : public platform::FrameWindow {
public:
    explicit RelayWindow(platform::ReportRelay& relay) : m_relay(relay) {}

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kMsgReport) {
            m_relay.ShowPending();
            return 0;
        }
        return FrameWindow::WndProc(message, wParam, lParam);
    }

private:
    platform::ReportRelay& m_relay;
};

class ReportRelayTest : public testing::Test {
protected:
    void SetUp() override {
        platform::FrameClass frameClass;
        frameClass.className = L"KelvoReportRelayProbe";
        ASSERT_TRUE(m_window.CreateFrame(::GetModuleHandleW(nullptr), frameClass, L"", WS_OVERLAPPED));
        m_relay.Attach(m_window.hwnd());
    }
    // Dispatches this thread's messages until `isDone`, for `turns` rounds of at most 10 ms.
    template <typename Done>
    void PumpUntil(Done isDone, int turns = 500) {
        for (int turn = 0; turn < turns && !isDone(); ++turn) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    ModalBoxes m_boxes;
    platform::StopSignal m_stop;
    platform::ReportRelay m_relay{m_boxes, &TestTexts, kMsgReport, &m_stop};
    RelayWindow m_window{m_relay};
};

// Catches: a worker that shows its own box (off the UI thread), two boxes up at once when reports arrive while
// one is shown, reports shown out of order, and a report dropped.
TEST_F(ReportRelayTest, ReportsFromAWorkerAreShownOnTheWindowsThreadOneAtATime) {
    std::thread worker([&] {
        for (DWORD code = 1; code <= 3; ++code) {
            m_relay.Report(platform::FailureReport{MB_OK, code, L"pkg"});
        }
    });
    worker.join();
    PumpUntil([&] { return m_boxes.texts.size() == 3; });
    ASSERT_EQ(m_boxes.texts, (std::vector<std::wstring>{L"pkg:1", L"pkg:2", L"pkg:3"}));
    EXPECT_EQ(m_boxes.maxOpen, 1);
    for (DWORD thread : m_boxes.threads) {
        EXPECT_EQ(thread, ::GetCurrentThreadId());
    }
}

// Catches: a question that returns before the user answered, or returns another button than the one pressed.
TEST_F(ReportRelayTest, AQuestionWaitsForTheAnswer) {
    m_boxes.answer = IDNO;
    int answer = -1;
    std::thread worker([&] { answer = m_relay.Ask(platform::FailureReport{MB_YESNO, 0, L"update"}); });
    PumpUntil([&] { return !m_boxes.texts.empty(); });
    worker.join();
    EXPECT_EQ(answer, IDNO);
}

// Catches: a question that keeps a stopped worker waiting for ever (the program could not end), and reports of
// stopped work that still open boxes while the program waits for the worker to end.
TEST_F(ReportRelayTest, TheStopEndsAQuestionsWaitAndDropsWhatIsQueued) {
    int answer = -1;
    std::thread worker([&] { answer = m_relay.Ask(platform::FailureReport{MB_YESNO, 0, L"update"}); });
    ::Sleep(50);  // the question is queued; nobody dispatches it
    m_stop.Stop();
    worker.join();
    EXPECT_EQ(answer, 0);
    m_relay.Report(platform::FailureReport{MB_OK, 5, L"late"});
    PumpUntil([] { return false; }, 10);
    EXPECT_TRUE(m_boxes.texts.empty());
}

// Catches: a report to a window that is gone that blocks the worker or is kept for ever.
TEST(ReportRelay, WithoutAWindowAQuestionHasNoAnswer) {
    ModalBoxes boxes;
    platform::ReportRelay relay(boxes, &TestTexts, kMsgReport);
    EXPECT_EQ(relay.Ask(platform::FailureReport{MB_YESNO, 0, L"x"}), 0);
    relay.Report(platform::FailureReport{MB_OK, 0, L"x"});
    relay.ShowPending();
    EXPECT_TRUE(boxes.texts.empty());
}

}  // namespace
