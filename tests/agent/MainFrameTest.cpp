// The agent's main frame: each message reaches its handler, with the questions answered by a recorder.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <cwctype>
#include <memory>

#include "AgentTestSupport.h"
#include "agent/MainFrame.h"
#include "agent/resource.h"
#include "common/agent/HotKeyBinding.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/PackageRecord.h"
#include "platform/FileStoreWin.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/framework/RecordingMessageBoxes.h"

namespace {

using agenttest::PeerWindow;
using agenttest::PumpUntil;

constexpr wchar_t kAskExit[] = L"Kelvo를 종료 하시겠습니까?";
constexpr wchar_t kAskExitDuringJob[] =
    L"프로그램 설치 또는 업데이트가 진행 중입니다.\n설치도중 종료하면 처음부터 다시 설치하셔야 합니다.\n\n종료 "
    L"하시겠습니까?";
constexpr wchar_t kAskExitOnRemoval[] = L"Kelvo가 제거 되었습니다.\nKelvo를 종료 하시겠습니까?";
constexpr UINT kYesNoStyle = MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST;

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        m_state.moduleFolder = m_folder.path();
        m_frame = std::make_unique<CMainFrame>(::GetModuleHandleW(nullptr), m_state, m_boxes, m_starter, m_store);
        ASSERT_TRUE(m_frame->Create());
    }
    void TearDown() override {
        m_frame.reset();
        agenttest::TakeQuit();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_frame->hwnd(), message, wParam, lParam);
    }
    LRESULT SendCopyData(ULONG_PTR kind, const void* data, DWORD size) {
        COPYDATASTRUCT copy = {kind, size, const_cast<void*>(data)};
        return Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    }
    void WriteSettings(int backupButton, int documentsButton, int trayIconMode = 0) {
        std::wstring text = L"<TolvSet>\r\n\t<General>\r\n\t\t<AlwaysOnTop>0</AlwaysOnTop>\r\n\t\t<TrayIconMode>" +
                            std::to_wstring(trayIconMode) + L"</TrayIconMode>\r\n\t\t<AddBackupBtn>" +
                            std::to_wstring(backupButton) + L"</AddBackupBtn>\r\n\t\t<AddDocumentBtn>" +
                            std::to_wstring(documentsButton) +
                            L"</AddDocumentBtn>\r\n\t</General>\r\n\t<ETC>\r\n\t\t<AccKey>\r\n\t\t</AccKey>\r\n\t"
                            L"</ETC>\r\n\t<Others>\r\n\t\t<RecentURL></RecentURL>\r\n\t</Others>\r\n</TolvSet>\r\n";
        ASSERT_TRUE(agenttest::WriteBytes(m_folder.File(platform::WideCStr(common::kSettingsFile)),
                                          agenttest::Utf16File(text)));
    }

    agenttest::ScratchDir m_folder;
    AgentState m_state;
    platform::RecordingMessageBoxes m_boxes{IDNO};
    agenttest::RecordingStarter m_starter;
    platform::FileStoreWin m_store;
    std::unique_ptr<CMainFrame> m_frame;
};

// Catches: message 2030 posted from outside the store page taken as two addresses in the agent: any program could
// make it read wherever the values point and run an update check of its choosing. The store page asks by a
// direct call, so the message itself is never acted on, sent or posted.
TEST_F(MainFrameTest, UpdateCheckMessageFromOutsideIsIgnored) {
    const std::wstring profilePath = L"/utility/Viewer/Profile.xml";
    const std::wstring packageName = L"Viewer";
    m_state.tempFolder = m_folder.path();
    ASSERT_TRUE(::PostMessageW(m_frame->hwnd(), common::kMsgCheckForUpdate,
                               reinterpret_cast<WPARAM>(profilePath.c_str()),
                               reinterpret_cast<LPARAM>(packageName.c_str())));
    agenttest::PumpMessages();
    EXPECT_EQ(Send(common::kMsgCheckForUpdate, reinterpret_cast<WPARAM>(profilePath.c_str()),
                   reinterpret_cast<LPARAM>(packageName.c_str())),
              0);
    EXPECT_TRUE(m_boxes.boxes().empty()) << "no check ran, so no failed fetch was shown";
}

