// Worker reports, shown on the user-interface thread.
#include "platform/framework/ReportRelay.h"

namespace platform {

ReportRelay::Answer::Answer() : given(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ReportRelay::ReportRelay(IMessageBoxes& boxes, ReportTexts texts, UINT message, const StopSignal* stop)
    : m_boxes(boxes), m_texts(texts), m_message(message), m_stop(stop) {}

bool ReportRelay::Queue(Pending pending) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_pending.push_back(std::move(pending));
    }
    if (m_window != nullptr && ::PostMessageW(m_window, m_message, 0, 0)) {
        return true;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_pending.pop_back();
    return false;
}

void ReportRelay::Report(const FailureReport& report) {
    Queue(Pending{report, nullptr});
}

int ReportRelay::Ask(const FailureReport& report) {
    auto answer = std::make_shared<Answer>();
    if (!answer->given || !Queue(Pending{report, answer})) {
        return 0;
    }
    HANDLE waits[] = {answer->given.get(), m_stop != nullptr ? m_stop->Event() : nullptr};
    const DWORD count = waits[1] != nullptr ? 2 : 1;
    if (::WaitForMultipleObjects(count, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        return 0;
    }
    return answer->result;
}

void ReportRelay::ShowPending() {
    if (m_isShowing) {
        return;
    }
    m_isShowing = true;
    for (;;) {
        Pending next;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_pending.empty()) {
                break;
            }
            next = std::move(m_pending.front());
            m_pending.pop_front();
        }
        // Once the work was stopped, what it still had to say is of no use to the user, and a box would hold up
        // whoever waits for the worker to end.
        const bool isStopped = m_stop != nullptr && m_stop->IsStopped();
        const BoxText box = isStopped ? BoxText{} : m_texts(next.report);
        const int result = isStopped ? 0 : m_boxes.Show(m_window, box.text, box.title, box.type);
        if (next.answer) {
            next.answer->result = result;
            ::SetEvent(next.answer->given.get());
        }
    }
    m_isShowing = false;
}

}  // namespace platform
