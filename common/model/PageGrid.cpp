// The launcher's pages and items over the environment file.
#include "common/model/PageGrid.h"

#include <algorithm>

#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {

constexpr int32_t kPkgTypeStore = 1;
constexpr int32_t kPkgTypeUserCommand = 4;

constexpr int32_t kTypeProgram = 0;
constexpr int32_t kTypeFolder = 1;
constexpr int32_t kTypeShortcut = 2;
constexpr int32_t kTypeUnknown = -1;
constexpr int32_t kTypeSettings = 10;
constexpr int32_t kTypeSearch = 11;
constexpr int32_t kTypeStore = 12;
constexpr int32_t kTypeDrive = 13;
constexpr int32_t kTypeCommand = 15;

ItemBitmap MenuBitmap(int32_t type) {
    switch (type) {
        case kTypeSettings:
            return ItemBitmap::Settings;
        case kTypeSearch:
            return ItemBitmap::Search;
        case kTypeStore:
            return ItemBitmap::Store;
        case kTypeDrive:
            return ItemBitmap::Drive;
        default:
            return ItemBitmap::None;
    }
}

ItemBitmap PackageBitmap(int32_t type, int32_t updateFlag, bool isNew) {
    if (isNew && updateFlag == kStateInstalling) {
        return ItemBitmap::Installing;
    }
    if (type == kTypeCommand) {
        return ItemBitmap::Command;
    }
    return type == kTypeFolder ? ItemBitmap::Folder : ItemBitmap::Document;
}

bool HasDrivePrefix(const std::u16string& path) {
    return path.size() >= 2 && path[1] == u':';
}

}  // namespace

CPageGrid::CPageGrid(CEnvironmentFile& file, IFileProbe& probe, std::u16string launcherFolder)
    : m_file(file), m_probe(probe), m_launcherFolder(std::move(launcherFolder)) {
    m_drive = m_launcherFolder.empty() ? 0 : m_launcherFolder[0];
}

bool CPageGrid::Load() {
    bool isLoaded = m_file.Load();
    BuildFromFile();
    m_current = 0;
    return isLoaded;
}

void CPageGrid::Reload() {
    size_t remembered = m_current;
    Load();
    if (!m_pages.empty()) {
        m_current = remembered < m_pages.size() ? remembered : m_pages.size() - 1;
    }
}

void CPageGrid::BuildFromFile() {
    for (size_t slot = 0; slot < kMenuSlots; ++slot) {
        const auto& stored = m_file.Menu()[slot];
        m_menu[slot] = stored ? std::optional<GridItem>(MakeMenuItem(*stored)) : std::nullopt;
    }
    m_pages.clear();
    for (const EnvPage& page : m_file.Pages()) {
        GridPage gridPage = MakePage();
        for (const EnvPackage& package : page.packages) {
            gridPage.items.push_back(MakePackageItem(package.record, false));
        }
        m_pages.push_back(std::move(gridPage));
    }
    if (m_current >= m_pages.size()) {
        m_current = m_pages.empty() ? 0 : m_pages.size() - 1;
    }
}

GridItem CPageGrid::MakeMenuItem(const PackageRecord& stored) {
    GridItem item;
    item.record = stored;
    item.serial = m_nextSerial++;
    item.bitmap = MenuBitmap(stored.type);
    if (stored.type == kTypeDrive) {
        item.record.path.Set(m_launcherFolder);
    }
    std::u16string path = item.record.path.Get();
    if (HasDrivePrefix(path) && m_drive != 0) {
        item.record.path.Set(ReplaceDriveLetter(path, m_drive));
    }
    return item;
}

GridPage CPageGrid::MakePage() {
    GridPage page;
    page.serial = m_nextSerial++;
    return page;
}

GridItem CPageGrid::MakePackageItem(const PackageRecord& stored, bool isNew) {
    GridItem item;
    item.record = stored;
    item.serial = m_nextSerial++;
    if (stored.pkgType != kPkgTypeUserCommand && m_drive != 0) {
        std::u16string path = stored.path.Get();
        std::u16string icon = stored.icon.Get();
        if (HasDrivePrefix(path)) {
            item.record.path.Set(ReplaceDriveLetter(path, m_drive));
        }
        if (HasDrivePrefix(icon)) {
            item.record.icon.Set(ReplaceDriveLetter(icon, m_drive));
        }
    }
    if (item.record.icon.IsEmpty()) {
        item.record.icon.Set(item.record.path.Get());
    }
    item.bitmap = PackageBitmap(stored.type, stored.updateFlag, isNew);
    item.isEnabled = ProgramExists(item.record);
    return item;
}

