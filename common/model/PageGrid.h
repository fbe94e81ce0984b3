// The launcher's content: four menu slots and up to 16 pages of up to 16 items, kept in step with TolvEnv.xml.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/model/EnvironmentFile.h"
#include "common/model/FileProbe.h"
#include "common/model/PackageRecord.h"

namespace common {

// Skin bitmaps an item shows when no shell icon can be taken.
enum class ItemBitmap : int32_t {
    None = 0,
    Store = 171,
    Settings = 172,
    Search = 173,
    Drive = 174,
    Folder = 205,
    Installing = 214,
    Command = 215,
    Document = 216,
};

// Package states kept in UPDATEFLAG.
inline constexpr int32_t kStateNormal = 0;
inline constexpr int32_t kStateUpdateAvailable = 1;
inline constexpr int32_t kStateInstalling = 2;
inline constexpr int32_t kStateMissing = 3;

struct GridItem {
    PackageRecord record;  // as shown: paths already moved to the launcher's drive
    int32_t progress = 0;  // percent of a running job; values above 100 were stored as 0
    uint32_t serial = 0;   // stable identity for the drawing layer, unique within the grid
    ItemBitmap bitmap = ItemBitmap::None;
    bool isEnabled = true;  // false while the program is missing
    bool needsIcon = true;  // the drawing layer must (re)take the icon
};

struct GridPage {
    std::vector<GridItem> items;  // at most kMaxItems
    uint32_t serial = 0;          // identity for a removal posted about this page, unique within the grid
};

// Fields of a package to add; unset fields take the derived values.
struct NewPackage {
    int32_t pkgType = 0;
    int32_t pkgId = 0;
    std::optional<int32_t> type;  // 0 or unset: derived from PATH
    std::optional<std::u16string> caption;
    std::u16string path;
    std::optional<std::u16string> param;
    std::optional<std::u16string> icon;
    int32_t updateFlag = kStateNormal;
};

// How it works: the grid mirrors CEnvironmentFile's pages one to one and adds what only the running launcher
// knows (progress, enabled state, bitmap, serial). Every change goes to the file's tree first. When the file cannot
// be saved (a write-protected stick) or there is none, the change stays in the tree and in the grid all the same,
// HasUnsavedChanges() tells, and the next change that can be saved writes them all. A reload takes the file as it
// is and drops what was not saved: the file is what the agent and the settings program read and change. Page and
// item indexes from messages are checked before use. UI thread only.
class CPageGrid {
public:
    static constexpr size_t kMaxPages = CEnvironmentFile::kMaxPages;
    static constexpr size_t kMaxItems = CEnvironmentFile::kMaxPackagesPerPage;
    static constexpr size_t kMenuSlots = CEnvironmentFile::kMenuSlots;

    // launcherFolder: the folder of Tolv.exe; its first character is the drive letter stored paths move to.
    CPageGrid(CEnvironmentFile& file, IFileProbe& probe, std::u16string launcherFolder);

    // Reads the file and builds the menu and the pages; the first page becomes current.
    bool Load();
    // Reloads and keeps the current page index, or the last page when there are fewer pages now. Changes not
    // saved are dropped.
    void Reload();
    // Whether a change shown could not be saved to the file.
    bool HasUnsavedChanges() const { return m_file.HasUnsavedChanges(); }

    const std::array<std::optional<GridItem>, kMenuSlots>& Menu() const { return m_menu; }
    const std::vector<GridPage>& Pages() const { return m_pages; }
    size_t PageCount() const { return m_pages.size(); }
    size_t CurrentPage() const { return m_current; }
    // Ignored unless index < PageCount().
    void SetCurrentPage(size_t index);

    // Adds a package on the first page from the current one with room, creating a page when needed; that page
    // becomes current. Returns where it went, or nullopt when it was dropped (16 full pages, no caption).
    struct Place {
        size_t page;
        size_t item;
    };
    std::optional<Place> AddPackage(const NewPackage& package);
    std::optional<Place> AddRecord(const PackageRecord& record);

    // Removes an item. True when it was removed; *emptiedPage (when given) is set to the serial of its page when
    // that page is now empty and not the only page, else cleared. The caller then posts the page removal, which
    // RemoveEmptyPage carries out.
    bool RemoveItem(size_t page, size_t item, std::optional<uint32_t>* emptiedPage = nullptr);
    // Removes the page with this serial when it is still there, still empty and not the only page. Another empty
    // page (the settings program leaves them behind) stays. When the removed page was the current one, the page
    // before it becomes current (the first page when it was the first); a current page after it stays current.
    bool RemoveEmptyPage(uint32_t pageSerial);

    // Agent notices. Each returns whether anything visible changed.
    bool OnInstallStarted(int32_t packageId, const std::u16string& caption, const std::u16string& programPath,
                          bool alwaysAdd);
    bool OnProgress(int32_t packageId, int64_t percent);
    bool OnFinished(int32_t packageId);
    // Removes the first item with this id and caption (ignoring case); sets *emptiedPage like RemoveItem.
    bool OnRemove(int32_t packageId, const std::u16string& caption, std::optional<uint32_t>* emptiedPage);
    // Finds the first item with this id, page by page.
    std::optional<Place> FindById(int32_t packageId) const;
    // Re-checks every item's program: missing ones become state 3 and disabled, returning ones state 0.
    bool Recheck();

    // The user's edit of an entry: caption, path, parameters and icon replaced and saved. The icon picture stays as
    // it is until the next reload. False when the place does not exist.
    bool EditItem(size_t page, size_t item, const std::u16string& caption, const std::u16string& path,
                  const std::u16string& param, const std::u16string& icon);
    // "Update" chosen for an item with an update available: it shows as being updated (state 2, progress 0).
    // Nothing is saved. False when the place does not exist or the item has no update available.
    bool MarkUpdating(size_t page, size_t item);

    // The drawing layer took the item's icon.
    void MarkIconTaken(size_t page, size_t item);

private:
    GridItem MakeMenuItem(const PackageRecord& stored);
    GridItem MakePackageItem(const PackageRecord& stored, bool isNew);
    GridPage MakePage();
    bool ProgramExists(const PackageRecord& record);
    int32_t DeriveType(const std::u16string& path);
    // Menu and pages from the file's tree, unsaved changes included; also after the file refused a change, which
    // only an index or limit the two disagree on can cause.
    void BuildFromFile();
    std::optional<size_t> ChoosePage();
    bool UpdateStored(size_t page, size_t item);

    CEnvironmentFile& m_file;
    IFileProbe& m_probe;
    std::u16string m_launcherFolder;
    char16_t m_drive = 0;
    uint32_t m_nextSerial = 1;
    std::array<std::optional<GridItem>, kMenuSlots> m_menu;
    std::vector<GridPage> m_pages;
    size_t m_current = 0;
};

}  // namespace common
