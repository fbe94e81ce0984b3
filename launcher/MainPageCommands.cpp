// CMainPage: the item commands — running entries, context menus, removal, editing, dropped files and the
// command panel's buttons.
#include "launcher/MainPage.h"

#include <commdlg.h>

#include "common/ipc/Messages.h"
#include "common/launcher/ItemCommands.h"
#include "common/model/PageGrid.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/RemoveItemDialog.h"
#include "launcher/resource.h"
#include "platform/FolderTree.h"
#include "platform/ShellSearch.h"
#include "platform/SuiteWindows.h"
#include "platform/SystemLibrary.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"

namespace {

constexpr wchar_t kWarningTitle[] = L"경고";
constexpr UINT kInfoStyle = MB_TOPMOST | MB_ICONINFORMATION;
constexpr wchar_t kOtherDriveText[] = L"\u201CKelvo와 동일한 드라이브 내에 있는 파일 또는 폴더만 등록 가능 합니다.";
constexpr wchar_t kNotProgramOrFolderText[] = L"폴더 또는 실행파일만 등록 가능합니다.";
constexpr wchar_t kEmptyCommandText[] = L"사용자 명령을 입력하세요.";
constexpr wchar_t kBusyRemovalText[] = L"프로그램을 설치 또는 업데이트 중에는 삭제 할 수 없습니다.";
constexpr wchar_t kRemoveCommandText[] = L"을 시스템에서 제거합니다.";
constexpr wchar_t kUnsavedText[] =
    L"변경 내용을 TolvEnv.xml에 저장할 수 없습니다.\n드라이브가 쓰기 금지되어 있는지 확인하여 주십시오.\n"
    L"바뀐 내용은 저장할 수 있게 되면 다음 변경과 함께 저장되며, 그때까지는 이 창에만 남습니다.";
// The settings button's slot in the default menu: "edit" on a store package opens the settings program there.
constexpr size_t kSettingsMenuSlot = 3;

int Ask(platform::IMessageBoxes& boxes, HWND owner, const std::wstring& text, UINT style) {
    return boxes.Show(owner, text, platform::kInfoTitle, style);
}

std::wstring Wide(const std::u16string& text) {
    return platform::ToWide(text);
}

}  // namespace

void CMainPage::TellIfChangesUnsaved() {
    if (m_isUnsavedTold || m_grid == nullptr || !m_grid->HasUnsavedChanges()) {
        return;
    }
    // Once per run: a write-protected stick would otherwise ask after every change.
    m_isUnsavedTold = true;
    Ask(m_boxes, hwnd(), kUnsavedText, kInfoStyle);
}

void CMainPage::RunItem(const common::GridItem& item) {
    RunEntry(item.record, std::nullopt);
}

void CMainPage::RunEntry(const common::PackageRecord& record, const std::optional<std::u16string>& params) {
    common::RunRequest request = common::PlanRun(record, params, g_launcherFolder);
    switch (request.action) {
        case common::RunRequest::Action::None:
            return;
        case common::RunRequest::Action::Search:
            platform::OpenSystemSearch(Wide(request.file), true);
            return;
        case common::RunRequest::Action::OpenStore:
            if (platform::Hwnd agent = platform::FindAgentWindow()) {
                agent.Post(common::kMsgOpenStore, 0, 0);
            }
            return;
        case common::RunRequest::Action::Shell:
            break;
    }
    std::wstring verb = Wide(request.verb);
    std::wstring file = Wide(request.file);
    std::wstring parameters = Wide(request.params);
    std::wstring folder = Wide(request.workingFolder);
    HINSTANCE started = ::ShellExecuteW(hwnd(), verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                        parameters.empty() ? nullptr : parameters.c_str(),
                                        folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    auto result = reinterpret_cast<intptr_t>(started);
    if (result <= 32) {
        if (std::optional<std::u16string> text = common::RunFailureMessage(result)) {
            m_boxes.Show(nullptr, Wide(*text), kWarningTitle, MB_TOPMOST | MB_ICONWARNING);
        }
    }
}

std::optional<CMainPage::ItemPlace> CMainPage::FindBySerial(uint32_t serial) const {
    if (serial == 0) {
        return std::nullopt;
    }
    for (size_t page = 0; page < m_grid->PageCount(); ++page) {
        const auto& items = m_grid->Pages()[page].items;
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].serial == serial) {
                return ItemPlace{page, index};
            }
        }
    }
    return std::nullopt;
}

