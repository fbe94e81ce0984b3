// Carries a worker's reports to the user-interface thread, which shows them one box at a time.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>

#include "platform/StopSignal.h"
#include "platform/framework/FailureReports.h"

namespace platform {

// How it works: Report and Ask queue the report and post `message` to the attached window; that window's handler
// calls ShowPending, which shows the queued boxes in order. A box's own message loop may run the handler again:
// that call returns at once, and the first one goes on with the next box when the user has answered, so the
// user never faces two boxes of the relay at once. Ask waits for its answer, or for the stop; reports still
// queued when the stop comes are dropped.
//
// The boxes are owned by the attached window, as a box of its own would be.
//
// Calling thread: Attach and ShowPending on the window's thread; Report and Ask on any other thread.
class ReportRelay final : public IFailureReports {
public:
    // `stop` (may be null) ends the wait of an Ask whose answer would come too late to matter.
    ReportRelay(IMessageBoxes& boxes, ReportTexts texts, UINT message, const StopSignal* stop = nullptr);

    // The window whose handler of `message` calls ShowPending; before any worker reports.
    void Attach(HWND window) { m_window = window; }

    void Report(const FailureReport& report) override;
    int Ask(const FailureReport& report) override;

    void ShowPending();

private:
    struct Answer {
        Answer();
        int result = 0;
        UniqueKernelHandle given;  // set once `result` holds the button pressed
    };
    struct Pending {
        FailureReport report;
        std::shared_ptr<Answer> answer;  // null for a report that waits for nothing
    };
    // False when the window could not be told; the report is dropped then.
    bool Queue(Pending pending);

    IMessageBoxes& m_boxes;
    ReportTexts m_texts;
    UINT m_message;
    const StopSignal* m_stop;
    HWND m_window = nullptr;
    std::mutex m_lock;
    std::deque<Pending> m_pending;
    bool m_isShowing = false;  // the window's thread only
};

}  // namespace platform
