// Replacing a set of files on one drive as a whole: every staged file goes in, or none does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace common {

// The file layer a swap works through (platform::SwapFilesWin on Windows, fakes in tests). Paths are full local
// paths on one volume.
class ISwapFiles {
public:
    virtual ~ISwapFiles() = default;
    virtual bool Exists(const std::u16string& path) = 0;
    // A rename on the same volume, written through; false when `to` exists or the rename fails.
    virtual bool Move(const std::u16string& from, const std::u16string& to) = 0;
    // Makes the folders above `file`.
    virtual bool MakeFoldersFor(const std::u16string& file) = 0;
    virtual bool RemoveFile(const std::u16string& path) = 0;
    // Removes a folder with everything in it; true when it is gone (or never was).
    virtual bool RemoveTree(const std::u16string& folder) = 0;
    // The journal, replaced whole on every write so that a reader finds the old record or the new one.
    virtual bool WriteJournal(const std::u16string& path, const std::vector<uint8_t>& bytes) = 0;
    virtual std::optional<std::vector<uint8_t>> ReadJournal(const std::u16string& path) = 0;
};

// One file of a swap: the verified staged file, the target it replaces (which may not exist yet), and where the
// old target waits while the swap runs.
struct SwapFile {
    std::u16string staged;
    std::u16string target;
    std::u16string backup;

    bool operator==(const SwapFile& other) const {
        return staged == other.staged && target == other.target && backup == other.backup;
    }
};

struct SwapJournal {
    enum class State { Swapping, Committed };
    State state = State::Swapping;
    uint32_t step = 0;  // the step about to be taken: file i is moved aside at 2i, moved in at 2i + 1
    std::vector<SwapFile> files;
};

std::vector<uint8_t> WriteSwapJournal(const SwapJournal& journal);
// nullopt for anything but a whole journal of this format.
std::optional<SwapJournal> ReadSwapJournal(const std::vector<uint8_t>& bytes);

enum class SwapResult {
    Done,          // every staged file is in place; the old ones are gone
    RolledBack,    // a step failed; every target is as it was before
    Inconsistent,  // a step failed and so did taking it back: the journal stays for the next start
};

// How it works: the journal is written before each step, so that whatever stops the process, the next start
// finds what may have happened. For each file in order: its existing target is moved to the backup, then the
// staged file is moved to the target (the last file is the one the rest depend on, e.g. the package's profile).
// When all are in, the journal says committed, the backups go, then the journal. On a failure, every file is
// put back from the last to the first; undoing looks at which files exist, so it is right however far the
// interrupted step got. Backups are renames on the same volume: they take no room on the drive.
SwapResult SwapIn(ISwapFiles& files, const std::u16string& journalPath, const std::vector<SwapFile>& plan);

enum class RecoveryResult { NothingToDo, Finished, RolledBack, Inconsistent };

// For the next start after an interruption. A committed swap is finished (only its backups and journal were
// left); any other is rolled back, since the job that began it never told the launcher or the store that it
// ended, and the old files are what they still believe in.
RecoveryResult RecoverSwap(ISwapFiles& files, const std::u16string& journalPath);

}  // namespace common
