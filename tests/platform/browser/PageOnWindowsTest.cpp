// The page engine with the Windows decoder and the view's fonts: an EUC-KR store page as its server sends it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/page/PageSession.h"
#include "platform/CharsetDecoderWin.h"
#include "platform/browser/GdiTextMeasure.h"

namespace {

class RecordingHost : public common::IPageHost {
public:
    std::optional<common::ExternalValue> CallExternal(std::u16string_view name,
                                                      const std::vector<common::ExternalValue>& arguments) override {
        calls.push_back(std::u16string(name));
        for (const common::ExternalValue& argument : arguments) {
            calls.back() += u"|" + argument.string;
        }
        return common::ExternalValue{};
    }
    void Alert(std::u16string_view) override {}
    bool Confirm(std::u16string_view) override { return false; }

    std::vector<std::u16string> calls;
};

// Catches: Korean bytes of the header's charset read as UTF-8 (every name garbled), and a decoded argument lost
// between the page's function and window.external.
TEST(PageOnWindows, AnEucKrTableButtonCallsThroughThePagesFunctionWithKoreanArguments) {
    // "설치" and the package name "한글메모장" in code page 949.
    const std::string page =
        "<html><head><script>function install(i, d, n) { window.external.CB_InstallPackage(i, d, n); }</script>"
        "</head><body><table><tr><td>\xc7\xd1\xb1\xdb\xb8\xde\xb8\xf0\xc0\xe5</td><td>"
        "<input type=button value=\"\xbc\xb3\xc4\xa1\" onclick=\"install('101', 'memo', "
        "'\xc7\xd1\xb1\xdb\xb8\xde\xb8\xf0\xc0\xe5')\"></td></tr></table></body></html>";
    platform::CharsetDecoderWin decoder;
    RecordingHost host;
    std::unique_ptr<common::PageSession> session =
        common::PageSession::Load(u"http://127.0.0.1/store/", page, "text/html; charset=euc-kr", decoder, host);
    ASSERT_NE(session, nullptr);
    platform::GdiTextMeasure measure;
    const common::PageLayout& layout = session->Layout(600, measure);
    bool hasButton = false;
    for (const common::PageBox& box : layout.boxes) {
        hasButton = hasButton || (box.kind == common::PageBox::Kind::Button && box.text == u"\xc124\xce58");
    }
    EXPECT_TRUE(hasButton) << "the button's label decoded";
    ASSERT_EQ(session->FocusableCount(), 1u);
    session->Activate(0);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], u"CB_InstallPackage|101|memo|\xd55c\xae00\xba54\xbaa8\xc7a5");
}

}  // namespace