// Catches: the frame found under another class or title, or shown; the other programs find it by class.
TEST_F(MainFrameTest, FrameIsTheHiddenWindowMarlo) {
    platform::Hwnd found =
        platform::Hwnd::Find(platform::WideCStr(common::kAgentTitle), platform::WideCStr(common::kAgentTitle));
    EXPECT_EQ(found.get(), m_frame->hwnd().get());
    EXPECT_FALSE(m_frame->hwnd().IsVisible());
}

// Catches: the exit going ahead on No, or the question asked with another text, title or style.
TEST_F(MainFrameTest, ShutDownAskedNoKeepsEverythingRunning) {
    PeerWindow launcher;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherClass)));
    Send(common::kMsgShutDown);
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text, kAskExit);
    EXPECT_EQ(m_boxes.boxes()[0].title, L"정보");
    EXPECT_EQ(m_boxes.boxes()[0].type, kYesNoStyle);
    EXPECT_TRUE(m_frame->hwnd().IsWindow());
    EXPECT_EQ(launcher.Count(WM_DESTROY), 0u);
    EXPECT_FALSE(agenttest::TakeQuit());
}

// Catches: the launcher or settings program left running after the agent ends, or the agent's loop not ending.
TEST_F(MainFrameTest, ShutDownAnsweredYesClosesTheOtherProgramsAndEndsTheLoop) {
    PeerWindow launcher;
    PeerWindow settings;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherClass)));
    ASSERT_TRUE(settings.Create(platform::WideCStr(common::kSettingsClass), L"설정"));
    m_boxes.QueueAnswer(IDYES);
    Send(common::kMsgShutDown);
    EXPECT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(launcher.Count(WM_DESTROY), 1u);
    EXPECT_EQ(settings.Count(WM_DESTROY), 1u);
    EXPECT_FALSE(m_frame->hwnd());
    EXPECT_TRUE(agenttest::TakeQuit());
}

