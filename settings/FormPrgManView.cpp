// The program management view.
#include "settings/FormPrgManView.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "common/ipc/AgentPayloads.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/launcher/ItemCommands.h"
#include "common/settings/SettingsRules.h"
#include "common/store/Profile.h"
#include "platform/FileReplace.h"
#include "platform/FolderTree.h"
#include "platform/SuiteWindows.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/WindowText.h"
#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"
#include "settings/resource.h"

namespace {

constexpr wchar_t kInfoTitle[] = L"정보";
constexpr UINT kInfoStyle = MB_ICONINFORMATION | MB_TOPMOST;
constexpr wchar_t kRemoveNotSavedText[] = L"변경 내용을 저장하지 못하여 프로그램을 제거하지 못하였습니다.";
constexpr UINT kAgentTimeoutMs = 30000;

struct FlagControl {
    int id;
    bool common::PackageRow::*flag;
};
constexpr FlagControl kFlags[] = {
    {IDC_PROGRAM_ALT, &common::PackageRow::alt},
    {IDC_PROGRAM_SHIFT, &common::PackageRow::shift},
    {IDC_PROGRAM_CTRL, &common::PackageRow::ctrl},
    {IDC_PROGRAM_WIN, &common::PackageRow::win},
    {IDC_PROGRAM_START_OPEN, &common::PackageRow::startOpen},
    {IDC_PROGRAM_START_CLOSE, &common::PackageRow::startClose},
};

std::wstring Text(HWND dialog, int id) {
    return platform::WindowText(::GetDlgItem(dialog, id));
}

// HEAD/CHANNEL of a package's profile on the drive; empty when the file or the value is missing.
std::wstring ReadChannel(const std::wstring& profile) {
    // A profile that cannot be read is reported by the caller as a damaged package, not by the wrapper.
    CCEXML document;
    CXmlItem root;
    if (!document.Load(profile) || !document.ToItemTree(root)) {
        return std::wstring();
    }
    const CXmlItem* head = root.FindChild(L"HEAD");
    const CXmlItem* channel = head != nullptr ? head->FindChild(L"CHANNEL") : nullptr;
    return channel != nullptr ? channel->GetValue() : std::wstring();
}

}  // namespace

CFormPrgManView::CFormPrgManView(SettingsContext& context)
    : CSettingsView(context, IDD_PROGRAM_VIEW, IDC_PROGRAM_SAVE) {}

void CFormPrgManView::OnFirstShowing() {
    HWND list = Item(IDC_PROGRAM_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    RECT client = {};
    ::GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = client.right - client.left - 2;
    column.pszText = const_cast<LPWSTR>(L"");
    ListView_InsertColumn(list, 0, &column);
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRAM_KEY, EM_LIMITTEXT, 1, 0);
    Refill(true);
}

void CFormPrgManView::OnLaterShowing() {
    Refill(false);
}

