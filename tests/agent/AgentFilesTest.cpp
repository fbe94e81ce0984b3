// The agent's start-up file steps: environment scan, defaults, kept copies, staged updater, worker stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "AgentTestSupport.h"
#include "agent/AgentFiles.h"
#include "agent/EnvironmentScan.h"
#include "agent/jobs/JobReports.h"
#include "agent/jobs/PackageWorker.h"
#include "agent/resource.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/EnvironmentFile.h"
#include "common/xml/XmlFile.h"
#include "platform/FileStoreWin.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/framework/FrameWindow.h"
#include "tests/common/DefaultFiles.h"

namespace {

using agenttest::ScratchDir;

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::wstring Package(const std::wstring& fields) {
    return L"\t\t\t<Package>" + fields + L"</Package>\r\n";
}

std::wstring Environment(const std::wstring& pageNum, const std::wstring& pages) {
    return L"<TolvEnv>\r\n\t<MAINMENU></MAINMENU>\r\n\t<PAGEENV>\r\n\t\t<PageNum>" + pageNum +
           L"</PageNum>\r\n\t\t<CurrentPage>0</CurrentPage>\r\n" + pages + L"\t</PAGEENV>\r\n</TolvEnv>\r\n";
}

std::optional<EnvironmentScan> Scan(const ScratchDir& dir, const std::wstring& text) {
    EXPECT_TRUE(
        agenttest::WriteBytes(dir.File(platform::WideCStr(common::kEnvironmentFile)), agenttest::Utf16File(text)));
    return ScanEnvironmentFile(dir.File(platform::WideCStr(common::kEnvironmentFile)), u'T');
}

// Catches: pages or packages found by name instead of position, PageNum/PackageCount not bounding the walk, a
// package without STARTOPEN still getting a hotkey, a nonzero flag without PATH not ending the package, and
// the interrupted-update list missing an UPDATEFLAG of 2, and programs stored under the drive's old letter
// started from a drive that is no longer there.
TEST(EnvironmentScan, WalksPagesAndPackagesByPositionAndCount) {
    ScratchDir dir;
    std::wstring page1 =
        L"\t\t<Page>\r\n\t\t\t<PackageCount>3</PackageCount>\r\n" +
        Package(
            L"<PKGID>5</PKGID><STARTOPEN>1</STARTOPEN><STARTCLOSE>0</STARTCLOSE><PATH>K:\\a\\시작.exe</PATH>"
            L"<SHORTCUT>K</SHORTCUT><ALT>1</ALT><CTRL>1</CTRL><UPDATEFLAG>2</UPDATEFLAG>") +
        Package(L"<PKGID>6</PKGID><SHORTCUT>J</SHORTCUT><PATH>T:\\b.exe</PATH>") +
        Package(L"<PKGID>7</PKGID><STARTOPEN>0</STARTOPEN><STARTCLOSE>1</STARTCLOSE><SHORTCUT>L</SHORTCUT>") +
        Package(L"<PKGID>8</PKGID><STARTOPEN>0</STARTOPEN><STARTCLOSE>0</STARTCLOSE><SHORTCUT>M</SHORTCUT>") +
        L"\t\t</Page>\r\n";
    std::wstring page2 = L"\t\t<Seite>\r\n\t\t\t<PackageCount>1</PackageCount>\r\n" +
                         Package(
                             L"<PKGID>9</PKGID><STARTOPEN>0</STARTOPEN><STARTCLOSE>1</STARTCLOSE>"
                             L"<PATH>e:\\끝.exe</PATH><SHORTCUT></SHORTCUT>") +
                         L"\t\t</Seite>\r\n";
    std::wstring page3 = L"\t\t<Page>\r\n\t\t\t<PackageCount>1</PackageCount>\r\n" +
                         Package(L"<PKGID>10</PKGID><STARTOPEN>1</STARTOPEN><PATH>T:\\x.exe</PATH>") +
                         L"\t\t</Page>\r\n";
    auto scan = Scan(dir, Environment(L"2", page1 + page2 + page3));
    ASSERT_TRUE(scan);
    ASSERT_EQ(scan->autoStart.size(), 1u) << "page 3 lies beyond PageNum";
    EXPECT_EQ(scan->autoStart[0], u"T:\\a\\시작.exe");
    ASSERT_EQ(scan->autoClose.size(), 1u);
    EXPECT_EQ(scan->autoClose[0], u"T:\\끝.exe");
    ASSERT_EQ(scan->hotKeys.size(), 2u) << "6 has no STARTOPEN, 7 has STARTCLOSE without PATH, 8 is past the count";
    EXPECT_EQ(scan->hotKeys[0].id, 5);
    EXPECT_EQ(scan->hotKeys[0].key, 'K');
    EXPECT_EQ(scan->hotKeys[0].modifiers, static_cast<uint32_t>(MOD_ALT | MOD_CONTROL));
    EXPECT_EQ(scan->hotKeys[1].id, 9);
    EXPECT_EQ(scan->hotKeys[1].key, 0);
    EXPECT_EQ(scan->interruptedUpdates, std::vector<int32_t>{5});
}

// Catches: a file without PAGEENV or PageNum, or one that is not XML, being taken (the default would then never
// replace it).
TEST(EnvironmentScan, RefusesFilesWithoutPageNum) {
    ScratchDir dir;
    EXPECT_FALSE(Scan(dir, L"<TolvEnv><MAINMENU></MAINMENU><PAGEENV><CurrentPage>0</CurrentPage></PAGEENV></TolvEnv>"));
    EXPECT_FALSE(Scan(dir, L"<TolvEnv><MAINMENU></MAINMENU></TolvEnv>"));
    EXPECT_FALSE(Scan(dir, L"<TolvEnv><PAGEENV><PageNum>0</PageNum>"));
    EXPECT_FALSE(ScanEnvironmentFile(dir.File(L"missing.xml"), u'T'));
    EXPECT_TRUE(Scan(dir, Environment(L"0", L"")));
}

// Catches: the default environment written by the agent being one its own reader refuses (start-up would
// then run with no file at all).
TEST(EnvironmentScan, AcceptsTheDefaultEnvironment) {
    ScratchDir dir;
    platform::FileStoreWin store;
    ASSERT_TRUE(WriteDefaultResource(store, ::GetModuleHandleW(nullptr), IDR_DEFAULT_ENVIRONMENT,
                                     platform::FromWide(dir.File(platform::WideCStr(common::kEnvironmentFile)))));
    EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kEnvironmentFile))),
              Text(kelvo_test::DefaultEnvironment()));
    EXPECT_TRUE(ScanEnvironmentFile(dir.File(platform::WideCStr(common::kEnvironmentFile)), u'T'));
}

