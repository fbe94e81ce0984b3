// Where jobs stage what they fetch: "<suite folder>\Staging\<job>", on the drive the files go to, so that moving
// them into place is a rename on one volume. A package job is named by its store number and the suite's own
// update "suite", names no package name from the store can take.
#pragma once

namespace common {

inline constexpr char16_t kSuiteUpdateJob[] = u"suite";
// Inside a job's folder: the fetched profile, and these.
inline constexpr char16_t kStagedFilesFolder[] = u"files";
inline constexpr char16_t kBackupFolder[] = u"backup";
inline constexpr char16_t kSwapJournalName[] = u"swap.journal";

}  // namespace common
