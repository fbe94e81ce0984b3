// The store page's requests: window.external's names, and the checks before a job is queued.
#include <gtest/gtest.h>

#include <windows.h>

#include "AgentTestSupport.h"
#include "agent/MainFrame.h"
#include "agent/browser/FormBrowser.h"
#include "agent/browser/ImpIDispatch.h"
#include "agent/resource.h"
#include "common/browser/CaptionButtons.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/FileStoreWin.h"
#include "platform/WideText.h"
#include "platform/framework/ModelessDialogs.h"
#include "platform/framework/RecordingMessageBoxes.h"

namespace {

// Calls window.external.<name>(arguments...) as the page's script would; the HRESULT of the call.
HRESULT CallExternal(IDispatch& external, const wchar_t* name, std::vector<std::wstring> arguments,
                     VARIANT* result = nullptr) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = external.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<VARIANT> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        VARIANT& value = values[arguments.size() - 1 - i];
        ::VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = ::SysAllocString(arguments[i].c_str());
    }
    DISPPARAMS parameters = {values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    hr = external.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result, nullptr, nullptr);
    for (VARIANT& value : values) {
        ::VariantClear(&value);
    }
    return hr;
}

// Answers every update check alike, as a store holding the drive's own version would.
class FixedUpdateCheck final : public IStoreUpdateCheck {
public:
    UpdateCheckResult CheckStoreUpdate(const std::u16string&, const std::u16string&) override {
        return UpdateCheckResult::NotNewer;
    }
};

constexpr wchar_t kInfoTitle[] = L"정보";
constexpr UINT kInfoStyle = MB_ICONINFORMATION | MB_TOPMOST;

// An environment file whose one page lists one package under `caption`.
void WriteEnvironmentListing(const agenttest::ScratchDir& folder, const wchar_t* caption) {
    std::wstring text = std::wstring(L"<TolvEnv><MAINMENU></MAINMENU><PAGEENV><PageNum>1</PageNum>") +
                        L"<CurrentPage>0</CurrentPage><Page><PackageCount>1</PackageCount><Package><CAPTION>" +
                        caption + L"</CAPTION><STARTOPEN>0</STARTOPEN></Package></Page></PAGEENV></TolvEnv>";
    ASSERT_TRUE(
        agenttest::WriteBytes(folder.File(platform::WideCStr(common::kEnvironmentFile)), agenttest::Utf16File(text)));
}

// Catches: a name the page tests for answered as unknown (the page would think it runs elsewhere), an unknown
// name that fails the whole lookup silently, and the object freed by a page that releases it once too often.
TEST(StoreExternal, AnswersItsFourNamesAndStaysAlive) {
    CImpIDispatch external;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"CB_Close"), const_cast<LPOLESTR>(L"cb_close"),
                        const_cast<LPOLESTR>(L"CB_InstallPackage")};
    DISPID ids[3] = {};
    EXPECT_EQ(external.GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], CImpIDispatch::kClose);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN) << "names are compared with case";
    EXPECT_EQ(ids[2], CImpIDispatch::kInstallPackage);

    VARIANT result;
    ::VariantInit(&result);
    DISPPARAMS none = {};
    EXPECT_EQ(external.Invoke(CImpIDispatch::kIsOurCustomBrowser, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                              &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
    EXPECT_EQ(CallExternal(external, L"CB_Close", {}), S_OK);
    EXPECT_EQ(CallExternal(external, L"CB_InstallPackage", {L"1", L"a", L"b"}), S_OK) << "no page open: nothing";

    IUnknown* unknown = nullptr;
    ASSERT_EQ(external.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    for (int i = 0; i < 5; ++i) {
        external.Release();
    }
    EXPECT_EQ(external.AddRef(), 2u) << "Release only counts down";
}

// The store window beside a stand-in main frame; no store answers, so the page shows its notice and the
// requests come from the script's side.
class StoreWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_frame.Create(L"KelvoStoreTestFrame", L"frame"));
        m_state.moduleFolder = m_folder.path();
        m_browser = std::make_unique<CFormBrowser>(::GetModuleHandleW(nullptr), m_frame.hwnd(), m_state, m_boxes,
                                                   m_state.external, m_updates);
    }
    void TearDown() override { m_browser.reset(); }

    void WriteEnvironmentListing(const wchar_t* caption) { ::WriteEnvironmentListing(m_folder, caption); }

    agenttest::ScratchDir m_folder;
    agenttest::PeerWindow m_frame;
    FixedUpdateCheck m_updates;
    AgentState m_state;
    platform::RecordingMessageBoxes m_boxes;
    platform::ModelessDialogs m_dialogs;
    std::unique_ptr<CFormBrowser> m_browser;
};

