// A message-box stand-in for Windows-side tests: records every box and answers from a script, showing nothing.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/framework/IMessageBoxes.h"

namespace platform {

class RecordingMessageBoxes final : public IMessageBoxes {
public:
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring title;
        UINT type;
    };

    // Answers are used in order; once they run out every box gets `fallback`.
    explicit RecordingMessageBoxes(int fallback = IDOK) : m_fallback(fallback) {}

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<Box>& boxes() const { return m_boxes; }

    int Show(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) override {
        m_boxes.push_back(Box{owner, text, title, type});
        if (m_answers.empty()) {
            return m_fallback;
        }
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

private:
    int m_fallback;
    std::deque<int> m_answers;
    std::vector<Box> m_boxes;
};

}  // namespace platform