// Catches: a caption holding a control character (from a store profile or an older file) written into
// TolvEnv.xml as it is, so that the agent's DOM reader refuses the whole file at its next start.
TEST(EnvironmentScan, TakesWhatTheLauncherWroteFromTextWithControlCharacters) {
    ScratchDir dir;
    platform::FileStoreWin store;
    const std::wstring file = dir.File(platform::WideCStr(common::kEnvironmentFile));
    ASSERT_TRUE(
        WriteDefaultResource(store, ::GetModuleHandleW(nullptr), IDR_DEFAULT_ENVIRONMENT, platform::FromWide(file)));
    common::CEnvironmentFile environment(store, platform::FromWide(file));
    ASSERT_TRUE(environment.Load());
    std::optional<size_t> page = environment.AddPage();
    ASSERT_TRUE(page);
    common::PackageRecord record;
    record.pkgType = 1;
    record.pkgId = 9;
    record.caption.Set(u"메모\u0001장\u001F");
    record.path.Set(u"T:\\Portable Programs\\메모\u000B장\\memo.exe");
    ASSERT_TRUE(environment.AddPackage(*page, record));
    std::optional<EnvironmentScan> scan = ScanEnvironmentFile(file, u'T');
    EXPECT_TRUE(scan) << "the DOM reader takes the file the light writer wrote";
}

// Catches: a rejected file lost when the default replaces it, or an older kept copy lost to the new one.
TEST(AgentFiles, KeepsTheRejectedFileAsTheNewestCopy) {
    ScratchDir dir;
    platform::FileStoreWin store;
    std::u16string path = platform::FromWide(dir.File(platform::WideCStr(common::kSettingsFile)));
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(L"TolvSet.xml.bak"), "older copy"));
    ASSERT_TRUE(
        agenttest::WriteBytes(dir.File(platform::WideCStr(common::kSettingsFile)), std::string("\xFF\xFE<\0T\0", 6)));
    EXPECT_TRUE(KeepRejectedFile(store, path));
    EXPECT_EQ(agenttest::ReadBytes(dir.File(L"TolvSet.xml.bak")), std::string("\xFF\xFE<\0T\0", 6));
    EXPECT_EQ(agenttest::ReadBytes(dir.File(L"TolvSet.xml.bak2")), "older copy");
    EXPECT_TRUE(KeepRejectedFile(store, platform::FromWide(dir.File(L"absent.xml"))));
}