// The window opened, without OLE on this thread: no HTML document can be made, and the page view shows the page.
class StoreBrowserTest : public StoreWindowTest {
protected:
    void SetUp() override {
        StoreWindowTest::SetUp();
        ASSERT_TRUE(m_browser->Open(&m_dialogs));
    }
};

// Catches: an install queued twice, the second request not told why, an update for a package waiting to be
// installed queued beside it, and the frame not told to show the launcher.
TEST_F(StoreBrowserTest, APackageIsQueuedOnceWhateverItWasAskedFor) {
    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"101", L"utility", L"한글메모장"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 1u);
    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"101", L"utility", L"한글메모장"}), S_OK);
    EXPECT_EQ(CallExternal(m_state.external, L"CB_UpdatePackage", {L"101", L"utility", L"한글메모장"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 1u);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Update), 0u);
    ASSERT_EQ(m_boxes.boxes().size(), 2u);
    EXPECT_EQ(m_boxes.boxes()[0].text, L"설치가 진행 중입니다.");
    EXPECT_EQ(m_boxes.boxes()[1].text, L"업데이트가 진행 중입니다.");
    agenttest::PumpMessages();
    EXPECT_EQ(m_frame.Count(common::kMsgBrowserInstallQueued), 1u);
}

// Catches: an update the drive already has queued for a package the launcher lists, one for a package it does
// not list refused, and names that would leave the store's folders turned into a job.
TEST_F(StoreBrowserTest, AnUpdateIsRefusedOnlyForAListedPackageWithoutANewerVersion) {
    WriteEnvironmentListing(L"viewer");
    EXPECT_EQ(CallExternal(m_state.external, L"CB_UpdatePackage", {L"102", L"graphics", L"Viewer"}), S_OK);
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text, L"최신 버젼입니다.");
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Update), 0u);

    EXPECT_EQ(CallExternal(m_state.external, L"CB_UpdatePackage", {L"103", L"data", L"BigData"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Update), 1u) << "not listed: updated all the same";
    agenttest::PumpMessages();
    EXPECT_EQ(m_frame.Count(common::kMsgBrowserUpdateQueued), 1u);

    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"104", L"..", L"x"}), S_OK);
    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"105", L"data", L"a\\..\\b"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 0u);
}

// Catches: a request whose names fail the path checks dropped without a word (the user pressed the button and
// nothing happened), or told in another box style than the store's other refusals.
TEST_F(StoreBrowserTest, ARequestWithNamesThatAreNotPlainIsRefusedAloud) {
    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"104", L"..", L"x"}), S_OK);
    EXPECT_EQ(CallExternal(m_state.external, L"CB_UpdatePackage", {L"105", L"data", L"a\\..\\b"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 0u);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Update), 0u);
    ASSERT_EQ(m_boxes.boxes().size(), 2u);
    for (const platform::RecordingMessageBoxes::Box& box : m_boxes.boxes()) {
        EXPECT_EQ(box.text, L"프로그램 정보가 올바르지 않습니다.");
        EXPECT_EQ(box.title, kInfoTitle);
        EXPECT_EQ(box.type, kInfoStyle);
        EXPECT_EQ(box.owner, m_browser->hwnd().get());
    }
}

// The middle of caption button `number` in screen coordinates, from the system's caption-button size.
POINT CaptionButtonCentre(HWND window, int number) {
    RECT frame = {};
    ::GetWindowRect(window, &frame);
    const common::CaptionMetrics metrics{::GetSystemMetrics(SM_CXSIZE), ::GetSystemMetrics(SM_CYSIZE),
                                         ::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYFRAME)};
    const common::CaptionRect cell = common::CaptionButtonRect(frame.right - frame.left, 22, metrics, number);
    return POINT{frame.left + (cell.left + cell.right) / 2, frame.top + (cell.top + cell.bottom) / 2};
}

