// The swap of staged files with their targets, its journal and its undoing.
#include "common/install/FileSwap.h"

#include <string_view>

#include "common/text/Utf.h"

namespace common {

namespace {

constexpr std::string_view kMagic = "kelvo-swap 1";
constexpr std::string_view kSwapping = "swapping";
constexpr std::string_view kCommitted = "committed";
constexpr std::string_view kEnd = "end";  // the last line: a journal without it was cut short

// Windows file names hold no control characters, so a tab and a line feed separate the fields safely.
constexpr char kField = '\t';
constexpr char kLine = '\n';

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::optional<uint32_t> ParseStep(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint32_t>(digit - '0');
    }
    return value;
}

// Takes back what the steps of `plan` did, from the last file to the first. True when every target is as it was.
bool Undo(ISwapFiles& files, const std::vector<SwapFile>& plan) {
    bool isWhole = true;
    for (auto file = plan.rbegin(); file != plan.rend(); ++file) {
        // Moved in: the staged file is gone and the target is there.
        if (!files.Exists(file->staged) && files.Exists(file->target) && !files.Move(file->target, file->staged)) {
            isWhole = false;
            continue;
        }
        // Moved aside: the backup is there, and the target's place is free again.
        // (Its folder is made again should something have removed it meanwhile.)
        if (files.Exists(file->backup) && (files.Exists(file->target) || !files.MakeFoldersFor(file->target) ||
                                           !files.Move(file->backup, file->target))) {
            isWhole = false;
        }
    }
    return isWhole;
}

void RemoveBackups(ISwapFiles& files, const std::vector<SwapFile>& plan) {
    for (const SwapFile& file : plan) {
        if (files.Exists(file.backup)) {
            files.RemoveFile(file.backup);
        }
    }
}

SwapResult EndFailed(ISwapFiles& files, const std::u16string& journalPath, const std::vector<SwapFile>& plan) {
    if (!Undo(files, plan)) {
        return SwapResult::Inconsistent;
    }
    files.RemoveFile(journalPath);
    return SwapResult::RolledBack;
}

}  // namespace

std::vector<uint8_t> WriteSwapJournal(const SwapJournal& journal) {
    std::string text(kMagic);
    text += kLine;
    text += journal.state == SwapJournal::State::Committed ? kCommitted : kSwapping;
    text += kLine;
    text += std::to_string(journal.step);
    text += kLine;
    for (const SwapFile& file : journal.files) {
        text += Utf16ToUtf8(file.staged) + kField + Utf16ToUtf8(file.target) + kField + Utf16ToUtf8(file.backup);
        text += kLine;
    }
    text += kEnd;
    text += kLine;
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::optional<SwapJournal> ReadSwapJournal(const std::vector<uint8_t>& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // Every record ends with its line feed: a journal cut short has no last one.
    if (text.empty() || text.back() != kLine) {
        return std::nullopt;
    }
    std::vector<std::string_view> lines = Split(text.substr(0, text.size() - 1), kLine);
    if (lines.size() < 4 || lines[0] != kMagic || (lines[1] != kSwapping && lines[1] != kCommitted) ||
        lines.back() != kEnd) {
        return std::nullopt;
    }
    lines.pop_back();
    std::optional<uint32_t> step = ParseStep(lines[2]);
    if (!step) {
        return std::nullopt;
    }
    SwapJournal journal;
    journal.state = lines[1] == kCommitted ? SwapJournal::State::Committed : SwapJournal::State::Swapping;
    journal.step = *step;
    for (size_t index = 3; index < lines.size(); ++index) {
        std::vector<std::string_view> fields = Split(lines[index], kField);
        if (fields.size() != 3) {
            return std::nullopt;
        }
        std::optional<std::u16string> staged = Utf8ToUtf16Strict(fields[0]);
        std::optional<std::u16string> target = Utf8ToUtf16Strict(fields[1]);
        std::optional<std::u16string> backup = Utf8ToUtf16Strict(fields[2]);
        if (!staged || !target || !backup || staged->empty() || target->empty() || backup->empty()) {
            return std::nullopt;
        }
        journal.files.push_back(SwapFile{*staged, *target, *backup});
    }
    return journal;
}

SwapResult SwapIn(ISwapFiles& files, const std::u16string& journalPath, const std::vector<SwapFile>& plan) {
    for (const SwapFile& file : plan) {
        if (!files.Exists(file.staged) || files.Exists(file.backup)) {
            return SwapResult::RolledBack;  // nothing was touched
        }
    }
    SwapJournal journal{SwapJournal::State::Swapping, 0, plan};
    auto record = [&](uint32_t step) {
        journal.step = step;
        return files.WriteJournal(journalPath, WriteSwapJournal(journal));
    };
    for (uint32_t index = 0; index < plan.size(); ++index) {
        const SwapFile& file = plan[index];
        if (!record(2 * index)) {
            return EndFailed(files, journalPath, plan);
        }
        if (files.Exists(file.target) &&
            (!files.MakeFoldersFor(file.backup) || !files.Move(file.target, file.backup))) {
            return EndFailed(files, journalPath, plan);
        }
        if (!record(2 * index + 1)) {
            return EndFailed(files, journalPath, plan);
        }
        if (!files.MakeFoldersFor(file.target) || !files.Move(file.staged, file.target)) {
            return EndFailed(files, journalPath, plan);
        }
    }
    journal.state = SwapJournal::State::Committed;
    if (!record(static_cast<uint32_t>(2 * plan.size()))) {
        return EndFailed(files, journalPath, plan);
    }
    RemoveBackups(files, plan);
    files.RemoveFile(journalPath);
    return SwapResult::Done;
}

RecoveryResult RecoverSwap(ISwapFiles& files, const std::u16string& journalPath) {
    std::optional<std::vector<uint8_t>> bytes = files.ReadJournal(journalPath);
    if (!bytes) {
        return RecoveryResult::NothingToDo;
    }
    std::optional<SwapJournal> journal = ReadSwapJournal(*bytes);
    if (!journal) {
        // Journals are replaced whole, so this one was not written by a swap: it is not ours to act on.
        return RecoveryResult::Inconsistent;
    }
    if (journal->state == SwapJournal::State::Committed) {
        RemoveBackups(files, journal->files);
        files.RemoveFile(journalPath);
        return RecoveryResult::Finished;
    }
    if (!Undo(files, journal->files)) {
        return RecoveryResult::Inconsistent;
    }
    files.RemoveFile(journalPath);
    return RecoveryResult::RolledBack;
}

}  // namespace common