void CFormPrgManView::Refill(bool isFirstFilling) {
    HWND list = Item(IDC_PROGRAM_LIST);
    m_isFilling = true;
    ListView_DeleteAllItems(list);
    if (!m_isModified) {
        ::EnableWindow(Item(IDC_PROGRAM_SAVE), FALSE);
    }
    const char16_t drive = m_context.suiteFolder().empty() ? u'C' : static_cast<char16_t>(m_context.suiteFolder()[0]);
    m_rows = std::make_unique<common::PackageRows>(
        m_store, platform::FromWide(m_context.SuiteFile(common::kEnvironmentFile)), drive);
    m_rows->Load();
    auto& rows = m_rows->Rows();
    m_current = rows.empty() ? -1 : 0;
    SHFILEINFOW info = {};
    auto systemSmall = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (systemSmall != nullptr && m_fallbackIcon < 0) {
        ListView_SetImageList(list, systemSmall, LVSIL_SMALL);
        // A package whose program is missing still shows an icon: the suite's own.
        platform::UniqueIcon fallback(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FALLBACK_ICON), IMAGE_ICON,
                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
        if (fallback) {
            m_fallbackIcon = ImageList_AddIcon(systemSmall, fallback.get());
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        SHFILEINFOW file = {};
        int image = m_fallbackIcon;
        const std::wstring program = platform::ToWide(rows[i].path);
        // A missing file may still get the shell's generic icon: it shows the suite's own instead.
        if (::GetFileAttributesW(program.c_str()) != INVALID_FILE_ATTRIBUTES &&
            ::SHGetFileInfoW(program.c_str(), 0, &file, sizeof(file), SHGFI_SYSICONINDEX | SHGFI_SMALLICON) != 0) {
            image = file.iIcon;
        }
        std::wstring caption = platform::ToWide(rows[i].caption);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = caption.data();
        item.iImage = image;
        ListView_InsertItem(list, &item);
        if (isFirstFilling && rows[i].pkgId == m_context.start.packageId && m_context.start.packageId != 0) {
            m_current = static_cast<int>(i);
        }
    }
    m_isFilling = false;
    if (m_current >= 0) {
        ShowRow(m_current);
        ::SetFocus(list);
        ListView_SetItemState(list, m_current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CFormPrgManView::ClearBoxes() {
    m_isFilling = true;
    for (int id : {IDC_PROGRAM_CAPTION, IDC_PROGRAM_PARAM, IDC_PROGRAM_ICON, IDC_PROGRAM_KEY}) {
        ::SetDlgItemTextW(hwnd(), id, L"");
    }
    for (const FlagControl& flag : kFlags) {
        ::CheckDlgButton(hwnd(), flag.id, BST_UNCHECKED);
    }
    m_isFilling = false;
}

void CFormPrgManView::ShowRow(int index) {
    m_isFilling = true;
    const common::PackageRow& row = m_rows->Rows()[static_cast<size_t>(index)];
    ::SetDlgItemTextW(hwnd(), IDC_PROGRAM_CAPTION, platform::ToWide(row.caption).c_str());
    ::SetDlgItemTextW(hwnd(), IDC_PROGRAM_PARAM, platform::ToWide(row.param).c_str());
    ::SetDlgItemTextW(hwnd(), IDC_PROGRAM_ICON, platform::ToWide(row.icon).c_str());
    wchar_t key[2] = {static_cast<wchar_t>(row.key), L'\0'};
    ::SetDlgItemTextW(hwnd(), IDC_PROGRAM_KEY, key);
    for (const FlagControl& flag : kFlags) {
        ::CheckDlgButton(hwnd(), flag.id, row.*flag.flag ? BST_CHECKED : BST_UNCHECKED);
    }
    m_isFilling = false;
}

void CFormPrgManView::StoreControls(bool isChange) {
    if (m_current < 0) {
        return;
    }
    common::PackageRow& row = m_rows->Rows()[static_cast<size_t>(m_current)];
    row.caption = platform::FromWide(Text(hwnd(), IDC_PROGRAM_CAPTION));
    row.param = platform::FromWide(Text(hwnd(), IDC_PROGRAM_PARAM));
    row.icon = platform::FromWide(Text(hwnd(), IDC_PROGRAM_ICON));
    row.key = common::HotKeyFromBox(platform::FromWide(Text(hwnd(), IDC_PROGRAM_KEY))).value_or(0);
    for (const FlagControl& flag : kFlags) {
        row.*flag.flag = ::IsDlgButtonChecked(hwnd(), flag.id) == BST_CHECKED;
    }
    if (isChange) {
        row.isChanged = true;
    }
}

void CFormPrgManView::MarkChanged() {
    if (m_current >= 0) {
        m_rows->Rows()[static_cast<size_t>(m_current)].isChanged = true;
    }
    m_isModified = true;
    ::EnableWindow(Item(IDC_PROGRAM_SAVE), TRUE);
}

void CFormPrgManView::OnKeyBoxChanged() {
    std::wstring text = Text(hwnd(), IDC_PROGRAM_KEY);
    // An empty box clears the hot key; anything but a digit or a letter is refused.
    if (!text.empty() && !common::HotKeyFromBox(platform::FromWide(text))) {
        m_context.boxes().Show(hwnd(), L"숫자 또는 영문자만 입력가능 합니다.\n다시 입력하여 주십시오.", kInfoTitle,
                               MB_OK);
        m_isFilling = true;
        ::SetDlgItemTextW(hwnd(), IDC_PROGRAM_KEY, L"");
        m_isFilling = false;
    }
    if (m_current >= 0) {
        MarkChanged();
    }
}

INT_PTR CFormPrgManView::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->idFrom == IDC_PROGRAM_LIST && header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uNewState & LVIS_SELECTED) != 0 && !m_isFilling) {
                Select(change->iItem);
            }
            return TRUE;
        }
    }
    return CSettingsView::DialogProc(message, wParam, lParam);
}