// Catches: a running job stopped without the second question, or a No to it still ending the agent.
TEST_F(MainFrameTest, ShutDownDuringAJobAsksTwiceAndNoLeavesTheAgentRunning) {
    m_state.flags.isBusy = true;
    m_boxes.QueueAnswer(IDYES);
    m_boxes.QueueAnswer(IDNO);
    ::SendMessageW(m_frame->hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
    ASSERT_EQ(m_boxes.boxes().size(), 2u);
    EXPECT_EQ(m_boxes.boxes()[1].text, kAskExitDuringJob);
    EXPECT_TRUE(m_frame->hwnd().IsWindow());
    EXPECT_FALSE(m_state.workerStop.IsStopped());

    m_boxes.QueueAnswer(IDYES);
    m_boxes.QueueAnswer(IDYES);
    Send(common::kMsgShutDown);
    EXPECT_TRUE(m_state.workerStop.IsStopped()) << "the one stop reaches the worker and its transfer";
    EXPECT_FALSE(m_frame->hwnd());
}

// A job that hears no stop: it runs until the test lets it go.
class StuckRunner final : public IPackageJobRunner {
public:
    StuckRunner(HANDLE started, HANDLE release) : m_started(started), m_release(release) {}
    JobOutcome Run(const common::QueuedJob&) override {
        ::SetEvent(m_started);
        ::WaitForSingleObject(m_release, INFINITE);
        return JobOutcome::Done;
    }

private:
    HANDLE m_started;
    HANDLE m_release;
};

// Catches: an exit the user said Yes to that returns silently when the job does not stop in time (the agent
// would stay, with a worker that no longer takes jobs), and the other programs' windows and the tray icon left.
TEST_F(MainFrameTest, AnExitGoesOnWhenTheRunningJobDoesNotStopInTime) {
    PeerWindow launcher;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherTitle)));
    platform::UniqueKernelHandle started(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    platform::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_frame->StartWorker(std::make_unique<StuckRunner>(started.get(), release.get()));
    common::PackageJob job;
    job.packageIndex = 7;
    ASSERT_TRUE(m_state.jobs.Append(common::JobKind::Install, job));
    m_state.jobsQueued.Set();
    ASSERT_EQ(::WaitForSingleObject(started.get(), 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(m_state.flags.isBusy.load());

    m_boxes.QueueAnswer(IDYES);
    m_boxes.QueueAnswer(IDYES);
    Send(common::kMsgShutDown);
    ASSERT_EQ(m_boxes.boxes().size(), 3u);
    EXPECT_EQ(m_boxes.boxes()[1].text, kAskExitDuringJob);
    EXPECT_EQ(m_boxes.boxes()[2].text, L"다운로드를 중지하고 있습니다.\n중지를 기다리지 않고 Kelvo를 종료합니다.");
    EXPECT_EQ(m_boxes.boxes()[2].title, L"정보");
    EXPECT_EQ(launcher.Count(WM_DESTROY), 1u) << "the suite shuts down all the same";
    EXPECT_FALSE(m_frame->hwnd());
    EXPECT_TRUE(m_frame->IsWorkerStuck()) << "the process must end without waiting for the worker";
    ::SetEvent(release.get());
}

DEV_BROADCAST_VOLUME VolumeNotice(char drive) {
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (drive - 'A');
    return volume;
}

// Catches: another drive's removal asking anything, and the suite drive's removal asking the exit question
// again after its own Yes.
TEST_F(MainFrameTest, SuiteDriveRemovalAsksOnceAndExitsQuietly) {
    char suiteDrive = static_cast<char>(std::towupper(m_state.moduleFolder[0]));
    char otherDrive = suiteDrive == 'Q' ? 'R' : 'Q';
    DEV_BROADCAST_VOLUME other = VolumeNotice(otherDrive);
    Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(m_boxes.boxes().empty());

    DEV_BROADCAST_VOLUME suite = VolumeNotice(suiteDrive);
    Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&suite));
    EXPECT_TRUE(m_boxes.boxes().empty()) << "only a completed removal counts";

    m_boxes.QueueAnswer(IDYES);
    Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&suite));
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text, kAskExitOnRemoval);
    EXPECT_FALSE(m_frame->hwnd());
}

// The settings program's 1564-byte record: both paths, then bytes the agent does not read.
std::vector<wchar_t> AutoProgramsPayload(const std::wstring& start, const std::wstring& close) {
    std::vector<wchar_t> units(782, 0);
    std::copy(start.begin(), start.end(), units.begin());
    std::copy(close.begin(), close.end(), units.begin() + 260);
    return units;
}

// Catches: a path listed again in another case, a short payload read past its end, a payload of another size
// than the settings program's record taken.
TEST_F(MainFrameTest, AutoProgramsMessageAddsEachNewPathOnce) {
    auto first = AutoProgramsPayload(L"T:\\Portable Programs\\A\\a.exe", L"");
    EXPECT_EQ(SendCopyData(1, first.data(), 1564), TRUE);
    auto second = AutoProgramsPayload(L"t:\\portable programs\\a\\A.EXE", L"T:\\Portable Programs\\B\\b.exe");
    EXPECT_EQ(SendCopyData(1, second.data(), 1564), TRUE);
    EXPECT_EQ(m_state.autoStart.Paths().size(), 1u);
    ASSERT_EQ(m_state.autoClose.Paths().size(), 1u);
    EXPECT_EQ(m_state.autoClose.Paths()[0], u"T:\\Portable Programs\\B\\b.exe");

    auto shortPayload = AutoProgramsPayload(L"T:\\c.exe", L"T:\\d.exe");
    EXPECT_EQ(SendCopyData(1, shortPayload.data(), 520), FALSE);
    EXPECT_EQ(SendCopyData(1, shortPayload.data(), 1040), FALSE);
    EXPECT_EQ(SendCopyData(1, shortPayload.data(), 1563), FALSE);
    EXPECT_EQ(m_state.autoStart.Paths().size(), 1u);
    EXPECT_EQ(SendCopyData(9, nullptr, 0), TRUE) << "unknown kinds are answered 1 and ignored";
}