// The kept copies of a file, newest first, as a person mending the file finds them beside it.
std::vector<std::string> KeptCopies(const ScratchDir& dir, const std::wstring& name) {
    std::vector<std::string> copies;
    for (const wchar_t* suffix : {L".bak", L".bak2", L".bak3"}) {
        copies.push_back(agenttest::ReadBytes(dir.File(name + suffix)));
    }
    return copies;
}

// Catches: the user's own file lost because one kept copy serves both the launcher's partial read and the agent's
// rejection: the launcher keeps the file it read only in part and rewrites it, the agent rejects the rewrite and
// keeps that over the user's file; and a later start that keeps the suite's own default over it again.
TEST(AgentFiles, TheUsersFileSurvivesAPartialReadARejectionAndTheDefault) {
    ScratchDir dir;
    platform::FileStoreWin store;
    const std::wstring name = platform::WideCStr(common::kEnvironmentFile);
    std::u16string path = platform::FromWide(dir.File(name));
    // The user's file, cut short: the light reader keeps its head, the DOM reader would refuse it.
    const std::string users = agenttest::Utf16File(
        L"<TolvEnv>\r\n\t<MAINMENU></MAINMENU>\r\n\t<PAGEENV>\r\n\t\t<PageNum>1</PageNum>\r\n\t\t<Page><Pack");
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(name), users));

    common::CXmlFile launcherCopy(store, path);
    ASSERT_TRUE(launcherCopy.Load());
    ASSERT_FALSE(launcherCopy.IsComplete());
    ASSERT_TRUE(launcherCopy.Save());
    ASSERT_NE(agenttest::ReadBytes(dir.File(name)), users);

    // The agent's start-up: the rewritten file is rejected, kept, and the default takes its place.
    ASSERT_TRUE(KeepRejectedFile(store, path));
    ASSERT_TRUE(WriteDefaultResource(store, ::GetModuleHandleW(nullptr), IDR_DEFAULT_ENVIRONMENT, path));
    // Another start that rejects the file keeps nothing of the suite's own default.
    ASSERT_TRUE(KeepRejectedFile(store, path));

    std::vector<std::string> copies = KeptCopies(dir, name);
    EXPECT_NE(std::find(copies.begin(), copies.end(), users), copies.end()) << "the user's own file is kept";
    const std::string defaults = Text(kelvo_test::DefaultEnvironment());
    EXPECT_EQ(std::find(copies.begin(), copies.end(), defaults), copies.end()) << "the default is never kept";
}

// Catches: resource 136 written with extra or missing bytes, or one the agent's own rule rejects.
TEST(AgentFiles, DefaultSettingsResourceIsWrittenByteForByte) {
    ScratchDir dir;
    platform::FileStoreWin store;
    std::u16string path = platform::FromWide(dir.File(platform::WideCStr(common::kSettingsFile)));
    ASSERT_TRUE(WriteDefaultResource(store, ::GetModuleHandleW(nullptr), IDR_DEFAULT_SETTINGS, path));
    EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kSettingsFile))),
              Text(kelvo_test::DefaultSettings()));
    common::SettingsRecord settings;
    EXPECT_TRUE(ReadSettingsInto(store, path, settings)) << "the agent accepts its own default";
    EXPECT_FALSE(WriteDefaultResource(store, ::GetModuleHandleW(nullptr), 999, path));
}