void CMainPage::OpenContextMenu(int x, int y) {
    common::Rect area = m_layout.PageArea();
    size_t current = m_grid->CurrentPage();
    int menuId = 0;
    m_menuTargetSerial = 0;
    int hit = current < m_pages.size() ? m_pages[current]->HitItem(x - area.left, y - area.top) : -1;
    if (hit >= 0 && static_cast<size_t>(hit) < m_grid->Pages()[current].items.size()) {
        const common::GridItem& item = m_grid->Pages()[current].items[hit];
        switch (common::MenuForItem(item.record)) {
            case common::ItemMenu::None:
                return;
            case common::ItemMenu::Update:
                menuId = IDR_POPUP_PACKAGE;
                break;
            case common::ItemMenu::Plain:
                menuId = IDR_POPUP_PLAIN;
                break;
        }
        m_menuTargetSerial = item.serial;
    } else if (x >= area.left && x <= area.right && y >= area.top && y <= area.bottom) {
        menuId = IDR_POPUP_MAINMENU;
    } else {
        return;
    }
    platform::UniqueMenu menu(::LoadMenuW(m_instance, MAKEINTRESOURCEW(menuId)));
    if (!menu) {
        return;
    }
    // The menu's bottom edge at the pointer.
    POINT at = {x, y};
    ::ClientToScreen(hwnd(), &at);
    ::TrackPopupMenu(::GetSubMenu(menu.get(), 0), TPM_BOTTOMALIGN, at.x, at.y, 0, hwnd(), nullptr);
}

void CMainPage::OnMenuCommand(UINT id) {
    // The target is found again by its serial: the menu's own loop may have let an agent notice move or remove it.
    std::optional<ItemPlace> target = FindBySerial(m_menuTargetSerial);
    switch (id) {
        case ID_PAGE_REFRESH:
            hwnd().Post(common::kMsgEnvChanged, common::kEnvRecheckPrograms, 0);
            break;
        case ID_PAGE_ADD_COMMAND:
            m_panel.OpenForAdding();
            Paint();
            break;
        case ID_ITEM_UPDATE:
            if (target && m_grid->MarkUpdating(target->page, target->item)) {
                Repaint();
            }
            break;
        case ID_ITEM_EDIT:
            if (target) {
                EditItem(*target);
            }
            break;
        case ID_ITEM_REMOVE:
            if (target) {
                RemoveItem(*target);
            }
            break;
        default:
            break;
    }
}

void CMainPage::EditItem(const ItemPlace& place) {
    const common::GridItem& item = m_grid->Pages()[place.page].items[place.item];
    if (common::IsUserCommand(item.record)) {
        m_panel.OpenForEditing(item.serial, Wide(item.record.path.Get()), Wide(item.record.icon.Get()),
                               Wide(item.record.caption.Get()), Wide(item.record.param.Get()));
        Paint();
        return;
    }
    const auto& settingsButton = m_grid->Menu()[kSettingsMenuSlot];
    if (settingsButton) {
        RunEntry(settingsButton->record, common::EditParams(item.record.pkgId));
    }
}

void CMainPage::RemoveItem(const ItemPlace& place) {
    // A copy: the dialogs below run message loops in which the grid may change.
    const common::GridItem item = m_grid->Pages()[place.page].items[place.item];
    const std::wstring caption = Wide(item.record.caption.Get());
    if (item.record.updateFlag == common::kStateInstalling) {
        Ask(m_boxes, nullptr, kBusyRemovalText, kInfoStyle);
        return;
    }
    if (common::IsUserCommand(item.record)) {
        if (Ask(m_boxes, hwnd(), caption + kRemoveCommandText, kInfoStyle | MB_OKCANCEL) == IDOK) {
            RemoveBySerial(item.serial);
        }
        return;
    }
    CRemoveItemDialog dialog(caption, hwnd());
    INT_PTR choice = dialog.Ask(m_instance);
    if (choice == CRemoveItemDialog::kCancelled) {
        return;
    }
    if (choice == CRemoveItemDialog::kFullRemoval) {
        // Only the package's own folder, found from its program; a program elsewhere deletes nothing.
        std::optional<std::u16string> folder = common::ProgramFolderToDelete(g_launcherFolder, item.record.path.Get());
        if (folder && !platform::DeleteFolderTree(Wide(*folder))) {
            // Something in it is in use: the item stays, so the removal can be tried again.
            Ask(m_boxes, hwnd(), caption + platform::WideCStr(common::kFolderInUseText), kInfoStyle);
            return;
        }
    }
    RemoveBySerial(item.serial);
    if (platform::Hwnd agent = platform::FindAgentWindow()) {
        agent.Post(common::kMsgEnvChanged, common::kEnvPackageRemoved, static_cast<LPARAM>(item.record.pkgId));
    }
}