// Catches: a kind-6 hotkey not registered on the agent's window, or key 0 not releasing it. Another window's
// registration of the same key shows who holds it.
TEST_F(MainFrameTest, HotKeyMessageRegistersAndKeyZeroReleases) {
    const int32_t withKey[6] = {'K', 1, 1, 0, 0, 77};  // ALT+SHIFT+K as package 77
    EXPECT_EQ(SendCopyData(6, withKey, sizeof(withKey)), TRUE);
    PeerWindow probe;
    ASSERT_TRUE(probe.Create(L"KelvoHotKeyProbe", L"probe"));
    EXPECT_FALSE(::RegisterHotKey(probe.hwnd(), 1, MOD_ALT | MOD_SHIFT, 'K')) << "the agent holds the key";

    const int32_t withoutKey[6] = {0, 1, 1, 0, 0, 77};
    EXPECT_EQ(SendCopyData(6, withoutKey, sizeof(withoutKey)), TRUE);
    EXPECT_TRUE(::RegisterHotKey(probe.hwnd(), 1, MOD_ALT | MOD_SHIFT, 'K')) << "key 0 released it";
    ::UnregisterHotKey(probe.hwnd(), 1);

    EXPECT_EQ(SendCopyData(6, withKey, 20), FALSE);
    const int32_t longer[7] = {'K', 1, 1, 0, 0, 77, 0};
    EXPECT_EQ(SendCopyData(6, longer, sizeof(longer)), FALSE);
    EXPECT_TRUE(::RegisterHotKey(probe.hwnd(), 1, MOD_ALT | MOD_SHIFT, 'K')) << "the longer record was not taken";
    ::UnregisterHotKey(probe.hwnd(), 1);
}

// Catches: a package hotkey not passed on to the launcher with its ID, or the backup hotkey not reaching a
// running settings program.
TEST_F(MainFrameTest, HotKeysReachTheLauncherAndTheSettingsProgram) {
    PeerWindow launcher;
    PeerWindow settings;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherClass)));
    ASSERT_TRUE(settings.Create(platform::WideCStr(common::kSettingsClass), L"설정"));
    Send(WM_HOTKEY, 42, MAKELPARAM(MOD_ALT, 'P'));
    Send(WM_HOTKEY, static_cast<WPARAM>(static_cast<INT_PTR>(common::kHotKeyBackup)), 0);
    agenttest::PumpMessages();
    ASSERT_EQ(launcher.Count(common::kMsgRunPackage), 1u);
    EXPECT_EQ(launcher.messages.back().wParam, 42u);
    EXPECT_EQ(settings.Count(common::kMsgShowBackupView), 1u);
    EXPECT_TRUE(m_starter.starts.empty());
}