void CFormPrgManView::Select(int index) {
    if (m_rows == nullptr || index < 0 || index >= static_cast<int>(m_rows->Rows().size()) || index == m_current) {
        return;
    }
    StoreControls(false);
    ShowRow(index);
    m_current = index;
}

bool CFormPrgManView::OnCommand(UINT id, UINT code, HWND control) {
    if (!m_isFilling) {
        if ((id == IDC_PROGRAM_CAPTION || id == IDC_PROGRAM_PARAM) && code == EN_CHANGE) {
            if (m_current >= 0) {
                MarkChanged();
            }
            return true;
        }
        if (id == IDC_PROGRAM_KEY && code == EN_CHANGE) {
            OnKeyBoxChanged();
            return true;
        }
        for (const FlagControl& flag : kFlags) {
            if (static_cast<int>(id) == flag.id && code == BN_CLICKED) {
                if (m_current >= 0 || id == IDC_PROGRAM_START_OPEN) {
                    MarkChanged();
                }
                return true;
            }
        }
    }
    if (id == IDC_PROGRAM_UPDATE && code == BN_CLICKED) {
        Update();
        return true;
    }
    if (id == IDC_PROGRAM_REMOVE && code == BN_CLICKED) {
        Remove();
        return true;
    }
    return CSettingsView::OnCommand(id, code, control);
}

void CFormPrgManView::SendToAgent(ULONG_PTR kind, const std::vector<uint8_t>& record) {
    HWND agent = platform::FindAgentWindow();
    if (agent == nullptr) {
        return;
    }
    COPYDATASTRUCT data = {};
    data.dwData = kind;
    data.cbData = static_cast<DWORD>(record.size());
    data.lpData = const_cast<uint8_t*>(record.data());
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(agent, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAgentTimeoutMs,
                          &result);
}

void CFormPrgManView::OnSave() {
    if (!m_isModified || m_rows == nullptr) {
        return;
    }
    if (m_current >= 0 && m_rows->Rows()[static_cast<size_t>(m_current)].isChanged) {
        StoreControls(true);
    }
    for (const common::PackageRow& row : m_rows->Rows()) {
        if (!row.isChanged) {
            continue;
        }
        SendToAgent(static_cast<ULONG_PTR>(common::CopyDataKind::HotKey),
                    common::HotKeyPayload{row.key, row.alt, row.shift, row.ctrl, row.win, row.pkgId}.Write());
        if (row.startOpen || row.startClose) {
            SendToAgent(static_cast<ULONG_PTR>(common::CopyDataKind::AutoPrograms),
                        common::AutoProgramsPayload::ForPackage(row.path, row.startOpen, row.startClose).Write());
        }
    }
    if (m_rows->Save()) {
        if (HWND agent = platform::FindAgentWindow()) {
            ::PostMessageW(agent, common::kMsgEnvChanged, common::kEnvFileEdited, 0);
        }
    }
}

void CFormPrgManView::OnOK() {
    OnSave();
    ::PostQuitMessage(0);
}