// Catches: an interrupted update left flagged (the launcher would show it as updating for ever), or another
// package's flag cleared.
TEST(AgentFiles, ClearsTheUpdateFlagOfListedPackagesOnly) {
    ScratchDir dir;
    platform::FileStoreWin store;
    std::wstring page = L"\t\t<Page>\r\n\t\t\t<PackageCount>2</PackageCount>\r\n" +
                        Package(L"<PKGID>5</PKGID><CAPTION>a</CAPTION><UPDATEFLAG>2</UPDATEFLAG>") +
                        Package(L"<PKGID>6</PKGID><CAPTION>b</CAPTION><UPDATEFLAG>2</UPDATEFLAG>") + L"\t\t</Page>\r\n";
    std::wstring text =
        L"<TolvEnv>\r\n\t<MAINMENU>\r\n\t\t<BUTTON01><TYPE>12</TYPE></BUTTON01>\r\n\t</"
        L"MAINMENU>\r\n\t<PAGEENV>\r\n\t\t<PageNum>1</PageNum>\r\n"
        L"\t\t<CurrentPage>0</CurrentPage>\r\n" +
        page + L"\t</PAGEENV>\r\n</TolvEnv>\r\n";
    ASSERT_TRUE(
        agenttest::WriteBytes(dir.File(platform::WideCStr(common::kEnvironmentFile)), agenttest::Utf16File(text)));
    std::vector<int32_t> ids{5};
    std::u16string path = platform::FromWide(dir.File(platform::WideCStr(common::kEnvironmentFile)));
    ClearUpdateFlags(store, path, ids);
    EXPECT_TRUE(ids.empty());
    common::CEnvironmentFile environment(store, path);
    ASSERT_TRUE(environment.Load());
    ASSERT_EQ(environment.Pages().size(), 1u);
    ASSERT_EQ(environment.Pages()[0].packages.size(), 2u);
    EXPECT_EQ(environment.Pages()[0].packages[0].record.updateFlag, 0);
    EXPECT_EQ(environment.Pages()[0].packages[1].record.updateFlag, 2);
}

// Catches: a staged updater not taking the old one's place, or an absent one deleting the old updater.
TEST(AgentFiles, StagedUpdaterReplacesTheOldOne) {
    ScratchDir dir;
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(platform::WideCStr(common::kUpdaterProgram)), "old"));
    ReplaceStagedUpdater(dir.path());
    EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kUpdaterProgram))), "old");
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(platform::WideCStr(common::kStagedUpdaterProgram)), "new"));
    ReplaceStagedUpdater(dir.path());
    EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kUpdaterProgram))), "new");
    EXPECT_EQ(::GetFileAttributesW(dir.File(platform::WideCStr(common::kStagedUpdaterProgram)).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

// Catches: the old updater deleted before a move that then fails, leaving the drive without any updater.
TEST(AgentFiles, StagedUpdaterThatCannotMoveLeavesTheOldOne) {
    ScratchDir dir;
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(platform::WideCStr(common::kUpdaterProgram)), "old"));
    ASSERT_TRUE(agenttest::WriteBytes(dir.File(platform::WideCStr(common::kStagedUpdaterProgram)), "new"));
    {
        // Still being written by the updater: readable, but not to be moved or deleted.
        platform::UniqueFileHandle busy(
            ::CreateFileW(dir.File(platform::WideCStr(common::kStagedUpdaterProgram)).c_str(), GENERIC_READ,
                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(busy);
        ReplaceStagedUpdater(dir.path());
        EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kUpdaterProgram))), "old");
    }
    ReplaceStagedUpdater(dir.path());
    EXPECT_EQ(agenttest::ReadBytes(dir.File(platform::WideCStr(common::kUpdaterProgram))), "new")
        << "the next start finishes the move";
}

// Runs nothing; records the jobs it was given, and ends them as told.
class RecordingRunner : public IPackageJobRunner {
public:
    JobOutcome Run(const common::QueuedJob& queued) override {
        indexes.push_back(queued.job.packageIndex);
        ++runs;
        return outcome;
    }
    std::vector<int32_t> indexes;  // read once the worker has ended
    std::atomic<int> runs{0};
    JobOutcome outcome = JobOutcome::Done;
};

common::PackageJob TestJob(int32_t index) {
    common::PackageJob job;
    job.packageIndex = index;
    return job;
}

bool WaitForRuns(const RecordingRunner& runner, int runs) {
    for (int turn = 0; turn < 1000 && runner.runs < runs; ++turn) {
        ::Sleep(5);
    }
    return runner.runs >= runs;
}

// Catches: queued jobs that wait for a poll instead of the queue event, updates run before installs, a worker
// whose thread stays when the queues are empty, one that takes no jobs once its thread has ended, and a stop
// that leaves later jobs to be run.
TEST(PackageWorker, RunsQueuedJobsWhenWokenInstallsFirstAndWaitsForMore) {
    WorkerFlags flags;
    common::JobQueues queues;
    platform::WorkEvent queued;
    platform::StopSignal stop;
    RecordingRunner runner;
    PackageWorker worker(flags, queues, queued, stop, nullptr, &runner);
    ASSERT_TRUE(worker.Start());
    queues.Append(common::JobKind::Update, TestJob(7));
    queues.Append(common::JobKind::Install, TestJob(8));
    queued.Set();
    ASSERT_TRUE(WaitForRuns(runner, 2));
    EXPECT_TRUE(worker.Join(5000)) << "the thread ends when both queues are empty";
    queues.Append(common::JobKind::Install, TestJob(9));
    queued.Set();
    ASSERT_TRUE(WaitForRuns(runner, 3)) << "the worker still takes jobs after the first ones";
    EXPECT_EQ(queues.Count(common::JobKind::Install) + queues.Count(common::JobKind::Update), 0u);
    worker.RequestStop();
    EXPECT_TRUE(worker.Join(5000));
    queues.Append(common::JobKind::Install, TestJob(10));
    queued.Set();
    EXPECT_TRUE(worker.Join(5000));
    EXPECT_EQ(runner.indexes, (std::vector<int32_t>{8, 7, 9})) << "no job runs after the stop";
    EXPECT_FALSE(flags.isBusy);
    EXPECT_FALSE(flags.isQuietExit);
}