// Catches: the settings program started on the wrong view or from another folder, and the store opened on
// a page other than the host's root.
TEST_F(MainFrameTest, TrayCommandsStartTheSettingsProgramAndTheStore) {
    Send(WM_COMMAND, MAKEWPARAM(ID_TRAY_HELP, 0));
    Send(WM_HOTKEY, static_cast<WPARAM>(static_cast<INT_PTR>(common::kHotKeyBackup)), 0);
    Send(WM_COMMAND, MAKEWPARAM(ID_TRAY_OPEN_STORE, 0));
    ASSERT_EQ(m_starter.starts.size(), 3u);
    EXPECT_EQ(m_starter.starts[0].file, m_folder.File(platform::WideCStr(common::kSettingsProgram)));
    EXPECT_EQ(m_starter.starts[0].params, L"-1 -4");
    EXPECT_EQ(m_starter.starts[0].folder, m_folder.path());
    EXPECT_EQ(m_starter.starts[1].params, L"-1 -2");
    EXPECT_EQ(m_starter.starts[2].file, L"explorer.exe");
    EXPECT_EQ(m_starter.starts[2].params.rfind(L"http://", 0), 0u);
    EXPECT_EQ(m_starter.starts[2].params.back(), L'/');
    EXPECT_EQ(m_starter.starts[2].show, SW_SHOWNORMAL);
}

// Catches: a launcher button sent again on an unchanged value, sent with the wrong kind or size, and an
// unreadable settings file removing the buttons it can no longer see.
TEST_F(MainFrameTest, SettingsSavedSendsEachButtonChangeOnce) {
    PeerWindow launcher;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherClass)));
    WriteSettings(1, 0);
    EXPECT_EQ(Send(common::kMsgSettingsSaved), 0);
    ASSERT_EQ(launcher.Count(WM_COPYDATA), 1u);
    const PeerWindow::Message& added = launcher.messages.back();
    EXPECT_EQ(added.copyKind, 4u);
    auto record = common::PackageRecord::FromBytes(added.copyBytes.data(), added.copyBytes.size());
    ASSERT_TRUE(record);
    EXPECT_EQ(added.copyBytes.size(), common::PackageRecord::kSize);
    EXPECT_EQ(record->caption.Get(), u"Backup");

    Send(common::kMsgSettingsSaved);
    EXPECT_EQ(launcher.Count(WM_COPYDATA), 1u) << "unchanged value, nothing sent";

    ASSERT_TRUE(agenttest::WriteBytes(m_folder.File(platform::WideCStr(common::kSettingsFile)), "not xml"));
    Send(common::kMsgSettingsSaved);
    EXPECT_EQ(launcher.Count(WM_COPYDATA), 1u) << "an unreadable file applies nothing";

    WriteSettings(0, 0);
    Send(common::kMsgSettingsSaved);
    ASSERT_EQ(launcher.Count(WM_COPYDATA), 2u);
    EXPECT_EQ(launcher.messages.back().copyKind, 5u);
}