void CFormPrgManView::Update() {
    if (m_current < 0) {
        return;
    }
    const common::PackageRow& row = m_rows->Rows()[static_cast<size_t>(m_current)];
    const char16_t drive = static_cast<char16_t>(m_context.suiteFolder()[0]);
    // The folder the package was installed into, whatever its caption says now.
    std::optional<std::u16string> folder = common::InstallFolderOf(row.path, drive);
    std::wstring channel;
    if (folder) {
        channel = ReadChannel(platform::ToWide(common::PackageFolder(drive, *folder)) + L"\\" +
                              platform::WideCStr(common::kProfileFile));
    }
    if (channel.empty()) {
        m_context.boxes().Show(hwnd(), L"프로그램이 손상되었습니다.\n다시 설치하십시오", kInfoTitle, kInfoStyle);
        return;
    }
    HWND agent = platform::FindAgentWindow();
    if (agent == nullptr) {
        m_context.boxes().Show(hwnd(), L"Kelvo가 정상 동작하지 않습니다.\n다시 실행하십시오.", kInfoTitle, kInfoStyle);
        return;
    }
    std::vector<uint8_t> record = common::UpdateCheckPayload::ForPackage(platform::FromWide(channel), *folder).Write();
    COPYDATASTRUCT data = {};
    data.dwData = static_cast<ULONG_PTR>(common::CopyDataKind::UpdateCheck);
    data.cbData = static_cast<DWORD>(record.size());
    data.lpData = record.data();
    DWORD_PTR reply = 0;
    if (::SendMessageTimeoutW(agent, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAgentTimeoutMs,
                              &reply) != 0 &&
        reply == 0) {
        m_context.boxes().Show(hwnd(), L"최신 버젼입니다.", kInfoTitle, kInfoStyle);
    }
}

void CFormPrgManView::Remove() {
    if (m_current < 0) {
        return;
    }
    const common::PackageRow removed = m_rows->Rows()[static_cast<size_t>(m_current)];
    // The entry goes from a file another program holds open only after that program lets go: nothing is
    // deleted until the file can be written, so the files and the entry never part.
    if (platform::IsFileHeld(m_context.SuiteFile(common::kEnvironmentFile))) {
        m_context.boxes().Show(hwnd(), kRemoveNotSavedText, kInfoTitle, kInfoStyle);
        return;
    }
    // Only the folder the package was installed into, never one a caption happens to name. A folder that cannot
    // go (a program in it is running) keeps the row, so that the removal can be tried again.
    std::optional<std::u16string> folder =
        common::ProgramFolderToDelete(platform::FromWide(m_context.suiteFolder()), removed.path);
    if (folder && !platform::DeleteFolderTree(platform::ToWide(*folder))) {
        m_context.boxes().Show(hwnd(), platform::ToWide(removed.caption + common::kFolderInUseText), kInfoTitle,
                               kInfoStyle);
        return;
    }
    const int removedIndex = m_current;
    if (!m_rows->Remove(static_cast<size_t>(removedIndex))) {
        // The file still holds the row: the list and the rows are read from it again, so they stay in step.
        Refill(false);
        m_context.boxes().Show(hwnd(), kRemoveNotSavedText, kInfoTitle, kInfoStyle);
        return;
    }
    HWND list = Item(IDC_PROGRAM_LIST);
    m_isFilling = true;
    ListView_DeleteItem(list, removedIndex);
    m_isFilling = false;
    const int remaining = static_cast<int>(m_rows->Rows().size());
    m_current = remaining == 0 ? -1 : std::min(removedIndex, remaining - 1);
    if (m_current >= 0) {
        // The boxes show the row that took the removed one's place, so a later save writes what they show.
        ShowRow(m_current);
        m_isFilling = true;
        ListView_SetItemState(list, m_current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_isFilling = false;
    } else {
        ClearBoxes();
    }
    // The agent drops the package's hot key, tells the store and has the launcher reload.
    SendToAgent(static_cast<ULONG_PTR>(common::CopyDataKind::HotKey),
                common::HotKeyPayload{0, false, false, false, false, removed.pkgId}.Write());
    if (HWND agent = platform::FindAgentWindow()) {
        ::PostMessageW(agent, common::kMsgEnvChanged, common::kEnvPackageRemoved, static_cast<LPARAM>(removed.pkgId));
    }
    m_context.boxes().Show(hwnd(), L"프로그램이 성공적으로 제거되었습니다.", kInfoTitle, kInfoStyle);
}
