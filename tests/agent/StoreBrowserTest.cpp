// The store page's requests: window.external's names, and the checks before a job is queued.
#include <gtest/gtest.h>

#include <windows.h>

#include "AgentTestSupport.h"
#include "agent/MainFrame.h"
#include "agent/browser/FormBrowser.h"
#include "agent/browser/ImpIDispatch.h"
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

class StoreBrowserTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_frame.Create(L"KelvoStoreTestFrame", L"frame"));
        m_state.moduleFolder = m_folder.path();
        m_browser = std::make_unique<CFormBrowser>(::GetModuleHandleW(nullptr), m_frame.hwnd(), m_state, m_boxes,
                                                   m_state.external, m_updates);
        // No store answers here: the page shows its notice, and the requests come from the script's side.
        ASSERT_TRUE(m_browser->Open(&m_dialogs));
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
