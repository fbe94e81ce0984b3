// What a worker tells the user, and how it reaches the user-interface thread: workers never open boxes
// themselves, they hand over a report and the program's own texts turn it into the box.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/IMessageBoxes.h"

namespace platform {

// Which step of the worker's work it is about (the program's own numbering), its result code, and the name it
// concerns (a package, a file), any of them unused by some steps.
struct FailureReport {
    int step = 0;
    DWORD code = 0;
    std::wstring name;
};

struct BoxText {
    std::wstring text;
    std::wstring title;
    UINT type = MB_OK;
};

// A program's texts for its reports.
using ReportTexts = BoxText (*)(const FailureReport& report);

// Called on the worker's thread.
class IFailureReports {
public:
    virtual ~IFailureReports() = default;
    // Returns at once; the box follows on the user-interface thread.
    virtual void Report(const FailureReport& report) = 0;
    // Waits for the user's answer (IDYES, IDNO, ...); 0 when there is none to wait for (the stop came first, or
    // no box could be shown).
    virtual int Ask(const FailureReport& report) = 0;
};

// Shows each report at once on the calling thread: for work that runs on a user-interface thread itself (and
// for tests of the work alone).
class ImmediateReports final : public IFailureReports {
public:
    ImmediateReports(IMessageBoxes& boxes, ReportTexts texts) : m_boxes(boxes), m_texts(texts) {}
    void Report(const FailureReport& report) override { Ask(report); }
    int Ask(const FailureReport& report) override {
        const BoxText box = m_texts(report);
        return m_boxes.Show(nullptr, box.text, box.title, box.type);
    }

private:
    IMessageBoxes& m_boxes;
    ReportTexts m_texts;
};

}  // namespace platform