// Catches: caption buttons hit at fixed 18-pixel cells while drawn in the system's sizes (or the reverse), a
// hover that lights the wrong button or never goes out, and the close button not closing.
TEST_F(StoreBrowserTest, CaptionButtonsLightUnderTheCursorAndActWhereTheyAreDrawn) {
    HWND window = m_browser->hwnd();
    const POINT minimise = CaptionButtonCentre(window, 2);
    const LPARAM at = MAKELPARAM(minimise.x, minimise.y);
    ::SendMessageW(window, WM_NCMOUSEMOVE, HTCAPTION, at);
    EXPECT_EQ(m_browser->HoverButton(), common::CaptionButton::Minimise) << "the button under the cursor is not lit";
    const POINT home = CaptionButtonCentre(window, 3);
    ::SendMessageW(window, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(home.x, home.y));
    EXPECT_EQ(m_browser->HoverButton(), common::CaptionButton::Home);
    ::SendMessageW(window, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_EQ(m_browser->HoverButton(), common::CaptionButton::None) << "the light stays on after the cursor left";

    const POINT close = CaptionButtonCentre(window, 1);
    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(close.x, close.y));
    agenttest::PumpMessages();
    EXPECT_EQ(m_frame.Count(common::kMsgBrowserClosed), 1u);
}

// The slot of the handle table a new GDI object takes: one a deleted object left free, or the next new one when
// none is free (a test's process has few free ones). The upper half of a handle counts its slot's reuses.
WORD NextGdiSlot() {
    HBITMAP probe = ::CreateBitmap(1, 1, 1, 1, nullptr);
    ::DeleteObject(probe);
    return LOWORD(reinterpret_cast<ULONG_PTR>(probe));
}

// Catches: the caption's pictures loaded at every paint (under Wine each load is a new bitmap, LR_SHARED or not):
// ten paints a second used up the agent's GDI handles while the store window stayed open.
TEST_F(StoreBrowserTest, PaintingTheCaptionMakesNoLastingGdiObjects) {
    HWND window = m_browser->hwnd();
    ::SendMessageW(window, WM_NCPAINT, 1, 0);  // whatever the first paint sets up for good
    const WORD before = NextGdiSlot();
    constexpr int kPaints = 100;
    for (int i = 0; i < kPaints; ++i) {
        ::SendMessageW(window, WM_NCPAINT, 1, 0);  // the whole frame, the caption picture over it
    }
    // Objects left behind by each paint fill the few free slots and then take new ones at the end.
    EXPECT_LT(NextGdiSlot(), before + kPaints) << "each caption paint leaves GDI objects behind";
}

// The store page beside the agent's real main frame, whose update check asks a store that does not answer.
class StoreBrowserWithFrameTest : public testing::Test {
protected:
    void SetUp() override {
        m_state.moduleFolder = m_folder.path();
        m_state.tempFolder = m_temp.path();
        m_frame = std::make_unique<CMainFrame>(::GetModuleHandleW(nullptr), m_state, m_boxes, m_starter, m_store);
        ASSERT_TRUE(m_frame->Create());
        m_browser = std::make_unique<CFormBrowser>(::GetModuleHandleW(nullptr), m_frame->hwnd(), m_state, m_boxes,
                                                   m_state.external, m_frame->StoreUpdateCheck());
        ASSERT_TRUE(m_browser->Open(&m_dialogs));
    }
    void TearDown() override {
        m_browser.reset();
        m_frame.reset();
        agenttest::TakeQuit();
    }

    agenttest::ScratchDir m_folder;
    agenttest::ScratchDir m_temp;
    AgentState m_state;
    platform::RecordingMessageBoxes m_boxes;
    agenttest::RecordingStarter m_starter;
    platform::FileStoreWin m_store;
    platform::ModelessDialogs m_dialogs;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CFormBrowser> m_browser;
};

