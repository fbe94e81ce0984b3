// Fuzz target: arbitrary TolvEnv.xml bytes loaded through an in-memory store, then a run of edits.
// The first input byte chooses the edits and which saves fail; the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/model/EnvironmentFile.h"
#include "tests/common/io/MemoryFileStore.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

const std::u16string kPath = u"E:\\Kelvo\\TolvEnv.xml";

bool SameRecord(const common::PackageRecord& a, const common::PackageRecord& b) {
    uint8_t left[common::PackageRecord::kSize];
    uint8_t right[common::PackageRecord::kSize];
    a.ToBytes(left);
    b.ToBytes(right);
    return std::memcmp(left, right, sizeof(left)) == 0;
}

void CheckLimits(const common::CEnvironmentFile& env) {
    Check(env.Pages().size() <= common::CEnvironmentFile::kMaxPages);
    for (const common::EnvPage& page : env.Pages()) {
        Check(page.packages.size() <= common::CEnvironmentFile::kMaxPackagesPerPage);
    }
}

// The model in memory must be what a fresh reader of the file sees.
void CheckMatchesFile(kelvo_test::MemoryFileStore& store, const common::CEnvironmentFile& env) {
    kelvo_test::MemoryFileStore copy;
    copy.files = store.files;
    common::CEnvironmentFile fresh(copy, kPath);
    fresh.Load();
    Check(fresh.Pages().size() == env.Pages().size());
    for (size_t p = 0; p < env.Pages().size(); ++p) {
        const auto& mine = env.Pages()[p].packages;
        const auto& theirs = fresh.Pages()[p].packages;
        Check(mine.size() == theirs.size());
        for (size_t i = 0; i < mine.size(); ++i) {
            Check(SameRecord(mine[i].record, theirs[i].record));
        }
    }
    for (size_t slot = 0; slot < common::CEnvironmentFile::kMenuSlots; ++slot) {
        Check(env.Menu()[slot].has_value() == fresh.Menu()[slot].has_value());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    uint8_t control = data[0];
    std::vector<uint8_t> original(data + 1, data + size);
    kelvo_test::MemoryFileStore store;
    store.files[kPath] = original;
    store.isWriteFailing = (control & 0x80) != 0;

    const bool isComparable =
        !kelvo_fuzz::HoldsUnitsTheWriterDrops(common::CXmlDocument::DecodeBytes(original.data(), original.size()));
    common::CEnvironmentFile env(store, kPath);
    env.Load();
    CheckLimits(env);
    if (!env.IsComplete()) {
        Check(store.files[kPath] == original);
        Check(store.files.size() == 1);
    }
    if (!store.isWriteFailing && isComparable) {
        CheckMatchesFile(store, env);
    }

    common::PackageRecord record;
    record.pkgType = 1;
    record.pkgId = control;
    record.caption.Set(u"메모장 & <x>");
    record.path.Set(u"c:\\Portable Programs\\메모장\\notepad.exe");
    record.shortcut = 'N';
    bool isAnyChangeSaved = false;
    for (int step = 0; step < 7; ++step) {
        size_t page = (control >> 2) & 1;
        bool isMade = false;
        switch ((control + step) % 5) {
            case 0:
                isMade = env.AddPage().has_value();
                break;
            case 1:
                isMade = env.AddPackage(page, record).has_value();
                break;
            case 2:
                isMade = env.UpdatePackage(page, 0, record);
                break;
            case 3:
                isMade = env.RemovePackage(page, control & 1);
                break;
            case 4:
                isMade = (control & 0x40) != 0 && env.RemovePage(page);
                break;
        }
        CheckLimits(env);
        // A change that could not be saved is still made, and held as unsaved.
        bool isSaved = isMade && !env.HasUnsavedChanges();
        Check(!(isSaved && store.isWriteFailing));
        Check(!(isMade && store.isWriteFailing) || env.HasUnsavedChanges());
        isAnyChangeSaved = isAnyChangeSaved || isSaved;
        if (!env.HasUnsavedChanges() && isComparable) {
            CheckMatchesFile(store, env);
        }
    }
    if (store.isWriteFailing || env.IsMemoryOnly()) {
        Check(store.files[kPath] == original);
    }
    if (env.IsMemoryOnly()) {
        Check(store.files.size() == 1);
    }
    auto backup = store.files.find(kPath + u".bak");
    if (!env.IsComplete() && isAnyChangeSaved) {
        Check(backup != store.files.end() && backup->second == original);
    }
    if (env.IsComplete()) {
        Check(backup == store.files.end());
    }
    return 0;
}
