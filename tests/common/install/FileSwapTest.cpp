// Swapping staged files in: all or nothing, whatever step fails or wherever the process stops.
#include "common/install/FileSwap.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using common::SwapFile;
using common::SwapResult;

// Thrown by the fake file layer where the process "dies".
struct Stopped {};

// Files in a map; each Move and journal write can be made to fail, or to stop the process right after it.
class FakeSwapFiles final : public common::ISwapFiles {
public:
    bool Exists(const std::u16string& path) override { return files.count(path) != 0; }
    bool Move(const std::u16string& from, const std::u16string& to) override {
        ++moves;
        if (failingMoves.count(moves) != 0 || files.count(from) == 0 || files.count(to) != 0) {
            return false;
        }
        files[to] = files[from];
        files.erase(from);
        if (moves == stopAfterMove) {
            throw Stopped{};
        }
        return true;
    }
    bool MakeFoldersFor(const std::u16string&) override { return true; }
    bool RemoveFile(const std::u16string& path) override { return files.erase(path) != 0; }
    bool RemoveTree(const std::u16string&) override { return true; }
    bool WriteJournal(const std::u16string& path, const std::vector<uint8_t>& bytes) override {
        ++journalWrites;
        if (journalWrites == failingJournalWrite) {
            return false;
        }
        files[path] = std::string(bytes.begin(), bytes.end());
        if (journalWrites == stopAfterJournalWrite) {
            throw Stopped{};
        }
        return true;
    }
    std::optional<std::vector<uint8_t>> ReadJournal(const std::u16string& path) override {
        auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return std::vector<uint8_t>(found->second.begin(), found->second.end());
    }

    std::map<std::u16string, std::string> files;
    std::set<int> failingMoves;  // counted from 1
    int moves = 0;
    int stopAfterMove = 0;
    int journalWrites = 0;
    int failingJournalWrite = 0;
    int stopAfterJournalWrite = 0;
};

const std::u16string kJournal = u"K:\\Kelvo\\Staging\\7\\swap.journal";

// Three files in nested folders, one of them new; the profile last.
std::vector<SwapFile> Plan() {
    std::vector<SwapFile> plan;
    for (const char16_t* name : {u"app.exe", u"도움말\\한글.txt", u"data\\new.bin", u"Profile.xml"}) {
        plan.push_back(SwapFile{u"K:\\Kelvo\\Staging\\7\\files\\" + std::u16string(name),
                                u"K:\\Portable Programs\\Memo\\" + std::u16string(name),
                                u"K:\\Kelvo\\Staging\\7\\backup\\" + std::u16string(name)});
    }
    return plan;
}

class FileSwapTest : public testing::Test {
protected:
    void SetUp() override {
        for (const SwapFile& file : m_plan) {
            m_files.files[file.staged] = "new " + std::string(file.staged.end() - 3, file.staged.end());
            if (file.target.find(u"new.bin") == std::u16string::npos) {
                m_files.files[file.target] = "old";
            }
        }
        m_before = Targets();
    }
    std::map<std::u16string, std::string> Targets() const {
        std::map<std::u16string, std::string> targets;
        for (const SwapFile& file : m_plan) {
            auto found = m_files.files.find(file.target);
            if (found != m_files.files.end()) {
                targets[file.target] = found->second;
            }
        }
        return targets;
    }
    std::map<std::u16string, std::string> NewTargets() const {
        std::map<std::u16string, std::string> targets;
        for (const SwapFile& file : m_plan) {
            targets[file.target] = "new " + std::string(file.staged.end() - 3, file.staged.end());
        }
        return targets;
    }

    std::vector<SwapFile> m_plan = Plan();
    FakeSwapFiles m_files;
    std::map<std::u16string, std::string> m_before;
};

// Catches: old files left behind, new ones missing, backups or the journal left on the drive.
TEST_F(FileSwapTest, ASwapPutsEveryStagedFileInAndLeavesNothingElse) {
    EXPECT_EQ(common::SwapIn(m_files, kJournal, m_plan), SwapResult::Done);
    EXPECT_EQ(Targets(), NewTargets());
    EXPECT_EQ(m_files.files.size(), m_plan.size()) << "no staged file, backup or journal stays";
}

// Catches: a failing move (a target held open, a full drive) that leaves old and new files mixed.
TEST_F(FileSwapTest, AFailureAtAnyMoveLeavesEveryTargetAsItWas) {
    for (int failing = 1; failing <= 7; ++failing) {
        SetUp();
        m_files.failingMoves = {failing};
        EXPECT_EQ(common::SwapIn(m_files, kJournal, m_plan), SwapResult::RolledBack) << failing;
        EXPECT_EQ(Targets(), m_before) << "move " << failing;
        EXPECT_FALSE(m_files.Exists(kJournal));
        for (const SwapFile& file : m_plan) {
            EXPECT_TRUE(m_files.Exists(file.staged)) << "the staged files stay for another try";
        }
        m_files = FakeSwapFiles{};
    }
}