// Catches: a version check that could not reach the store shown as an error and then answered with "최신
// 버젼입니다." as if the versions had been compared; after a failed check nothing more is said or queued.
TEST_F(StoreBrowserWithFrameTest, AFailedVersionCheckSaysNothingMore) {
    WriteEnvironmentListing(m_folder, L"viewer");
    EXPECT_EQ(CallExternal(m_state.external, L"CB_UpdatePackage", {L"102", L"graphics", L"Viewer"}), S_OK);
    ASSERT_EQ(m_boxes.boxes().size(), 1u) << "the fetch's error only";
    EXPECT_NE(m_boxes.boxes()[0].text, L"최신 버젼입니다.");
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Update), 0u);
}

}  // namespace

namespace {

using agenttest::PumpUntil;

// The store window as the agent opens it, with OLE set up on this thread as the agent does at start; each test
// opens it itself.
class StoreViewTest : public StoreWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        m_isOleReady = true;
        StoreWindowTest::SetUp();
    }
    void TearDown() override {
        StoreWindowTest::TearDown();
        if (m_isOleReady) {
            ::OleUninitialize();
        }
    }

    bool m_isOleReady = false;
};

// Catches: the container's host interfaces answering the control wrongly: window.external not handed out (the
// page could not install anything) or handed out without a reference, a call through it not queuing the job, F5
// or Backspace reaching the page, other keys swallowed, a script message not shown as the "Custom Browser" box
// or its result slot overwritten, the 3D border or a context menu left on.
TEST_F(StoreViewTest, TheControlsSiteAnswersAsTheControlAsksIt) {
    m_browser->SetDocumentProbe([] { return S_OK; });
    m_browser->SetDocumentWait(600000);  // the control stays for the whole test
    ASSERT_TRUE(m_browser->Open(&m_dialogs));
    ASSERT_EQ(m_browser->View(), CFormBrowser::StoreView::Control);
    platform::ComPtr<IOleClientSite> site = m_browser->Control()->Site();
    ASSERT_TRUE(site);
    platform::ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(site.QueryTo(IID_IDocHostUIHandler, handler), S_OK);

    IDispatch* external = nullptr;
    ASSERT_EQ(handler->GetExternal(&external), S_OK);
    ASSERT_EQ(external, static_cast<IDispatch*>(&m_state.external));
    EXPECT_EQ(m_state.external.AddRef(), 3u) << "the agent's, the one GetExternal handed out, and this one";
    m_state.external.Release();
    EXPECT_EQ(CallExternal(*external, L"CB_InstallPackage", {L"101", L"utility", L"한글메모장"}), S_OK);
    external->Release();
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 1u);

    const HWND page = m_browser->Control()->hwnd();
    MSG f5 = {page, WM_KEYDOWN, VK_F5, 0, 0, {}};
    MSG backspace = {page, WM_CHAR, VK_BACK, 0, 0, {}};
    MSG letter = {page, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(handler->TranslateAccelerator(&f5, nullptr, 0), S_OK);
    EXPECT_EQ(handler->TranslateAccelerator(&backspace, nullptr, 0), S_OK);
    EXPECT_EQ(handler->TranslateAccelerator(&letter, nullptr, 0), S_FALSE);

    DOCHOSTUIINFO info = {sizeof(info), 0, 0, nullptr, nullptr};
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER));
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    POINT where = {10, 10};
    EXPECT_EQ(handler->ShowContextMenu(0, &where, nullptr, nullptr), S_OK);

    platform::ComPtr<IDocHostShowUI> showUi;
    ASSERT_EQ(site.QueryTo(IID_IDocHostShowUI, showUi), S_OK);
    LRESULT answer = 1234;
    wchar_t text[] = L"스크립트 오류";
    wchar_t caption[] = L"page";
    EXPECT_EQ(showUi->ShowMessage(m_browser->hwnd(), text, caption, MB_OK, nullptr, 0, &answer), S_OK);
    EXPECT_EQ(answer, 1234);
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text, text);
    EXPECT_EQ(m_boxes.boxes()[0].title, L"Custom Browser");
    EXPECT_EQ(m_boxes.boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(m_boxes.boxes()[0].owner, m_browser->hwnd().get());
}

