// The suite's self-update against the local store: what is asked, what lands where, and what a failure leaves.
#include "updater/SuiteUpdater.h"

#include "updater/UpdaterReports.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/FolderTree.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/framework/RecordingMessageBoxes.h"
#include "tests/platform/TestEnvironment.h"

namespace {

constexpr wchar_t kSuite[] = L"T:\\KelvoUpTest";
constexpr wchar_t kStarterAtRoot[] = L"T:\\Start.exe";
constexpr wchar_t kStaging[] = L"T:\\KelvoUpTest\\Staging\\suite";

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

class RecordingView : public IUpdateView {
public:
    void StepDone(int step) override { steps.push_back(step); }
    void Percent(int percent) override { percents.push_back(percent); }
    std::vector<int> steps;
    std::vector<int> percents;
};

class SuiteUpdater : public testing::Test {
protected:
    void SetUp() override {
        m_ftp = kelvo_test::EnvironmentText(L"KELVO_STORE_FTP");
        m_root = kelvo_test::EnvironmentText(L"KELVO_STORE_ROOT");
        if (m_ftp.empty()) {
            GTEST_SKIP() << "no local store (run through run_with_content_store.sh)";
        }
        platform::DeleteFolderTree(kSuite);
        ::DeleteFileW(kStarterAtRoot);
        platform::CreateFolderPath(kSuite);
    }
    void TearDown() override {
        platform::DeleteFolderTree(kSuite);
        ::DeleteFileW(kStarterAtRoot);
    }

    UpdateResult RunUpdate(const std::wstring& ftpHost) {
        CSuiteUpdater updater(SuiteUpdaterContext{kSuite, kStaging, ftpHost, m_view, m_reports, m_stop, m_watch});
        return updater.Run();
    }
    std::wstring Suite(const wchar_t* name) const { return std::wstring(kSuite) + L"\\" + name; }
    std::string ServerFile(const wchar_t* relative) const { return ReadAll(m_root + L"\\application\\" + relative); }

    std::wstring m_ftp;
    std::wstring m_root;
    RecordingView m_view;
    platform::RecordingMessageBoxes m_boxes{IDYES};
    // The question and failures answered at once, on the updater's thread.
    platform::ImmediateReports m_reports{m_boxes, &UpdaterReportText};
    platform::StopSignal m_stop;
    NetworkWatch m_watch;
};

// Catches: a missing local profile taken as current, files cut or put in the wrong place (the starter belongs at
// the drive root), the version changed before the files, progress that goes back, and steps left unticked.
TEST_F(SuiteUpdater, AnsweredYesEveryFileIsInstalledAndTheVersionLast) {
    ASSERT_EQ(RunUpdate(m_ftp), UpdateResult::Updated);
    ASSERT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_boxes.boxes()[0].text, L"Kelvo 업데이트가 있습니다. 업데이트 하시겠습니까?");
    EXPECT_EQ(ReadAll(Suite(platform::WideCStr(common::kLauncherProgram))), ServerFile(L"Launcher\\Tolv.exe"));
    EXPECT_EQ(ReadAll(Suite(platform::WideCStr(common::kAgentProgram))), ServerFile(L"Launcher\\Marlo.exe"));
    EXPECT_EQ(ReadAll(kStarterAtRoot), ServerFile(L"Launcher\\Start.exe"));
    EXPECT_EQ(::GetFileAttributesW(Suite(platform::WideCStr(common::kStarterProgram)).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadAll(Suite(platform::WideCStr(common::kProfileFile))), ServerFile(L"launcher\\Profile.xml"));
    EXPECT_EQ(::GetFileAttributesW(Suite(L"Tolv.exe.new").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(m_view.steps, (std::vector<int>{0, 1, 2}));
    ASSERT_FALSE(m_view.percents.empty());
    for (size_t i = 1; i < m_view.percents.size(); ++i) {
        EXPECT_GT(m_view.percents[i], m_view.percents[i - 1]);
    }
    EXPECT_LE(m_view.percents.back(), 100);

    // The same version now: nothing is asked.
    m_view.steps.clear();
    EXPECT_EQ(RunUpdate(m_ftp), UpdateResult::NoUpdate);
    EXPECT_EQ(m_boxes.boxes().size(), 1u);
    EXPECT_EQ(m_view.steps, (std::vector<int>{0, 1}));
}

// Catches: a No that installs anything, and the local profile touched by it.
TEST_F(SuiteUpdater, AnsweredNoNothingChanges) {
    ASSERT_TRUE(WriteAll(Suite(platform::WideCStr(common::kProfileFile)),
                         "<UPDATEPROFILE><HEAD><VERSION>0.9</VERSION></HEAD></UPDATEPROFILE>"));
    m_boxes.QueueAnswer(IDNO);
    EXPECT_EQ(RunUpdate(m_ftp), UpdateResult::Declined);
    EXPECT_EQ(::GetFileAttributesW(Suite(platform::WideCStr(common::kLauncherProgram)).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(ReadAll(Suite(platform::WideCStr(common::kProfileFile))).find("0.9"), std::string::npos);
}

// Catches: an updater that cannot reach the store complaining, or stopping the suite from starting.
TEST_F(SuiteUpdater, WithoutTheStoreNothingIsAskedOrShown) {
    EXPECT_EQ(RunUpdate(L"127.0.0.1:1"), UpdateResult::NoUpdate);
    EXPECT_TRUE(m_boxes.boxes().empty());
    EXPECT_TRUE(m_view.steps.empty());
}

// Catches: a file that cannot be replaced passed over as if installed, the files before it left replaced (the
// suite would mix two versions), and the new version written over the old after a partial update (the next
// start would not offer it again).
TEST_F(SuiteUpdater, AFileThatCannotBeReplacedStopsTheUpdateBeforeTheVersion) {
    ASSERT_TRUE(WriteAll(Suite(platform::WideCStr(common::kProfileFile)),
                         "<UPDATEPROFILE><HEAD><VERSION>0.9</VERSION></HEAD></UPDATEPROFILE>"));
    ASSERT_TRUE(WriteAll(Suite(platform::WideCStr(common::kAgentProgram)), "running agent"));
    ASSERT_TRUE(WriteAll(Suite(platform::WideCStr(common::kLauncherProgram)), "old launcher"));
    {
        // As a running program holds its file: readable, not to be replaced.
        platform::UniqueFileHandle busy(::CreateFileW(Suite(platform::WideCStr(common::kAgentProgram)).c_str(),
                                                      GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                                      nullptr));
        ASSERT_TRUE(busy);
        EXPECT_EQ(RunUpdate(m_ftp), UpdateResult::Failed);
    }
    ASSERT_EQ(m_boxes.boxes().size(), 2u);
    EXPECT_EQ(m_boxes.boxes()[1].text.rfind(L"런처를 업데이트 하는 도중 오류가 발생하였습니다.(오류코드:", 0), 0u);
    EXPECT_EQ(ReadAll(Suite(platform::WideCStr(common::kAgentProgram))), "running agent");
    EXPECT_EQ(ReadAll(Suite(platform::WideCStr(common::kLauncherProgram))), "old launcher")
        << "the file before the held one is put back";
    EXPECT_NE(ReadAll(Suite(platform::WideCStr(common::kProfileFile))).find("0.9"), std::string::npos)
        << "the old version stays";
    EXPECT_EQ(::GetFileAttributesW(Suite(L"Marlo.exe.new").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
