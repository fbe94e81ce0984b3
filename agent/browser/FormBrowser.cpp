// The store browser dialog: its view, caption, keys and the page's requests.
#include "agent/browser/FormBrowser.h"

#include <cstdio>
#include <cwchar>

#include "agent/EnvironmentScan.h"
#include "agent/resource.h"
#include "common/agent/PackageJobs.h"
#include "common/config/StoreHosts.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/text/TextUtil.h"
#include "platform/GdiGuards.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/inet/StoreNotice.h"

namespace {

constexpr UINT_PTR kCaptionTimer = 1;
constexpr UINT_PTR kDocumentTimer = 2;
constexpr wchar_t kPageMessageTitle[] = L"Custom Browser";
constexpr UINT kCaptionTimerMs = 100;
constexpr int kCaptionHeight = 22;
constexpr wchar_t kInfoTitle[] = L"정보";
constexpr UINT kInfoStyle = MB_ICONINFORMATION | MB_TOPMOST;
constexpr wchar_t kBadPackageNames[] = L"프로그램 정보가 올바르지 않습니다.";

bool IsHeld(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

// A key-down of `key`: the message's own key, or the key held while another goes down.
bool IsDown(const MSG& message, int key) {
    return message.wParam == static_cast<WPARAM>(key) || IsHeld(key);
}

common::CaptionMetrics SystemCaptionMetrics() {
    return common::CaptionMetrics{::GetSystemMetrics(SM_CXSIZE), ::GetSystemMetrics(SM_CYSIZE),
                                  ::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYFRAME)};
}

int CaptionGlyph(int number) {
    switch (static_cast<common::CaptionButton>(number)) {
        case common::CaptionButton::Close:
            return IDB_CAPTION_CLOSE;
        case common::CaptionButton::Minimise:
            return IDB_CAPTION_MINIMISE;
        default:
            return IDB_CAPTION_HOME;
    }
}

HBITMAP LoadPicture(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

std::wstring HexCode(long code) {
    wchar_t text[16] = {};
    ::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace

CFormBrowser::CFormBrowser(HINSTANCE instance, HWND frame, AgentState& state, platform::IMessageBoxes& boxes,
                           CImpIDispatch& external, IStoreUpdateCheck& updates)
    : m_instance(instance), m_frame(frame), m_state(state), m_boxes(boxes), m_external(external), m_updates(updates) {
    m_captionButtonMessage = ::RegisterWindowMessageW(L"WMU_HITCAPBUTTON--{46CB2AA1-EB38-48ab-A4EC-D7C1D5D15648}");
    m_captionPicture.reset(LoadPicture(instance, IDB_BROWSER_CAPTION));
    for (int number = 1; number <= common::kCaptionButtonCount; ++number) {
        m_buttonPictures[static_cast<size_t>(number - 1)].reset(LoadPicture(instance, CaptionGlyph(number)));
    }
}

bool CFormBrowser::Open(platform::ModelessDialogs* dialogs) {
    if (!CreateModeless(m_instance, IDD_STOREBROWSER, nullptr, dialogs)) {
        return false;
    }
    hwnd().Show(SW_SHOW);
    return true;
}

std::wstring CFormBrowser::StoreAddress() const {
    const std::wstring host = platform::ToWide(common::kStoreHttpHost);
    if (m_state.settings.autoLogin != 0) {
        return platform::StoreLoginAddress(host, platform::StoreLogin{platform::ToWide(m_state.credentials.id),
                                                                      platform::ToWide(m_state.credentials.password)});
    }
    return L"http://" + host + L"/";
}

bool CFormBrowser::OnInitDialog() {
    m_external.SetRequests(this);
    m_view = StoreView::None;
    m_hasDocument = false;
    m_viewDecision.clear();
    StartTimer(kCaptionTimer, kCaptionTimerMs);
    CreateView();
    return true;
}

void CFormBrowser::CreateView() {
    // Without an HTML document the control shows nothing, not even its error page: waiting for one would only
    // keep the user from the page.
    const HRESULT canHaveDocument = m_documentProbe();
    if (FAILED(canHaveDocument)) {
        UsePageView(L"no HTML document can be made (" + HexCode(canHaveDocument) + L")");
        return;
    }
    // Made here, not by the template: a template's control gets no creation parameter to bind its object to.
    HRESULT failure = S_OK;
    m_control = platform::BrowserControl::Create(m_instance, hwnd(), IDC_STORE_VIEW, ViewRect(), this, &failure);
    if (!m_control) {
        UsePageView(L"the browser control cannot be created (" + HexCode(failure) + L")");
        return;
    }
    m_view = StoreView::Control;
    NavigateStore();
}

void CFormBrowser::NavigateStore() {
    if (m_view == StoreView::PageView) {
        m_browser.Navigate2(StoreAddress());
        return;
    }
    if (m_view != StoreView::Control) {
        return;
    }
    HRESULT result = m_control->Navigate(StoreAddress());
    if (FAILED(result)) {
        UsePageView(L"the browser control cannot navigate (" + HexCode(result) + L")");
        return;
    }
    if (!m_hasDocument) {
        StartTimer(kDocumentTimer, m_documentWaitMs);
    }
}

void CFormBrowser::UsePageView(const std::wstring& reason) {
    StopTimer(kDocumentTimer);
    m_control.reset();
    platform::CWebView::CreateChild(m_instance, hwnd(), IDC_STORE_VIEW, ViewRect());
    m_browser.Attach(Item(IDC_STORE_VIEW));
    m_browser.SetHost(this);
    // The keyboard focus may have gone with the control's windows; the page then takes the keys.
    if (::GetActiveWindow() == hwnd().get() && ::GetFocus() == nullptr) {
        ::SetFocus(Item(IDC_STORE_VIEW));
    }
    m_view = StoreView::PageView;
    ReportView(L"page view: " + reason);
    FitView();
    m_browser.Navigate2(StoreAddress());
}

void CFormBrowser::OnDocumentWaitOver() {
    StopTimer(kDocumentTimer);
    if (m_view != StoreView::Control || m_hasDocument) {
        return;
    }
    if (m_control->HasDocument()) {
        OnDocumentComplete(m_control->LocationUrl(), true);
        return;
    }
    UsePageView(L"the browser control brought no document within " + std::to_wstring(m_documentWaitMs) + L" ms");
}

void CFormBrowser::OnNavigateComplete(const std::wstring& /*url*/) {}

void CFormBrowser::OnDocumentComplete(const std::wstring& url, bool hasDocument) {
    if (!hasDocument || m_hasDocument || m_view != StoreView::Control) {
        return;
    }
    m_hasDocument = true;
    StopTimer(kDocumentTimer);
    ReportView(L"browser control: a document came for " + url);
}

void CFormBrowser::OnNavigateError(const std::wstring& /*url*/, long /*status*/) {
    // The control shows its own error page, which is a document: the wait decides, not the error.
}

void CFormBrowser::ReportView(const std::wstring& decision) {
    // There is no log file: a debugger or Wine's debug channel sees this, and tests read stderr.
    m_viewDecision = decision;
    const std::wstring line = L"Marlo store view: " + decision + L"\n";
    ::OutputDebugStringW(line.c_str());
    std::fputws(line.c_str(), stderr);
    std::fflush(stderr);
}

void CFormBrowser::ShowPageMessage(HWND owner, const std::wstring& text) {
    m_boxes.Show(owner != nullptr ? owner : hwnd().get(), text, kPageMessageTitle, MB_OK | MB_ICONERROR);
}

bool CFormBrowser::AskPageQuestion(HWND owner, const std::wstring& text) {
    return m_boxes.Show(owner != nullptr ? owner : hwnd().get(), text, kPageMessageTitle,
                        MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool CFormBrowser::PreTranslateMessage(MSG& message) {
    return m_view == StoreView::Control && m_control && m_control->TranslateKey(message);
}

RECT CFormBrowser::ViewRect() const {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    ::InflateRect(&client, -1, -1);
    return client;
}

void CFormBrowser::FitView() {
    const RECT rect = ViewRect();
    ::MoveWindow(Item(IDC_STORE_VIEW), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

INT_PTR CFormBrowser::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_captionButtonMessage != 0 && message == m_captionButtonMessage) {
        OnCaptionButton(static_cast<int>(wParam));
        return TRUE;
    }
    switch (message) {
        case WM_SIZE:
            FitView();
            PaintCaption();
            break;
        case WM_NCPAINT:
        case WM_NCACTIVATE: {
            // The system's caption first, then the picture over it.
            LRESULT result = ::DefWindowProcW(hwnd(), message, wParam, lParam);
            PaintCaption();
            ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        case WM_NCMOUSEMOVE: {
            const common::CaptionButton button =
                CaptionButtonAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            SetHoverButton(button);
            if (button != common::CaptionButton::None) {
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd(), 0};
                ::TrackMouseEvent(&track);
                return TRUE;
            }
            break;
        }
        case WM_NCMOUSELEAVE:
            SetHoverButton(common::CaptionButton::None);
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: {
            const common::CaptionButton button =
                CaptionButtonAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            if (button != common::CaptionButton::None) {
                SetHoverButton(common::CaptionButton::None);
                hwnd().Send(m_captionButtonMessage, static_cast<WPARAM>(button), 0);
                return TRUE;
            }
            break;
        }
        case WM_DESTROY:
            StopTimer(kCaptionTimer);
            StopTimer(kDocumentTimer);
            m_external.SetRequests(nullptr);
            break;
        default:
            break;
    }
    return DialogBase::DialogProc(message, wParam, lParam);
}

void CFormBrowser::OnTimer(UINT_PTR timerId) {
    if (timerId == kCaptionTimer) {
        // A leave notice can go missing (the cursor left through another window): the tick puts the light out.
        POINT cursor = {};
        if (m_hoverButton != common::CaptionButton::None && ::GetCursorPos(&cursor) &&
            CaptionButtonAt(cursor) != m_hoverButton) {
            m_hoverButton = common::CaptionButton::None;
        }
        PaintCaption();
    } else if (timerId == kDocumentTimer) {
        OnDocumentWaitOver();
    }
}

void CFormBrowser::PaintCaption() {
    HBITMAP picture = m_captionPicture.get();
    // While the window is being made it is sized and activated before it is shown; showing it paints the frame.
    if (picture == nullptr || !::IsWindowVisible(hwnd())) {
        return;
    }
    RECT window = {};
    hwnd().GetWindowRect(&window);
    platform::WindowDc dc = platform::WindowDc::WholeWindow(hwnd());
    platform::UniqueMemoryDc memory(::CreateCompatibleDC(dc.get()));
    platform::SelectGuard select(memory.get(), picture);
    BITMAP info = {};
    ::GetObjectW(picture, sizeof(info), &info);
    ::SetStretchBltMode(dc.get(), COLORONCOLOR);
    const int width = window.right - window.left;
    ::StretchBlt(dc.get(), 0, 0, width, kCaptionHeight, memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    PaintCaptionButtons(dc.get(), width);
}

void CFormBrowser::PaintCaptionButtons(HDC dc, int windowWidth) {
    const common::CaptionMetrics metrics = SystemCaptionMetrics();
    platform::UniqueMemoryDc cells(::CreateCompatibleDC(dc));
    ::SetStretchBltMode(dc, HALFTONE);
    for (int number = 1; number <= common::kCaptionButtonCount; ++number) {
        HBITMAP picture = m_buttonPictures[static_cast<size_t>(number - 1)].get();
        if (picture == nullptr) {
            continue;
        }
        // Each picture holds two cells side by side: the button at rest, then lit under the cursor; the cell
        // is stretched to the system's caption-button size.
        BITMAP info = {};
        ::GetObjectW(picture, sizeof(info), &info);
        const int cellWidth = info.bmWidth / 2;
        const int source = static_cast<int>(m_hoverButton) == number ? cellWidth : 0;
        const common::CaptionRect cell = common::CaptionButtonRect(windowWidth, kCaptionHeight, metrics, number);
        platform::SelectGuard select(cells.get(), picture);
        ::StretchBlt(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, cells.get(), source, 0,
                     cellWidth, info.bmHeight, SRCCOPY);
    }
}

common::CaptionButton CFormBrowser::CaptionButtonAt(POINT screen) const {
    RECT window = {};
    hwnd().GetWindowRect(&window);
    return common::CaptionButtonAt(window.right - window.left, kCaptionHeight, SystemCaptionMetrics(),
                                   screen.x - window.left, screen.y - window.top);
}

void CFormBrowser::SetHoverButton(common::CaptionButton button) {
    if (button != m_hoverButton) {
        m_hoverButton = button;
        PaintCaption();
    }
}

void CFormBrowser::OnCaptionButton(int button) {
    switch (button) {
        case 1:
            OnCancel();
            break;
        case 2:
            hwnd().Show(SW_MINIMIZE);
            break;
        case 3:
            NavigateStore();
            break;
        default:
            break;
    }
}

void CFormBrowser::OnCancel() {
    ::PostMessageW(m_frame, common::kMsgBrowserClosed, 0, 0);
    EndModal(IDCANCEL);
}

bool CFormBrowser::FilterKey(const MSG& message) {
    const bool isKeyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (isKeyDown && IsDown(message, VK_F5)) {
        return true;  // no refresh
    }
    if ((::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        if (isKeyDown && (IsDown(message, 'O') || IsDown(message, 'P') || IsDown(message, 'N'))) {
            return true;  // no open, print or new window
        }
    } else if (message.wParam == VK_BACK) {
        return true;  // no going back
    }
    return false;
}

void CFormBrowser::Inform(const wchar_t* text) {
    m_boxes.Show(hwnd(), text, kInfoTitle, kInfoStyle);
}

bool CFormBrowser::IsListedInLauncher(const std::wstring& packageName) const {
    // A file that cannot be read lists nothing; its problems are not the store page's to show.
    std::optional<EnvironmentScan> scan =
        ScanEnvironmentFile(m_state.moduleFolder + L"\\" + platform::WideCStr(common::kEnvironmentFile), 0);
    if (!scan) {
        return false;
    }
    for (const std::u16string& caption : scan->captions) {
        if (common::EqualsIgnoreCase(caption, platform::FromWide(packageName))) {
            return true;
        }
    }
    return false;
}

std::optional<common::PackageJob> CFormBrowser::NewJob(const std::wstring& index, const std::wstring& storeDirectory,
                                                       const std::wstring& packageName, const wchar_t* busyText) {
    const int32_t packageIndex = common::ParseLeadingInt(platform::FromWide(index));
    if (m_state.jobs.Contains(packageIndex)) {
        Inform(busyText);
        return std::nullopt;
    }
    // Names that would leave the download folder or the store's address give no job.
    std::optional<common::PackageJob> job =
        common::MakePackageJob(packageIndex, platform::FromWide(storeDirectory), platform::FromWide(packageName));
    if (!job) {
        Inform(kBadPackageNames);
    }
    return job;
}

void CFormBrowser::UpdatePackage(const std::wstring& index, const std::wstring& storeDirectory,
                                 const std::wstring& packageName) {
    std::optional<common::PackageJob> job = NewJob(index, storeDirectory, packageName, L"업데이트가 진행 중입니다.");
    if (!job) {
        return;
    }
    const UpdateCheckResult check = m_updates.CheckStoreUpdate(job->profilePath.Get(), job->packageName.Get());
    if (check == UpdateCheckResult::Failed) {
        return;  // its error has been shown; anything more would read as an answer
    }
    if (check == UpdateCheckResult::NotNewer && IsListedInLauncher(packageName)) {
        Inform(L"최신 버젼입니다.");
        return;
    }
    if (m_state.jobs.Append(common::JobKind::Update, *job)) {
        m_state.jobsQueued.Set();
        ::PostMessageW(m_frame, common::kMsgBrowserUpdateQueued, static_cast<WPARAM>(job->packageIndex), 0);
    }
}

void CFormBrowser::InstallPackage(const std::wstring& index, const std::wstring& storeDirectory,
                                  const std::wstring& packageName) {
    std::optional<common::PackageJob> job = NewJob(index, storeDirectory, packageName, L"설치가 진행 중입니다.");
    if (job && m_state.jobs.Append(common::JobKind::Install, *job)) {
        m_state.jobsQueued.Set();
        ::PostMessageW(m_frame, common::kMsgBrowserInstallQueued, static_cast<WPARAM>(job->packageIndex), 0);
    }
}