bool CPageGrid::ProgramExists(const PackageRecord& record) {
    if (record.updateFlag == kStateInstalling) {
        return true;
    }
    return m_probe.Probe(record.path.Get()) != IFileProbe::Kind::Missing;
}

int32_t CPageGrid::DeriveType(const std::u16string& path) {
    switch (m_probe.Probe(path)) {
        case IFileProbe::Kind::Folder:
            return kTypeFolder;
        case IFileProbe::Kind::File:
            if (ExtensionStartsWith(path, u".exe")) {
                return kTypeProgram;
            }
            return ExtensionStartsWith(path, u".lnk") ? kTypeShortcut : kTypeUnknown;
        case IFileProbe::Kind::Missing:
        default:
            return kTypeUnknown;
    }
}

void CPageGrid::SetCurrentPage(size_t index) {
    if (index < m_pages.size()) {
        m_current = index;
    }
}

std::optional<size_t> CPageGrid::ChoosePage() {
    for (size_t page = m_current; page < m_pages.size(); ++page) {
        if (m_pages[page].items.size() < kMaxItems && m_file.Pages()[page].packages.size() < kMaxItems) {
            return page;
        }
    }
    if (m_pages.size() >= kMaxPages) {
        return std::nullopt;
    }
    std::optional<size_t> created = m_file.AddPage();
    if (!created) {
        BuildFromFile();
        return std::nullopt;
    }
    m_pages.push_back(MakePage());
    return created;
}

std::optional<CPageGrid::Place> CPageGrid::AddPackage(const NewPackage& package) {
    PackageRecord record;
    record.pkgType = package.pkgType;
    record.pkgId = package.pkgId;
    record.path.Set(package.path);
    record.param.Set(package.param.value_or(std::u16string()));
    record.icon.Set(package.icon.value_or(package.path));
    record.updateFlag = package.updateFlag;
    // The caption is settled before a page is chosen, so a package that cannot be added never leaves a new,
    // empty page behind in the file.
    std::u16string caption = package.caption ? *package.caption : FileTitle(package.path);
    if (caption.empty() || !record.caption.Set(caption)) {
        return std::nullopt;
    }
    record.type = package.type.value_or(0) != 0 ? *package.type : DeriveType(package.path);

    std::optional<size_t> page = ChoosePage();
    if (!page) {
        return std::nullopt;
    }
    std::optional<size_t> index = m_file.AddPackage(*page, record);
    if (!index) {
        BuildFromFile();
        return std::nullopt;
    }
    GridItem item = MakePackageItem(record, true);
    // The file holds what was stored; memory keeps the moved paths.
    m_pages[*page].items.push_back(std::move(item));
    m_current = *page;
    return Place{*page, m_pages[*page].items.size() - 1};
}

std::optional<CPageGrid::Place> CPageGrid::AddRecord(const PackageRecord& record) {
    NewPackage package;
    package.pkgType = record.pkgType;
    package.pkgId = record.pkgId;
    package.type = record.type;
    package.caption = record.caption.Get();
    package.path = record.path.Get();
    package.param = record.param.Get();
    if (!record.icon.IsEmpty()) {
        package.icon = record.icon.Get();
    }
    package.updateFlag = record.updateFlag;
    return AddPackage(package);
}

bool CPageGrid::RemoveItem(size_t page, size_t item, std::optional<uint32_t>* emptiedPage) {
    if (emptiedPage != nullptr) {
        emptiedPage->reset();
    }
    if (page >= m_pages.size() || item >= m_pages[page].items.size()) {
        return false;
    }
    if (!m_file.RemovePackage(page, item)) {
        BuildFromFile();
        return false;
    }
    auto& items = m_pages[page].items;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(item));
    if (emptiedPage != nullptr && items.empty() && m_pages.size() > 1) {
        *emptiedPage = m_pages[page].serial;
    }
    return true;
}

bool CPageGrid::RemoveEmptyPage(uint32_t pageSerial) {
    if (m_pages.size() <= 1) {
        return false;
    }
    auto found = std::find_if(m_pages.begin(), m_pages.end(),
                              [pageSerial](const GridPage& page) { return page.serial == pageSerial; });
    // Gone (a reload in between) or filled again (an add in between): nothing to remove.
    if (found == m_pages.end() || !found->items.empty()) {
        return false;
    }
    auto page = static_cast<size_t>(found - m_pages.begin());
    if (!m_file.RemovePage(page)) {
        BuildFromFile();
        return false;
    }
    m_pages.erase(found);
    if (m_current == page) {
        m_current = page == 0 ? 0 : page - 1;
    } else if (m_current > page) {
        --m_current;
    }
    return true;
}

