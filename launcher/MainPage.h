// The launcher proper: start-up, its files, the window's messages, drawing and page navigation.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ipc/CopyData.h"
#include "common/layout/LayoutPoints.h"
#include "common/layout/PageSlider.h"
#include "common/model/PackageRecord.h"
#include "launcher/CommandPanel.h"
#include "launcher/MainWnd.h"
#include "launcher/PackageItem.h"
#include "launcher/Skin.h"
#include "launcher/TolvPage.h"
#include "launcher/controls/GButton.h"
#include "launcher/controls/GDisplay.h"
#include "launcher/controls/GPicture.h"
#include "platform/UniqueHandle.h"

namespace common {
class CEnvironmentFile;
class CPageGrid;
class IFileProbe;
class IFileStore;
}  // namespace common

// One object per process, created by the entry and alive until the process ends. The class is spread over
// MainPage.cpp (start-up and messages), MainPageDraw.cpp (composition of the window), MainPageInput.cpp
// (mouse, window drag and page swipes) and MainPageCommands.cpp (running, menus, removal, drops, the command
// panel). UI thread only.
class CMainPage : public CMainWnd {
public:
    explicit CMainPage(HINSTANCE instance);
    ~CMainPage() override;

    void StartUp() override;
    void ShutDown() override;
    void Paint() override;
    void IdleStep() override;
    bool IsAnimating() const override;
    void LButtonDown(int x, int y) override;
    void LButtonUp(int x, int y) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Window messages, one handler each.
    void OnButtonNotice(WORD controlId);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    void OnGoToPage(WPARAM pageIndex);
    void OnEnvironmentChanged(WPARAM kind);
    void OnDropFiles(HDROP drop);
    void OnJobProgress(WPARAM percent, LPARAM packageId);
    void OnJobFinished(LPARAM packageId);
    void OnRunPackage(WPARAM packageId);
    void OnRemoveEmptyPage();
    void OnMouseMove(LPARAM lParam);
    LRESULT OnMouseButton(UINT message, LPARAM lParam);
    void OnPaintMessage();

    // Payload receivers, called only with payloads that passed the size check.
    void OnPackageAnnounced(common::CopyDataKind kind, const common::PackageAnnounce& announce);
    void OnAddItemRecord(const common::PackageRecord& record);
    void OnRemoveItemRecord(const common::PackageRecord& record);
    void SetBackImage(const std::optional<std::u16string>& path);

    // Start-up pieces.
    void CreateFonts();
    void ReadDriveTexts();
    void ReadLayout();
    void ReadSettingsFile();
    void CreateFrameButtons();
    void LoadEnvironment();

    // Item commands.
    struct ItemPlace {
        size_t page;
        size_t item;
    };
    void RunItem(const common::GridItem& item);
    // `params`, when given, replace the entry's own.
    void RunEntry(const common::PackageRecord& record, const std::optional<std::u16string>& params);
    std::optional<ItemPlace> FindBySerial(uint32_t serial) const;
    // Right button released at window point (x, y).
    void OnContextMenu(int x, int y);
    void OnMenuCommand(UINT id);
    void EditItem(const ItemPlace& place);
    void RemoveItem(const ItemPlace& place);
    void RemoveBySerial(uint32_t serial);
    void OnPanelAction(PanelOutcome outcome);
    void SubmitPanel();
    void BrowseInto(PanelField field, const wchar_t* filterName, const wchar_t* filterPattern);

    // Posts the removal of a page that an item removal emptied.
    void AfterItemRemoved(bool isPageEmptied);
    // Brings the drawn items in line with the grid, then paints.
    void Repaint();
    void SyncVisuals();
    void ApplySlide(const common::SlideActions& actions);
    void DrawDriveTexts(GPicture& frame);
    bool IsPanelOpen() const { return m_panel.IsOpen(); }

    std::unique_ptr<common::IFileStore> m_fileStore;
    std::unique_ptr<common::IFileProbe> m_fileProbe;
    std::unique_ptr<common::CEnvironmentFile> m_environment;
    std::unique_ptr<common::CPageGrid> m_grid;

    GDisplay m_display;
    platform::UniqueGdiObject m_captionFont;
    platform::UniqueGdiObject m_smallFont;
    std::unique_ptr<CSkin> m_skin;
    common::LayoutPoints m_layout;
    std::unique_ptr<common::PageSlider> m_slider;
    GPicture m_pageBuffer;
    GPicture m_backImage;
    bool m_isBackImageOn = false;
    std::u16string m_backImagePath;
    GButton m_homeButton;
    GButton m_exitButton;
    std::array<std::unique_ptr<CPackageItem>, 4> m_menuItems;
    std::vector<std::unique_ptr<CTolvPage>> m_pages;
    std::vector<common::Point> m_indicatorPositions;
    std::wstring m_driveLabel;
    std::wstring m_freeSpace;
    int m_freeSpaceWidth = 0;
    RECT m_windowRect = {};
    int m_lastMenuRelease = -1;
    CCommandPanel m_panel;
    uint32_t m_menuTargetSerial = 0;  // the item a context menu was opened on
    int m_swipeStartX = 0;
    bool m_isPagePressed = false;
};
