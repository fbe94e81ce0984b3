// The settings program's list of installed store packages, read from TolvEnv.xml and written back field by
// field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/io/FileStore.h"
#include "common/xml/XmlFile.h"

namespace common {

struct PackageRow {
    size_t page = 0;
    int32_t pkgType = 0;
    int32_t pkgId = 0;
    int32_t type = 0;
    std::u16string caption;
    std::u16string path;  // drive letter moved to the suite's
    std::u16string param;
    std::u16string icon;  // likewise
    int32_t updateFlag = 0;
    bool isDeleted = false;
    uint8_t key = 0;  // hot key character, 0 for none
    bool alt = false;
    bool shift = false;
    bool ctrl = false;
    bool win = false;
    bool startOpen = false;
    bool startClose = false;
    bool isChanged = false;
    XmlPosition element;  // the package element, for writing back
};

// How it works: the file is read with the light XML document through the safe file binding (a failed save
// leaves the file as it was). Only store packages (PKGTYPE 1) become rows. Save writes each changed row's
// CAPTION, PARAM, ICON, STARTOPEN, STARTCLOSE, SHORTCUT, ALT, CTRL, SHIFT and WIN where those children exist
// (none is created; PATH is never written). UI thread only.
class PackageRows {
public:
    PackageRows(IFileStore& store, std::u16string path, char16_t drive);

    // Reads the file anew; false (and no rows) when it cannot be read or is not an environment file.
    bool Load();
    std::vector<PackageRow>& Rows() { return m_rows; }
    bool Save();
    // Removes the row's package element and writes the file; PackageCount and PageNum are left for the
    // launcher to correct. False when nothing was removed or written.
    bool Remove(size_t index);

private:
    void ReadPage(const CXmlElement& page, size_t pageIndex);

    CXmlFile m_file;
    char16_t m_drive;
    std::vector<PackageRow> m_rows;
};

}  // namespace common