void CMainPage::RemoveBySerial(uint32_t serial) {
    if (std::optional<ItemPlace> place = FindBySerial(serial)) {
        std::optional<uint32_t> emptiedPage;
        m_grid->RemoveItem(place->page, place->item, &emptiedPage);
        AfterItemRemoved(emptiedPage);
    }
}

void CMainPage::OnDropFiles(HDROP drop) {
    // A drop while the panel is open is ignored, but the drop is always released.
    wchar_t path[MAX_PATH] = {};
    UINT length = IsPanelOpen() ? 0 : ::DragQueryFileW(drop, 0, path, MAX_PATH);
    ::DragFinish(drop);
    if (length == 0) {
        return;
    }
    std::u16string dropped = platform::FromWide(path);
    switch (common::CheckRegistration(dropped, true, g_launcherFolder, *m_fileProbe)) {
        case common::RegistrationCheck::OtherDrive:
            Ask(m_boxes, nullptr, kOtherDriveText, kInfoStyle);
            return;
        case common::RegistrationCheck::NotProgramOrFolder:
            Ask(m_boxes, hwnd(), kNotProgramOrFolderText, kInfoStyle);
            return;
        case common::RegistrationCheck::Accepted:
            break;
    }
    common::NewPackage package;
    package.pkgType = common::kPkgTypeDropped;
    package.path = dropped;
    package.icon = dropped;
    if (m_grid->AddPackage(package)) {
        Repaint();
    }
}

void CMainPage::OnPanelAction(PanelOutcome outcome) {
    switch (outcome) {
        case PanelOutcome::Ok:
            SubmitPanel();
            break;
        case PanelOutcome::Cancel:
            m_panel.Close();
            break;
        case PanelOutcome::BrowseCommand:
            BrowseInto(PanelField::Command, L"실행 파일(*.exe, *.dll)", L"*.exe;*.dll");
            break;
        case PanelOutcome::BrowseIcon:
            BrowseInto(PanelField::Icon, L"아이콘파일(*.ico)", L"*.ico");
            break;
        default:
            break;
    }
    Repaint();
}

void CMainPage::SubmitPanel() {
    common::PanelEntry entry;
    common::PanelCheck check = common::CheckPanelEntry(
        platform::FromWide(m_panel.Text(PanelField::Command)), platform::FromWide(m_panel.Text(PanelField::Caption)),
        platform::FromWide(m_panel.Text(PanelField::Parameter)), platform::FromWide(m_panel.Text(PanelField::Icon)),
        g_launcherFolder, *m_fileProbe, &entry);
    if (check == common::PanelCheck::EmptyCommand) {
        Ask(m_boxes, hwnd(), kEmptyCommandText, kInfoStyle);
        return;
    }
    if (check == common::PanelCheck::NotProgramOrFolder) {
        Ask(m_boxes, hwnd(), kNotProgramOrFolderText, kInfoStyle);
        return;
    }
    if (m_panel.IsEditing()) {
        // An item that left the grid while the panel was open is not recreated.
        if (std::optional<ItemPlace> place = FindBySerial(m_panel.EditedSerial())) {
            m_grid->EditItem(place->page, place->item, entry.caption, entry.path, entry.param, entry.icon);
        }
    } else {
        common::NewPackage package;
        package.pkgType = common::kPkgTypeTyped;
        package.caption = entry.caption;
        package.path = entry.path;
        package.param = entry.param;
        package.icon = entry.icon.empty() ? entry.path : entry.icon;
        m_grid->AddPackage(package);
    }
    m_panel.Close();
}

void CMainPage::BrowseInto(PanelField field, const wchar_t* filterName, const wchar_t* filterPattern) {
    std::wstring filter = std::wstring(filterName) + L'\0' + filterPattern + L'\0';
    wchar_t path[CCommandPanel::kFieldUnits] = {};
    std::wstring current = m_panel.Text(field);
    current.copy(path, CCommandPanel::kFieldUnits - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = CCommandPanel::kFieldUnits;
    dialog.Flags = OFN_HIDEREADONLY;
    // comdlg32.dll is loaded at the first browse: loaded at start it would hold the printing system for good.
    const auto getOpenFileName =
        platform::SystemLibrary::Function<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (getOpenFileName != nullptr && getOpenFileName(&dialog)) {
        m_panel.SetBrowsed(field, path);
    }
}