// Catches: the tray callback answered with something other than 1, or a double click not showing the launcher.
TEST_F(MainFrameTest, TrayDoubleClickShowsTheRunningLauncher) {
    PeerWindow launcher;
    ASSERT_TRUE(
        launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherClass)));
    EXPECT_EQ(Send(common::kMsgTrayNotify, 0xE000, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(launcher.hwnd().IsVisible());
    EXPECT_TRUE(m_starter.starts.empty());
}

// Catches: the frame waiting for a launcher it started by sleeping on its own thread (no message, the store's
// button among them, was taken meanwhile), a second start while the first launcher is still coming up, a window
// that comes up late left hidden, and a hide asked for meanwhile undone when the window appears.
TEST_F(MainFrameTest, AStartedLauncherIsAwaitedWhileTheFrameKeepsTakingMessages) {
    EXPECT_EQ(Send(common::kMsgTrayNotify, 0xE000, WM_LBUTTONDBLCLK), 1);
    ASSERT_EQ(m_starter.starts.size(), 1u);
    EXPECT_EQ(m_starter.starts[0].file, m_folder.File(platform::WideCStr(common::kLauncherProgram)));
    EXPECT_EQ(Send(common::kMsgTrayNotify, 0xE000, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(m_starter.starts.size(), 1u) << "one launcher is coming up already";

    {
        PeerWindow launcher;  // the launcher's window appears, hidden, while the frame waits
        ASSERT_TRUE(
            launcher.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherTitle)));
        EXPECT_TRUE(PumpUntil([&] { return launcher.hwnd().IsVisible(); }, 5000)) << "the frame's next look shows it";
    }

    // Asked to hide before the window is up: the wait ends, and the window that comes up is left as it is.
    EXPECT_EQ(Send(common::kMsgTrayNotify, 0xE000, WM_LBUTTONDBLCLK), 1);
    ASSERT_EQ(m_starter.starts.size(), 2u);
    Send(WM_HOTKEY, static_cast<WPARAM>(common::kHotKeyLauncherHide));
    ASSERT_EQ(m_starter.starts.size(), 3u) << "the hide starts a hidden launcher, as before";
    PeerWindow late;
    ASSERT_TRUE(late.Create(platform::WideCStr(common::kLauncherClass), platform::WideCStr(common::kLauncherTitle)));
    EXPECT_FALSE(PumpUntil([&] { return late.hwnd().IsVisible(); }, 1500));
}

// What the start-up's status window went through: each text set into its line, and each time it was shown or
// hidden ("<shown>", "<hidden>"), recorded by a hook on this thread's sent messages.
std::vector<std::wstring>* g_statusEvents = nullptr;

LRESULT CALLBACK RecordStatusWindow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_statusEvents != nullptr) {
        if (message->message == WM_SETTEXT && ::GetDlgCtrlID(message->hwnd) == IDC_STATUS_TEXT) {
            g_statusEvents->emplace_back(reinterpret_cast<const wchar_t*>(message->lParam));
        } else if (message->message == WM_SHOWWINDOW && ::GetDlgItem(message->hwnd, IDC_STATUS_TEXT) != nullptr) {
            g_statusEvents->emplace_back(message->wParam ? L"<shown>" : L"<hidden>");
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Catches: start-up steps reported out of order or with other texts, the user-information step shown when there is
// no credentials file (or missing when there is one), a status line set but never shown, and a status window left
// up after start-up. Tray-icon mode, so no launcher is waited for.
TEST_F(MainFrameTest, StartUpReportsEachStepInOrderAndHidesItsStatusWindow) {
    const std::vector<std::wstring> withoutCredentials = {
        L"Kelvo 런처를 실행합니다.", L"<shown>", L"런처 실행환경을 설정합니다.", L"Kelvo 런처를 실행합니다.",
        L"자동 시작 어플리케이션을 실행 합니다.", L"<hidden>"};
    std::vector<std::wstring> withCredentials = withoutCredentials;
    withCredentials.insert(withCredentials.begin() + 2, L"사용자 정보를 확인하고 있습니다.");
    // The frame's status window keeps its place in `dialogs` until the frame goes, so the frame goes first.
    platform::ModelessDialogs dialogs;
    for (bool hasCredentials : {false, true}) {
        SCOPED_TRACE(hasCredentials ? "with TolvIni.dat" : "without TolvIni.dat");
        m_frame.reset();
        agenttest::TakeQuit();
        WriteSettings(0, 0, 1);
        if (hasCredentials) {
            // Read or not, its presence is what the step reports.
            ASSERT_TRUE(agenttest::WriteBytes(m_folder.File(platform::WideCStr(common::kCredentialsFile)),
                                              std::string(1248, '\x5A')));
        }
        m_frame = std::make_unique<CMainFrame>(::GetModuleHandleW(nullptr), m_state, m_boxes, m_starter, m_store);
        ASSERT_TRUE(m_frame->Create());
        std::vector<std::wstring> events;
        g_statusEvents = &events;
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RecordStatusWindow, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        m_frame->RunStartUp(&dialogs);
        ::UnhookWindowsHookEx(hook);
        g_statusEvents = nullptr;
        EXPECT_EQ(events, hasCredentials ? withCredentials : withoutCredentials);
        EXPECT_TRUE(m_starter.starts.empty()) << "tray-icon mode starts no launcher";
        EXPECT_TRUE(m_boxes.boxes().empty());
    }
    m_frame.reset();
}

}  // namespace