// Catches: a store window left blank when the control brings no page (Wine without its HTML engine is such a
// case), or a fallback that opens a window of its own, loses the caption or the external object, or says
// nothing about the decision; and a probe that says a document can be made where the control brings none. The
// navigation is real: the control is asked for the store's address.
TEST_F(StoreViewTest, WithoutADocumentThePageViewTakesOverInTheSameWindow) {
    m_browser->SetDocumentProbe([] { return S_OK; });
    m_browser->SetDocumentWait(500);
    ASSERT_TRUE(m_browser->Open(&m_dialogs));
    const HWND window = m_browser->hwnd();
    ASSERT_TRUE(PumpUntil([&] { return m_browser->View() == CFormBrowser::StoreView::PageView; }))
        << "the control brought no document here, so the page view must take over";
    EXPECT_EQ(m_browser->hwnd().get(), window);
    EXPECT_FALSE(m_browser->ViewDecision().empty());
    EXPECT_EQ(m_browser->Control(), nullptr);
    wchar_t className[64] = {};
    ::GetClassNameW(m_browser->Item(IDC_STORE_VIEW), className, 64);
    EXPECT_STREQ(className, platform::kWebViewClass);
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, platform::WideCStr(common::kStoreName));
    EXPECT_EQ(m_browser->Browser().LocationURL(), m_browser->StoreAddress());
    EXPECT_EQ(CallExternal(m_state.external, L"CB_InstallPackage", {L"101", L"utility", L"메모장"}), S_OK);
    EXPECT_EQ(m_state.jobs.Count(common::JobKind::Install), 1u) << "the same external object serves the page view";
    EXPECT_TRUE(FAILED(platform::BrowserControl::ProbeHtmlDocument()))
        << "the control brought no document here, so the probe must find that none can be made";
}

// Catches: a probe's "no" not heeded (the control made and waited for while the user looks at an empty window),
// the page view not in place when Open returns, a reason reported without the probe's code, the probe asked more
// than once per opening, and a probe's "yes" that skips the control where it could show the page.
TEST_F(StoreViewTest, TheProbeDecidesBeforeTheControlIsMade) {
    struct Case {
        HRESULT probe;
        const wchar_t* decision;
    };
    const Case cases[] = {
        {E_ACCESSDENIED, L"page view: no HTML document can be made (0x80070005)"},  // Wine, its HTML engine off
        {CLASS_E_CLASSNOTAVAILABLE, L"page view: no HTML document can be made (0x80040111)"},  // Wine, no Gecko
        {REGDB_E_CLASSNOTREG, L"page view: no HTML document can be made (0x80040154)"},
        {S_OK, nullptr},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(testing::Message() << "probe 0x" << std::hex << static_cast<unsigned long>(row.probe));
        CFormBrowser browser(::GetModuleHandleW(nullptr), m_frame.hwnd(), m_state, m_boxes, m_state.external,
                             m_updates);
        int probes = 0;
        browser.SetDocumentProbe([&] {
            ++probes;
            return row.probe;
        });
        browser.SetDocumentWait(600000);
        ASSERT_TRUE(browser.Open(&m_dialogs));
        EXPECT_EQ(probes, 1);
        const HWND control = ::FindWindowExW(browser.hwnd(), nullptr, platform::kBrowserHostClass, nullptr);
        if (row.decision == nullptr) {
            EXPECT_EQ(browser.View(), CFormBrowser::StoreView::Control) << "the control is tried when it could work";
            EXPECT_NE(control, nullptr);
            continue;
        }
        EXPECT_EQ(browser.View(), CFormBrowser::StoreView::PageView);
        EXPECT_EQ(browser.ViewDecision(), row.decision);
        EXPECT_EQ(browser.Control(), nullptr);
        EXPECT_EQ(control, nullptr) << "the control was made all the same";
        wchar_t className[64] = {};
        ::GetClassNameW(browser.Item(IDC_STORE_VIEW), className, 64);
        EXPECT_STREQ(className, platform::kWebViewClass);
    }
}

}  // namespace