// Catches: jobs queued before the worker starts that wait for the next Set of the queue event.
TEST(PackageWorker, TakesJobsQueuedBeforeItsStart) {
    WorkerFlags flags;
    common::JobQueues queues;
    platform::WorkEvent queued;
    platform::StopSignal stop;
    RecordingRunner runner;
    queues.Append(common::JobKind::Update, TestJob(3));
    PackageWorker worker(flags, queues, queued, stop, nullptr, &runner);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(WaitForRuns(runner, 1));
    EXPECT_TRUE(worker.Join(5000));
    EXPECT_EQ(runner.indexes, (std::vector<int32_t>{3}));
}

// Catches: a job cancelled by the exit procedure after which the worker takes the next job (the exit waits
// for it), or asks the user once more whether to exit.
TEST(PackageWorker, ACancelledJobEndsTheWorkerForAQuietExit) {
    WorkerFlags flags;
    common::JobQueues queues;
    platform::WorkEvent queued;
    platform::StopSignal stop;
    RecordingRunner runner;
    runner.outcome = JobOutcome::Cancelled;
    PackageWorker worker(flags, queues, queued, stop, nullptr, &runner);
    ASSERT_TRUE(worker.Start());
    queues.Append(common::JobKind::Install, TestJob(1));
    queues.Append(common::JobKind::Install, TestJob(2));
    queued.Set();
    EXPECT_TRUE(worker.Join(5000)) << "the loop ends by itself";
    EXPECT_EQ(runner.indexes, (std::vector<int32_t>{1}));
    EXPECT_TRUE(flags.isQuietExit);
}

// Catches: a report shown with another text, title or style than the box the user knows from the worker.
TEST(JobReports, EachStepHasItsBox) {
    platform::BoxText transfer = JobReportText(MakeJobReport(JobStep::Transfer, 12029, L"메모장"));
    EXPECT_EQ(transfer.text, L"메모장를 받는 도중 오류가 발생하였습니다.(오류코드:12029)\n다시 시도하여 주십시오.");
    EXPECT_EQ(transfer.title, L"정보");
    EXPECT_EQ(transfer.type, static_cast<UINT>(MB_ICONERROR | MB_TOPMOST));
    platform::BoxText notice = JobReportText(MakeJobReport(JobStep::Notice, 0x2efd));
    EXPECT_EQ(notice.text, L"Error code 0x2efd");
    EXPECT_EQ(notice.title, platform::WideCStr(common::kAgentTitle));
    platform::BoxText profile = JobReportText(MakeJobReport(JobStep::ProfileUnreadable));
    EXPECT_EQ(profile.text, L"[Error] XML Parsing fail (1)");
    EXPECT_EQ(profile.title, platform::WideCStr(common::kAgentTitle));
    EXPECT_EQ(JobReportText(MakeJobReport(JobStep::Request, ERROR_FILE_NOT_FOUND)).text.rfind(L"[Error 2]", 0), 0u);
}

// Catches: the tray menu's commands or texts mixed up in the resource.
TEST(AgentResources, TrayMenuHoldsTheFourCommands) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAYMENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    auto text = [popup](UINT id) {
        wchar_t buffer[64] = {};
        ::GetMenuStringW(popup, id, buffer, 64, MF_BYCOMMAND);
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(ID_TRAY_SHOW_LAUNCHER), L"런처 보이기");
    EXPECT_EQ(text(ID_TRAY_OPEN_STORE), L"Storvia 접속");
    EXPECT_EQ(text(ID_TRAY_HELP), L"도움말");
    EXPECT_EQ(text(ID_TRAY_EXIT), L"종료");
    ::DestroyMenu(menu);
}

}  // namespace
