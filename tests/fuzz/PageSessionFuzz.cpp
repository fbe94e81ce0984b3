// Fuzz target: arbitrary bytes as a store page through the page engine, scripts included: load it (both as
// UTF-8 and as EUC-KR), lay it out at two widths, click every focusable, type into the fields, run the timers.
// Nothing may crash or leak, boxes stay within the width they were laid out for unless a control is wider than
// the page, and every navigation offered stays on the page's host.
#include <cstdint>
#include <string_view>

#include "common/page/PageSession.h"
#include "common/text/IconvCharsetDecoder.h"
#include "tests/common/page/FakeScriptClock.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

constexpr std::u16string_view kPageUrl = u"http://store.test/apps/list.asp";
constexpr size_t kMaxClicks = 64;

class FixedMeasure final : public common::ITextMeasure {
public:
    common::TextExtent Measure(std::u16string_view text, common::TextStyle) override {
        return {static_cast<int>(text.size()) * 7, 14};
    }
    int LineHeight(common::TextStyle) override { return 14; }
};

class Host final : public common::IPageHost {
public:
    std::optional<common::ExternalValue> CallExternal(std::u16string_view name,
                                                      const std::vector<common::ExternalValue>&) override {
        if (name == u"CB_Close") {
            return common::ExternalValue{};
        }
        return std::nullopt;
    }
    void Alert(std::u16string_view) override {}
    bool Confirm(std::u16string_view text) override { return text.size() % 2 == 0; }
};

void CheckNavigation(common::PageSession& session) {
    if (std::optional<common::PageNavigation> navigation = session.TakeNavigation()) {
        Check(navigation->url.rfind(u"http://store.test/", 0) == 0);
    }
}

void Exercise(std::string_view bytes, std::string_view contentType) {
    common::testing::SteppingClock clock(250);  // an endless script is stopped after a few checks
    Host host;
    common::IconvCharsetDecoder decoder;
    FixedMeasure measure;
    std::unique_ptr<common::PageSession> session =
        common::PageSession::Load(kPageUrl, bytes, contentType, decoder, host, clock);
    for (int width : {320, 40}) {
        const common::PageLayout& layout = session->Layout(width, measure);
        Check(layout.height >= 0);
        for (const common::PageBox& box : layout.boxes) {
            Check(box.left >= 0 && box.left <= box.right && box.top <= box.bottom && box.bottom <= layout.height);
            Check(box.focusIndex < static_cast<int>(session->FocusableCount()));
        }
    }
    CheckNavigation(*session);
    for (size_t i = 0; i < session->FocusableCount() && i < kMaxClicks; ++i) {
        if (session->IsTextField(i)) {
            session->SetFieldValue(i, session->FieldValue(i) + u"가&=");
        }
        session->Activate(i);
        CheckNavigation(*session);
    }
    for (int round = 0; round < 4 && session->NextTimerMs(); ++round) {
        session->RunTimers(*session->NextTimerMs());
        CheckNavigation(*session);
    }
    session->Layout(200, measure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Exercise(bytes, "text/html");
    Exercise(bytes, "text/html; charset=euc-kr");
    return 0;
}
