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
#include "common/widgets/ControlHost.h"
#include "launcher/CommandPanel.h"
#include "launcher/PackageItem.h"
#include "launcher/Skin.h"
#include "launcher/TolvPage.h"
#include "launcher/controls/GButton.h"
#include "launcher/controls/GDisplay.h"
#include "launcher/controls/GPicture.h"
#include "platform/UniqueHandle.h"
#include "platform/framework/FrameWindow.h"
#include "platform/framework/IMessageBoxes.h"
#include "platform/framework/MessageLoopPolicy.h"

namespace common {
class CEnvironmentFile;
class CPageGrid;
class IFileProbe;
class IFileStore;
}  // namespace common

// One object per process, created by the application object and alive until its loop has ended. The class is
// spread over MainPage.cpp (start-up and messages), MainPageDraw.cpp (composition of the window),
// MainPageInput.cpp (mouse, window drag, page swipes and the loop's pacing) and MainPageCommands.cpp (running,
// menus, removal, drops, the command panel). UI thread only.
//
// The loop's pacing (IMessageLoopPolicy): a paint follows every sixth message taken; each idle turn steps the
// slide animation; while nothing slides the loop blocks until input arrives instead of waking a thousand times a
// second. The loop stops when the window is destroyed or the exit button finds no agent to ask.
class CMainPage : public platform::FrameWindow, public platform::IMessageLoopPolicy {
public:
    // `boxes` shows every message box of the launcher and must outlive the page.
    CMainPage(HINSTANCE instance, platform::IMessageBoxes& boxes);
    ~CMainPage() override;

    // Creates the window at the bottom right of the screen, reads the launcher's files, then shows the window
    // (showCommand) colour-keyed and stores it program-wide. False when the window cannot be created.
    bool CreateAndShow(int showCommand);
    // Frees the pictures and items after the loop has ended.
    void ShutDown();

    bool IsStopRequested() const override { return m_isStopRequested; }
    void AfterMessage() override;
    bool MayBlock() const override { return !IsAnimating(); }
    void IdleStep() override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    // Window messages, one handler each.
    // True when the open command panel took the message.
    bool OfferToPanel(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints or carries out what the panel made of a message; true when the message ends there.
    bool TakePanelOutcome(PanelOutcome outcome);
    void OnButtonNotice(WORD controlId);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    void OnGoToPage(WPARAM pageIndex);
    void OnEnvironmentChanged(WPARAM kind);
    void OnDropFiles(HDROP drop);
    void OnJobProgress(WPARAM percent, LPARAM packageId);
    void OnJobFinished(LPARAM packageId);
    void OnRunPackage(WPARAM packageId);
    void OnRemoveEmptyPage(WPARAM pageSerial);
    void OnActivate(bool isActive);
    void OnSettingChange();
    // Window coordinates as GET_X_LPARAM gives them. The button handlers return 0 when the panel took the message.
    void OnMouseMove(int x, int y);
    LRESULT OnLButtonDown(int x, int y);
    LRESULT OnLButtonUp(int x, int y);
    void OnRButtonUp(int x, int y);
    void OnPaintMessage();

    // Payload receivers, called only with payloads that passed the size check.
    void OnPackageAnnounced(common::CopyDataKind kind, const common::PackageAnnounce& announce);
    void OnAddItemRecord(const common::PackageRecord& record);
    void OnRemoveItemRecord(const common::PackageRecord& record);
    void SetBackImage(const std::optional<std::u16string>& path);

    // Start-up pieces.
    void StartUp();
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
    // The context menu of the item or page area at window point (x, y).
    void OpenContextMenu(int x, int y);
    void OnMenuCommand(UINT id);
    void EditItem(const ItemPlace& place);
    void RemoveItem(const ItemPlace& place);
    void RemoveBySerial(uint32_t serial);
    void OnPanelAction(PanelOutcome outcome);
    void SubmitPanel();
    void BrowseInto(PanelField field, const wchar_t* filterName, const wchar_t* filterPattern);

    // Posts the removal of a page that an item removal emptied.
    void AfterItemRemoved(const std::optional<uint32_t>& emptiedPage);
    // The first time in this run that a change shown could not be saved, the user is told so.
    void TellIfChangesUnsaved();
    // Brings the drawn items in line with the grid, then paints.
    void Repaint();
    void SyncVisuals();
    void ApplySlide(const common::SlideActions& actions);
    bool IsAnimating() const;
    // False for a message that may change what the frame shows outside the page area (most do).
    bool LeavesFrameAsItIs(UINT message) const;
    // The frame's controls that take input now: the home and exit buttons, and the menu buttons unless the
    // panel covers the window.
    void SyncFrameControls();
    // The menu slot of a frame control, or -1.
    int MenuSlotOf(const common::Control* control) const;
    // Presses and releases that no frame control took.
    void PressPage(int x, int y);
    void ReleasePage(int x, int y);
    // Composes the window (only its page area while m_isFrameCurrent) and copies it to the screen.
    void Paint();
    // The skin with the background picture over its page area, kept in m_backdrop and made again only after
    // either changed; drawn straight into the frame when there is no background picture or the backdrop cannot
    // be made.
    void DrawBackdrop(GPicture& frame);
    void DrawSkinAndBackImage(GPicture& target);
    void DrawFrameControls(GPicture& frame);
    void DrawDriveTexts(GPicture& frame);
    bool IsPanelOpen() const { return m_panel.IsOpen(); }

    HINSTANCE m_instance;
    platform::IMessageBoxes& m_boxes;
    bool m_isStopRequested = false;
    bool m_isActive = false;
    int m_messagesSincePaint = 0;
    std::unique_ptr<common::IFileStore> m_fileStore;
    std::unique_ptr<common::IFileProbe> m_fileProbe;
    std::unique_ptr<common::CEnvironmentFile> m_environment;
    std::unique_ptr<common::CPageGrid> m_grid;

    GDisplay m_display;
    platform::UniqueFont m_captionFont;
    platform::UniqueFont m_smallFont;
    std::unique_ptr<CSkin> m_skin;
    common::LayoutPoints m_layout;
    std::unique_ptr<common::PageSlider> m_slider;
    GPicture m_pageBuffer;
    GPicture m_backImage;
    bool m_isBackImageOn = false;
    GPicture m_backdrop;
    bool m_isBackdropStale = true;
    std::u16string m_backImagePath;
    GButton m_homeButton;
    GButton m_exitButton;
    std::array<std::unique_ptr<CPackageItem>, 4> m_menuItems;
    common::ControlHost m_frameHost;
    std::vector<std::unique_ptr<CTolvPage>> m_pages;
    std::vector<common::Point> m_indicatorPositions;
    std::wstring m_driveLabel;
    std::wstring m_freeSpace;
    int m_freeSpaceWidth = 0;
    RECT m_windowRect = {};
    int m_lastMenuRelease = -1;
    CCommandPanel m_panel;
    uint32_t m_menuTargetSerial = 0;  // the item a context menu was opened on
    common::Point m_pressPoint;
    common::Point m_dragSize;
    bool m_isPagePressed = false;
    bool m_isUnsavedTold = false;
    // The back buffer holds the last frame, and nothing outside the page area can have changed since: only
    // messages that leave the frame as it is have come in, and no page has turned. A slide step or a page drag
    // then composes only the page area again.
    bool m_isFrameCurrent = false;
};