bool CPageGrid::EditItem(size_t page, size_t item, const std::u16string& caption, const std::u16string& path,
                         const std::u16string& param, const std::u16string& icon) {
    if (page >= m_pages.size() || item >= m_pages[page].items.size()) {
        return false;
    }
    PackageRecord& record = m_pages[page].items[item].record;
    record.caption.Set(caption);
    record.path.Set(path);
    record.param.Set(param);
    record.icon.Set(icon);
    return UpdateStored(page, item);
}

bool CPageGrid::MarkUpdating(size_t page, size_t item) {
    if (page >= m_pages.size() || item >= m_pages[page].items.size()) {
        return false;
    }
    GridItem& target = m_pages[page].items[item];
    if (target.record.updateFlag != kStateUpdateAvailable) {
        return false;
    }
    target.record.updateFlag = kStateInstalling;
    target.progress = 0;
    return true;
}

bool CPageGrid::UpdateStored(size_t page, size_t item) {
    if (!m_file.UpdatePackage(page, item, m_pages[page].items[item].record)) {
        BuildFromFile();
        return false;
    }
    return true;
}

bool CPageGrid::OnInstallStarted(int32_t packageId, const std::u16string& caption, const std::u16string& programPath,
                                 bool alwaysAdd) {
    if (!alwaysAdd) {
        if (std::optional<Place> place = FindById(packageId)) {
            GridItem& item = m_pages[place->page].items[place->item];
            item.record.updateFlag = kStateInstalling;
            item.isEnabled = true;
            UpdateStored(place->page, place->item);
            return true;
        }
    }
    NewPackage package;
    package.pkgType = kPkgTypeStore;
    package.pkgId = packageId;
    package.caption = caption;
    package.path = programPath;
    package.updateFlag = kStateInstalling;
    return AddPackage(package).has_value();
}

bool CPageGrid::OnProgress(int32_t packageId, int64_t percent) {
    if (m_current >= m_pages.size()) {
        return false;
    }
    for (GridItem& item : m_pages[m_current].items) {
        if (item.record.pkgId != packageId) {
            continue;
        }
        int32_t stored = percent > 100 ? 0 : static_cast<int32_t>(percent < INT32_MIN ? INT32_MIN : percent);
        if (item.progress == stored) {
            return false;
        }
        item.progress = stored;
        return true;
    }
    return false;
}

bool CPageGrid::OnFinished(int32_t packageId) {
    bool isChanged = false;
    for (size_t page = 0; page < m_pages.size(); ++page) {
        auto& items = m_pages[page].items;
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].record.pkgId != packageId) {
                continue;
            }
            GridItem& item = items[index];
            item.progress = 0;
            item.record.updateFlag = kStateNormal;
            item.needsIcon = true;
            item.isEnabled = ProgramExists(item.record);
            if (!UpdateStored(page, index)) {
                return true;
            }
            isChanged = true;
            break;
        }
    }
    return isChanged;
}

bool CPageGrid::OnRemove(int32_t packageId, const std::u16string& caption, std::optional<uint32_t>* emptiedPage) {
    for (size_t page = 0; page < m_pages.size(); ++page) {
        const auto& items = m_pages[page].items;
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].record.pkgId == packageId &&
                EqualsIgnoreCase(items[index].record.caption.Get(), caption)) {
                RemoveItem(page, index, emptiedPage);
                return true;
            }
        }
    }
    return false;
}

std::optional<CPageGrid::Place> CPageGrid::FindById(int32_t packageId) const {
    for (size_t page = 0; page < m_pages.size(); ++page) {
        const auto& items = m_pages[page].items;
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].record.pkgId == packageId) {
                return Place{page, index};
            }
        }
    }
    return std::nullopt;
}

bool CPageGrid::Recheck() {
    bool isChanged = false;
    for (GridPage& page : m_pages) {
        for (GridItem& item : page.items) {
            bool exists = ProgramExists(item.record);
            if (!exists && item.record.updateFlag != kStateInstalling && item.record.updateFlag != kStateMissing) {
                item.record.updateFlag = kStateMissing;
                item.isEnabled = false;
                isChanged = true;
            } else if (exists && item.record.updateFlag == kStateMissing) {
                item.record.updateFlag = kStateNormal;
                item.isEnabled = true;
                isChanged = true;
            } else if (item.isEnabled != exists) {
                item.isEnabled = exists;
                isChanged = true;
            }
        }
    }
    return isChanged;
}

void CPageGrid::MarkIconTaken(size_t page, size_t item) {
    if (page < m_pages.size() && item < m_pages[page].items.size()) {
        m_pages[page].items[item].needsIcon = false;
    }
}

}  // namespace common
