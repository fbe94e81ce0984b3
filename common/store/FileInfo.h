// One entry of a package's file list.
#pragma once

#include <cstdint>
#include <string>

namespace common {

// Comparison letters of an entry: which of FILESIZE, DATE and CHECKSUM the profile's values are read for.
inline constexpr uint32_t kCompareChecksum = 1;  // C
inline constexpr uint32_t kCompareSize = 2;      // S
inline constexpr uint32_t kCompareDate = 4;      // D

// Transfer state of an entry that still has to be fetched.
inline constexpr int32_t kTransferPending = 2;

// Fields in the profile's documented order. Sizes are 64-bit so that files past 2 GB and their sums stay exact;
// numbers too large for 64 bits are clamped.
struct CFileInfo {
    std::u16string fileName;    // FILENAME: a bare name, checked by CheckPlainName
    int64_t fetchedSize = -1;   // FILESIZE when S is set: the exact byte count the transfer must deliver
    int64_t realSize = 0;       // REALSIZE: the size counted for progress
    std::u16string directory;   // DIRECTORY: "" or "/a/b", checked by CheckDirectory
    std::u16string date;        // DATE when D is set; carried, never compared
    std::u16string type;        // TYPE; carried
    uint32_t comparison = 0;    // kCompare* bits from COMPARISON
    std::u16string checksum;    // CHECKSUM when C is set; carried, never computed
    int32_t transferState = 0;  // kTransferPending once the entry is in a list
    int32_t compress = 0;       // COMPRESS; carried, files are stored as fetched
};

}  // namespace common
