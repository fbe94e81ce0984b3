// The launcher environment file TolvEnv.xml: menu buttons, pages and packages over the light XML document.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/io/FileStore.h"
#include "common/model/PackageRecord.h"
#include "common/xml/XmlDocument.h"
#include "common/xml/XmlFile.h"

namespace common {

struct EnvPackage {
    PackageRecord record;
    XmlPosition element;
};

struct EnvPage {
    XmlPosition element;
    std::vector<EnvPackage> packages;  // at most kMaxPackagesPerPage
    int32_t packageCount = 0;          // "PackageCount" as in the file: an upper bound, never an index
};

// How it works: the file is read positionally. The root "TolvEnv" holds "MAINMENU" first (its first four
// children are menu slots 1-4, whatever their names) and "PAGEENV" second ("PageNum", "CurrentPage", then the
// pages). A page's first child is "PackageCount"; packages follow, and the first 16 are read ("PackageCount" is
// only an upper bound for other readers). Fields inside an entry are found by name ignoring case; a missing field reads
// as empty text or 0, and texts are cut to the record's field sizes. Stored paths are taken as they are (the launcher
// moves them to its drive).
//
// Every change is written at once through IFileStore::WriteReplace. When a save fails (a write-protected stick),
// the file keeps its old content and the change stays in memory, tree and model alike, with HasUnsavedChanges()
// set: the next change saves the whole tree, the earlier unsaved changes with it. When the file is missing,
// unreadable or not an environment file at all, the changes are held in memory only, on an empty tree of the
// file's shape, and nothing is ever written: the file is not this instance's to create or replace. A file whose
// parse was incomplete is never saved by Load itself, and before the first save over it the original bytes are
// kept as the newest backup copy, "<path>.bak" (older copies move to ".bak2" and ".bak3", BackupCopies.h); if
// that copy cannot be written the save fails. Other programs read the file, never this memory.
// Not thread-safe: one instance per program, used on its user-interface thread.
class CEnvironmentFile {
public:
    static constexpr size_t kMenuSlots = 4;
    static constexpr size_t kMaxPages = 16;
    static constexpr size_t kMaxPackagesPerPage = 16;
    static constexpr const char16_t* kBackupSuffix = CXmlFile::kBackupSuffix;

    CEnvironmentFile(IFileStore& store, std::u16string path);

    // Reads the file, dropping whatever was not saved. False when it is missing or unreadable or its root is not
    // "TolvEnv"; menu and pages are then empty, and changes are held in memory only. When the parse was complete
    // and "PageNum" differs from the pages read, it is corrected and saved (a failed correction is not an unsaved
    // change: it is made again at the next load, and saved with the next change).
    bool Load();
    // Whether a change since the last Load could not be written (or a memory-only tree holds one).
    bool HasUnsavedChanges() const { return m_hasUnsavedChanges; }
    // Whether Load found no environment file to write to: changes stay in memory only.
    bool IsMemoryOnly() const { return m_isMemoryOnly; }
    // Whether the last Load parsed the whole file (no parse error, no element left open).
    bool IsComplete() const { return m_file.IsComplete(); }

    const std::array<std::optional<PackageRecord>, kMenuSlots>& Menu() const { return m_menu; }
    const std::vector<EnvPage>& Pages() const { return m_pages; }

    // Each of these changes the document and saves it once; a failed save leaves the change in memory and sets
    // HasUnsavedChanges(), and the result still tells that the change was made. They fail, changing nothing, when
    // no "PAGEENV" is held, an index is out of range, or a limit (16 pages, 16 packages per page) would be passed.
    // AddPage appends a "Page" holding "PackageCount" 0 and sets "PageNum" to the pages read; returns its index.
    std::optional<size_t> AddPage();
    // Appends a "Package" with all sixteen fields and sets "PackageCount" to the page's package elements,
    // the new one included. Returns the new package's index on the page.
    std::optional<size_t> AddPackage(size_t page, const PackageRecord& record);
    // Writes CAPTION, PATH, PARAM, ICON and UPDATEFLAG of the package's element (adding a missing field).
    bool UpdatePackage(size_t page, size_t index, const PackageRecord& record);
    // Removes the package's element; "PackageCount" stays as it is.
    bool RemovePackage(size_t page, size_t index);
    // Removes the page with its packages and sets "PageNum" to the pages read.
    bool RemovePage(size_t page);

    // Field mapping shared with the other file readers of package entries.
    static PackageRecord ReadRecord(const CXmlElement& entry);

private:
    void BuildModel();
    void ReadPackages(EnvPage& page);
    // Rebuilds the model, then saves (unless memory-only); a failure sets m_hasUnsavedChanges.
    void Commit();
    void HoldInMemoryOnly();
    void SetPageNum(size_t pages);

    CXmlFile m_file;
    CXmlDocument& m_document = m_file.Document();
    XmlPosition m_pageEnv;
    XmlPosition m_pageNum;
    std::array<std::optional<PackageRecord>, kMenuSlots> m_menu;
    std::vector<EnvPage> m_pages;
    bool m_hasUnsavedChanges = false;
    bool m_isMemoryOnly = false;
};

}  // namespace common