// Catches: a journal that cannot be written and a swap that goes on without one (an interruption then could
// not be undone).
TEST_F(FileSwapTest, AJournalThatCannotBeWrittenStopsTheSwap) {
    for (int failing = 1; failing <= 9; ++failing) {
        SetUp();
        m_files.failingJournalWrite = failing;
        EXPECT_EQ(common::SwapIn(m_files, kJournal, m_plan), SwapResult::RolledBack) << failing;
        EXPECT_EQ(Targets(), m_before) << "journal write " << failing;
        m_files = FakeSwapFiles{};
    }
}

// Catches: a process stopped during the swap (the agent killed, the stick pulled and put back) that the next
// start cannot bring back to one version: before the commit the old one, after it the new one.
TEST_F(FileSwapTest, AStopAfterAnyStepIsUndoneOrFinishedAtTheNextStart) {
    const int steps = static_cast<int>(2 * m_plan.size() + 1);
    for (int stop = 1; stop <= steps; ++stop) {
        for (bool afterMove : {false, true}) {
            SetUp();
            (afterMove ? m_files.stopAfterMove : m_files.stopAfterJournalWrite) = stop;
            bool isStopped = false;
            try {
                common::SwapIn(m_files, kJournal, m_plan);
            } catch (const Stopped&) {
                isStopped = true;
            }
            if (!isStopped) {
                m_files = FakeSwapFiles{};
                continue;  // fewer moves than `stop`
            }
            m_files.stopAfterMove = m_files.stopAfterJournalWrite = 0;
            const bool isCommitted = !afterMove && stop == steps;
            EXPECT_EQ(common::RecoverSwap(m_files, kJournal),
                      isCommitted ? common::RecoveryResult::Finished : common::RecoveryResult::RolledBack)
                << stop << " " << afterMove;
            EXPECT_EQ(Targets(), isCommitted ? NewTargets() : m_before) << "stopped at " << stop << " " << afterMove;
            EXPECT_FALSE(m_files.Exists(kJournal));
            EXPECT_EQ(common::RecoverSwap(m_files, kJournal), common::RecoveryResult::NothingToDo);
            m_files = FakeSwapFiles{};
        }
    }
}

// Catches: an undo that cannot put a file back and still reports the folder whole; the journal must stay so
// that the next start tries again.
TEST_F(FileSwapTest, AnUndoThatFailsKeepsTheJournal) {
    // Moves 1 to 4 set the first two files aside and in; the second one's move in fails, and then taking the
    // first new file out again (move 6) fails too.
    m_files.failingMoves = {4, 6};
    EXPECT_EQ(common::SwapIn(m_files, kJournal, m_plan), SwapResult::Inconsistent);
    EXPECT_TRUE(m_files.Exists(kJournal));
    m_files.failingMoves.clear();
    EXPECT_EQ(common::RecoverSwap(m_files, kJournal), common::RecoveryResult::RolledBack);
    EXPECT_EQ(Targets(), m_before);
}

// Catches: a staged file missing at the start, which would swap in a partial package.
TEST_F(FileSwapTest, AMissingStagedFileTouchesNothing) {
    m_files.files.erase(m_plan[2].staged);
    EXPECT_EQ(common::SwapIn(m_files, kJournal, m_plan), SwapResult::RolledBack);
    EXPECT_EQ(Targets(), m_before);
    EXPECT_EQ(m_files.journalWrites, 0);
}

// Catches: journals read back with other paths (Korean names, spaces), and damaged journals acted upon.
TEST(SwapJournal, RoundTripsAndRefusesDamagedText) {
    common::SwapJournal journal{common::SwapJournal::State::Committed, 5, Plan()};
    std::vector<uint8_t> bytes = common::WriteSwapJournal(journal);
    std::optional<common::SwapJournal> read = common::ReadSwapJournal(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->state, common::SwapJournal::State::Committed);
    EXPECT_EQ(read->step, 5u);
    EXPECT_EQ(read->files, journal.files);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(common::ReadSwapJournal(part)) << "cut at " << cut;
    }
    std::string text(bytes.begin(), bytes.end());
    text.replace(text.find("committed"), 9, "finished!");
    EXPECT_FALSE(common::ReadSwapJournal(std::vector<uint8_t>(text.begin(), text.end())));
}

}  // namespace
