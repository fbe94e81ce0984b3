// The launcher's pages and items: placement, removal, the agent's notices, and the file kept in step.
#include "common/model/PageGrid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "common/text/Utf.h"
#include "tests/common/io/MemoryFileStore.h"
#include "tests/common/model/FakeFileProbe.h"

namespace {

using common::CEnvironmentFile;
using common::CPageGrid;
using common::CXmlDocument;
using common::IFileProbe;
using common::ItemBitmap;
using common::NewPackage;

const std::u16string kFolder = u"K:\\Kelvo";
const std::u16string kPath = kFolder + u"\\TolvEnv.xml";

using FakeProbe = kelvo_test::FakeFileProbe;

std::string PackageXml(const std::string& caption, int id = 0, const std::string& path = "", int updateFlag = 0,
                       int pkgType = 1) {
    return "<Package><PKGTYPE>" + std::to_string(pkgType) + "</PKGTYPE><PKGID>" + std::to_string(id) +
           "</PKGID><TYPE>0</TYPE><CAPTION>" + caption + "</CAPTION><PATH>" + path + "</PATH><UPDATEFLAG>" +
           std::to_string(updateFlag) + "</UPDATEFLAG></Package>";
}

std::string PageXml(const std::vector<std::string>& packages) {
    std::string page = "<Page><PackageCount>" + std::to_string(packages.size()) + "</PackageCount>";
    for (const std::string& package : packages) {
        page += package;
    }
    return page + "</Page>";
}

// A MAINMENU without children would hide the pages, so there is always one menu entry.
std::string EnvXml(const std::vector<std::string>& pages, const std::string& menu = "<B1><TYPE>12</TYPE></B1>") {
    std::string env = "<TolvEnv><MAINMENU>" + menu + "</MAINMENU><PAGEENV><PageNum>" + std::to_string(pages.size()) +
                      "</PageNum><CurrentPage>0</CurrentPage>";
    for (const std::string& page : pages) {
        env += page;
    }
    return env + "</PAGEENV></TolvEnv>";
}

std::vector<std::string> Packages(int count, const std::string& prefix) {
    std::vector<std::string> packages;
    for (int i = 0; i < count; ++i) {
        packages.push_back(PackageXml(prefix + std::to_string(i), 100 + i));
    }
    return packages;
}

class PageGridTest : public testing::Test {
protected:
    void Put(const std::string& xml) {
        m_store.files[kPath] = std::vector<uint8_t>(xml.begin(), xml.end());
        ASSERT_TRUE(m_grid.Load());
    }

    // The saved file read back as another program would.
    std::unique_ptr<CEnvironmentFile> Reread() {
        auto file = std::make_unique<CEnvironmentFile>(m_store, kPath);
        EXPECT_TRUE(file->Load());
        return file;
    }

    int SavedPageNum() {
        CXmlDocument document;
        document.ParseBytes(m_store.files[kPath]);
        auto pageEnv = document.FindChild(document.Root(), u"PAGEENV");
        return document.FindChild(pageEnv, u"PageNum").element->IntText();
    }

    static std::string Caption(const common::GridItem& item) { return common::Utf16ToUtf8(item.record.caption.Get()); }

    kelvo_test::MemoryFileStore m_store;
    FakeProbe m_probe;
    CEnvironmentFile m_file{m_store, kPath};
    CPageGrid m_grid{m_file, m_probe, kFolder};
};

TEST_F(PageGridTest, SeventeenthPackageGoesToANewPageWhichBecomesCurrent) {
    Put(EnvXml({PageXml(Packages(16, "a"))}));
    NewPackage package;
    package.caption = u"새 프로그램";
    package.path = u"K:\\Portable Programs\\new\\new.exe";
    auto place = m_grid.AddPackage(package);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->page, 1u);
    EXPECT_EQ(m_grid.CurrentPage(), 1u);
    EXPECT_EQ(SavedPageNum(), 2);
    auto saved = Reread();
    ASSERT_EQ(saved->Pages().size(), 2u);
    EXPECT_EQ(saved->Pages()[1].packages.size(), 1u);
    EXPECT_EQ(common::Utf16ToUtf8(saved->Pages()[1].packages[0].record.caption.Get()), "새 프로그램");
}

TEST_F(PageGridTest, PackageFillsAnEarlierGapFromTheCurrentPageOn) {
    Put(EnvXml({PageXml(Packages(16, "a")), PageXml(Packages(3, "b")), PageXml(Packages(16, "c"))}));
    NewPackage package;
    package.caption = u"x";
    package.path = u"x.exe";
    auto place = m_grid.AddPackage(package);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->page, 1u);
    EXPECT_EQ(place->item, 3u);
    EXPECT_EQ(m_grid.PageCount(), 3u);
}

TEST_F(PageGridTest, SixteenFullPagesDropTheNewPackageAndLeaveTheFile) {
    std::vector<std::string> pages(16, PageXml(Packages(16, "p")));
    Put(EnvXml(pages));
    auto before = m_store.files[kPath];
    NewPackage package;
    package.caption = u"x";
    package.path = u"x.exe";
    EXPECT_FALSE(m_grid.AddPackage(package).has_value());
    EXPECT_EQ(m_store.files[kPath], before);
}

TEST_F(PageGridTest, UnderivableCaptionAddsNothingAndLeavesNoEmptyPage) {
    Put(EnvXml({PageXml(Packages(16, "a"))}));
    auto before = m_store.files[kPath];
    NewPackage package;
    package.path = u"";
    EXPECT_FALSE(m_grid.AddPackage(package).has_value());
    EXPECT_EQ(m_store.files[kPath], before);
    EXPECT_EQ(m_grid.PageCount(), 1u);
}

TEST_F(PageGridTest, RemovingTheLastItemOfTheMiddlePageRemovesThePageAndShowsTheOneBefore) {
    Put(EnvXml({PageXml(Packages(2, "a")), PageXml({PackageXml("only", 7)}), PageXml(Packages(1, "c"))}));
    m_grid.SetCurrentPage(1);
    std::optional<uint32_t> emptied;
    EXPECT_TRUE(m_grid.RemoveItem(1, 0, &emptied));
    ASSERT_TRUE(emptied) << "an emptied page that is not the only one is reported";
    EXPECT_TRUE(m_grid.RemoveEmptyPage(*emptied));
    EXPECT_EQ(m_grid.PageCount(), 2u);
    EXPECT_EQ(m_grid.CurrentPage(), 0u);
    EXPECT_EQ(SavedPageNum(), 2);
    EXPECT_EQ(Reread()->Pages().size(), 2u);
}

TEST_F(PageGridTest, TheOnlyPageStaysWhenItEmpties) {
    Put(EnvXml({PageXml({PackageXml("only", 7)})}));
    std::optional<uint32_t> emptied = 1;
    EXPECT_TRUE(m_grid.RemoveItem(0, 0, &emptied));
    EXPECT_FALSE(emptied);
    EXPECT_FALSE(m_grid.RemoveEmptyPage(m_grid.Pages()[0].serial));
    EXPECT_EQ(m_grid.PageCount(), 1u);
}

// Catches: the first empty page removed instead of the one the removal emptied (the settings program's removal
// leaves empty pages behind), and the current page moved when a page after it goes.
TEST_F(PageGridTest, TheEmptiedPageGoesNotAnEarlierEmptyOne) {
    Put(EnvXml({PageXml({}), PageXml(Packages(1, "b")), PageXml({PackageXml("only", 7)}), PageXml(Packages(1, "d"))}));
    m_grid.SetCurrentPage(2);
    std::optional<uint32_t> emptied;
    ASSERT_TRUE(m_grid.OnRemove(7, u"ONLY", &emptied));
    ASSERT_TRUE(emptied);
    EXPECT_TRUE(m_grid.RemoveEmptyPage(*emptied));
    ASSERT_EQ(m_grid.PageCount(), 3u);
    EXPECT_TRUE(m_grid.Pages()[0].items.empty()) << "the earlier empty page stays";
    EXPECT_EQ(Caption(m_grid.Pages()[1].items[0]), "b0");
    EXPECT_EQ(Caption(m_grid.Pages()[2].items[0]), "d0");
    EXPECT_EQ(m_grid.CurrentPage(), 1u) << "the page before the removed current one";
    auto reread = Reread();
    ASSERT_EQ(reread->Pages().size(), 3u);
    EXPECT_TRUE(reread->Pages()[0].packages.empty());
    EXPECT_EQ(SavedPageNum(), 3);

    // A page emptied while another is shown: the shown page stays in view.
    m_grid.SetCurrentPage(2);
    ASSERT_TRUE(m_grid.RemoveItem(1, 0, &emptied));
    ASSERT_TRUE(emptied);
    EXPECT_TRUE(m_grid.RemoveEmptyPage(*emptied));
    EXPECT_EQ(m_grid.CurrentPage(), 1u);
    EXPECT_EQ(Caption(m_grid.Pages()[1].items[0]), "d0");
}

// Catches: a stale removal (the page was filled again, or the grid was reloaded) taking a page away.
TEST_F(PageGridTest, AStaleRemovalRemovesNothing) {
    Put(EnvXml({PageXml(Packages(1, "a")), PageXml({PackageXml("only", 7)})}));
    std::optional<uint32_t> emptied;
    ASSERT_TRUE(m_grid.RemoveItem(1, 0, &emptied));
    ASSERT_TRUE(emptied);
    m_grid.SetCurrentPage(1);
    NewPackage package;
    package.caption = u"again";
    package.path = u"again.exe";
    ASSERT_TRUE(m_grid.AddPackage(package));
    EXPECT_FALSE(m_grid.RemoveEmptyPage(*emptied)) << "the page holds an item again";
    ASSERT_TRUE(m_grid.RemoveItem(1, 0, &emptied));
    ASSERT_TRUE(emptied);
    m_grid.Reload();
    EXPECT_FALSE(m_grid.RemoveEmptyPage(*emptied)) << "a reload gave the pages new serials";
    EXPECT_FALSE(m_grid.RemoveEmptyPage(0));
    EXPECT_EQ(m_grid.PageCount(), 2u);
}

TEST_F(PageGridTest, IndexesFromOutsideAreChecked) {
    Put(EnvXml({PageXml(Packages(2, "a"))}));
    EXPECT_FALSE(m_grid.RemoveItem(0, 2));
    EXPECT_FALSE(m_grid.RemoveItem(5, 0));
    m_grid.SetCurrentPage(99);
    EXPECT_EQ(m_grid.CurrentPage(), 0u);
    EXPECT_EQ(m_grid.Pages()[0].items.size(), 2u);
}

TEST_F(PageGridTest, AnnouncedPackageWithoutItsProgramGetsUnknownTypeAndTheInstallingIcon) {
    Put(EnvXml({}));
    ASSERT_TRUE(m_grid.OnInstallStarted(42, u"메모장", u"K:\\Portable Programs\\메모장\\notepad.exe", true));
    ASSERT_EQ(m_grid.PageCount(), 1u);
    const auto& item = m_grid.Pages()[0].items[0];
    EXPECT_EQ(item.record.type, -1);
    EXPECT_EQ(item.record.updateFlag, common::kStateInstalling);
    EXPECT_EQ(item.bitmap, ItemBitmap::Installing);
    EXPECT_TRUE(item.isEnabled) << "an installing item counts as present";
    auto file = Reread();
    const auto& saved = file->Pages()[0].packages[0].record;
    EXPECT_EQ(saved.type, -1);
    EXPECT_EQ(saved.updateFlag, 2);
    EXPECT_EQ(saved.pkgType, 1);
    EXPECT_EQ(saved.pkgId, 42);
}

TEST_F(PageGridTest, UpdateAnnouncementMarksTheExistingItemElseAdds) {
    Put(EnvXml({PageXml({PackageXml("a", 1), PackageXml("b", 2)})}));
    ASSERT_TRUE(m_grid.OnInstallStarted(2, u"b", u"b.exe", false));
    EXPECT_EQ(m_grid.Pages()[0].items.size(), 2u);
    EXPECT_EQ(Reread()->Pages()[0].packages[1].record.updateFlag, 2);
    ASSERT_TRUE(m_grid.OnInstallStarted(2, u"b", u"b.exe", true)) << "a new installation always adds";
    EXPECT_EQ(m_grid.Pages()[0].items.size(), 3u);
}

TEST_F(PageGridTest, ProgressTouchesOnlyTheCurrentPageAndFinishClearsEverywhere) {
    Put(EnvXml({PageXml({PackageXml("a", 1)}), PageXml({PackageXml("b", 9, "", 2)})}));
    EXPECT_FALSE(m_grid.OnProgress(9, 40)) << "page 2 is not shown";
    EXPECT_EQ(m_grid.Pages()[1].items[0].progress, 0);
    EXPECT_TRUE(m_grid.OnFinished(9));
    EXPECT_EQ(m_grid.Pages()[1].items[0].record.updateFlag, 0);
    EXPECT_TRUE(m_grid.Pages()[1].items[0].needsIcon);
    EXPECT_EQ(Reread()->Pages()[1].packages[0].record.updateFlag, 0);
}

TEST_F(PageGridTest, ProgressAboveHundredIsStoredAsZeroAndRepeatsAreNoChange) {
    Put(EnvXml({PageXml({PackageXml("a", 1, "", 2)})}));
    const struct {
        int64_t sent;
        int32_t stored;
        bool changed;
    } cases[] = {{40, 40, true}, {40, 40, false}, {150, 0, true}, {-5, -5, true}, {100, 100, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(m_grid.OnProgress(1, c.sent), c.changed) << c.sent;
        EXPECT_EQ(m_grid.Pages()[0].items[0].progress, c.stored) << c.sent;
    }
}

TEST_F(PageGridTest, RemoveNoticeNeedsIdAndCaptionIgnoringCase) {
    Put(EnvXml({PageXml({PackageXml("Backup", 0), PackageXml("Documents", 0)})}));
    std::optional<uint32_t> emptied = 1;
    EXPECT_FALSE(m_grid.OnRemove(1, u"backup", &emptied));
    EXPECT_TRUE(m_grid.OnRemove(0, u"DOCUMENTS", &emptied));
    EXPECT_FALSE(emptied);
    ASSERT_EQ(m_grid.Pages()[0].items.size(), 1u);
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[0]), "Backup");
    EXPECT_EQ(Reread()->Pages()[0].packages.size(), 1u);
}

TEST_F(PageGridTest, StoredPathsMoveToTheLaunchersDriveExceptUserCommands) {
    Put(EnvXml({PageXml({PackageXml("a", 1, "E:\\Portable Programs\\a\\a.exe"),
                         PackageXml("cmd", 0, "C:\\Windows\\notepad.exe", 0, 4)})},
               "<B1><TYPE>13</TYPE><PATH>c:\\</PATH></B1><B2><TYPE>10</TYPE><PATH>E:\\x\\TolvSet.exe</PATH></B2>"));
    EXPECT_EQ(m_grid.Pages()[0].items[0].record.path.Get(), u"K:\\Portable Programs\\a\\a.exe");
    EXPECT_EQ(m_grid.Pages()[0].items[0].record.icon.Get(), u"K:\\Portable Programs\\a\\a.exe") << "icon from path";
    EXPECT_EQ(m_grid.Pages()[0].items[1].record.path.Get(), u"C:\\Windows\\notepad.exe");
    ASSERT_TRUE(m_grid.Menu()[0].has_value());
    EXPECT_EQ(m_grid.Menu()[0]->record.path.Get(), kFolder) << "the drive button opens the launcher's drive";
    EXPECT_EQ(m_grid.Menu()[0]->bitmap, ItemBitmap::Drive);
    EXPECT_EQ(m_grid.Menu()[1]->record.path.Get(), u"K:\\x\\TolvSet.exe");
}

TEST_F(PageGridTest, TypeIsDerivedFromWhatThePathNames) {
    Put(EnvXml({}));
    m_probe.kinds[u"K:\\tools"] = IFileProbe::Kind::Folder;
    m_probe.kinds[u"K:\\a.EXE"] = IFileProbe::Kind::File;
    m_probe.kinds[u"K:\\b.lnk"] = IFileProbe::Kind::File;
    m_probe.kinds[u"K:\\c.txt"] = IFileProbe::Kind::File;
    const struct {
        const char16_t* path;
        int32_t type;
        ItemBitmap bitmap;
    } cases[] = {{u"K:\\tools", 1, ItemBitmap::Folder},
                 {u"K:\\a.EXE", 0, ItemBitmap::Document},
                 {u"K:\\b.lnk", 2, ItemBitmap::Document},
                 {u"K:\\c.txt", -1, ItemBitmap::Document},
                 {u"K:\\gone.exe", -1, ItemBitmap::Document}};
    for (const auto& c : cases) {
        NewPackage package;
        package.pkgType = 2;
        package.path = c.path;
        auto place = m_grid.AddPackage(package);
        ASSERT_TRUE(place.has_value());
        const auto& item = m_grid.Pages()[place->page].items[place->item];
        EXPECT_EQ(item.record.type, c.type) << common::Utf16ToUtf8(c.path);
        EXPECT_EQ(item.bitmap, c.bitmap);
    }
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[0]), "tools");
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[1]), "a");
}

TEST_F(PageGridTest, RecheckDisablesMissingProgramsAndRestoresReturningOnesWithoutSaving) {
    m_probe.kinds[u"K:\\a.exe"] = IFileProbe::Kind::File;
    Put(EnvXml({PageXml(
        {PackageXml("a", 1, "K:\\a.exe"), PackageXml("b", 2, "K:\\b.exe", 3), PackageXml("c", 3, "K:\\c.exe", 2)})}));
    auto before = m_store.files[kPath];
    EXPECT_FALSE(m_grid.Pages()[0].items[1].isEnabled);
    m_probe.kinds.erase(u"K:\\a.exe");
    m_probe.kinds[u"K:\\b.exe"] = IFileProbe::Kind::File;
    EXPECT_TRUE(m_grid.Recheck());
    const auto& items = m_grid.Pages()[0].items;
    EXPECT_EQ(items[0].record.updateFlag, 3);
    EXPECT_FALSE(items[0].isEnabled);
    EXPECT_EQ(items[1].record.updateFlag, 0);
    EXPECT_TRUE(items[1].isEnabled);
    EXPECT_EQ(items[2].record.updateFlag, 2) << "an installing item is never marked missing";
    EXPECT_EQ(m_store.files[kPath], before);
}

// Catches: changes on a drive that cannot be written dropped from the launcher (the grid rebuilt from the file),
// the file touched while it cannot be saved, and the unsaved changes lost when saving works again.
TEST_F(PageGridTest, ChangesThatCannotBeSavedStayShownAndAreSavedWithTheNextOne) {
    Put(EnvXml({PageXml(Packages(2, "a"))}));
    const std::vector<uint8_t> before = m_store.files[kPath];
    EXPECT_FALSE(m_grid.HasUnsavedChanges());
    m_store.isWriteFailing = true;
    NewPackage package;
    package.caption = u"x";
    package.path = u"x.exe";
    EXPECT_TRUE(m_grid.AddPackage(package).has_value());
    EXPECT_TRUE(m_grid.OnInstallStarted(40, u"설치", u"K:\\Portable Programs\\설치\\s.exe", true));
    EXPECT_TRUE(m_grid.EditItem(0, 0, u"바뀜", u"K:\\z.exe", u"", u""));
    std::optional<uint32_t> emptied;
    EXPECT_TRUE(m_grid.RemoveItem(0, 1, &emptied));
    ASSERT_EQ(m_grid.Pages()[0].items.size(), 3u);
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[0]), "바뀜");
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[1]), "x");
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[2]), "설치");
    EXPECT_TRUE(m_grid.HasUnsavedChanges());
    EXPECT_EQ(m_store.files[kPath], before) << "the file stays as it was";

    m_store.isWriteFailing = false;
    EXPECT_TRUE(m_grid.OnFinished(40));
    EXPECT_FALSE(m_grid.HasUnsavedChanges());
    auto saved = Reread();
    ASSERT_EQ(saved->Pages()[0].packages.size(), 3u) << "the earlier changes were saved with the next";
    EXPECT_EQ(common::Utf16ToUtf8(saved->Pages()[0].packages[0].record.caption.Get()), "바뀜");
    EXPECT_EQ(common::Utf16ToUtf8(saved->Pages()[0].packages[2].record.caption.Get()), "설치");
}

// Catches: a reload (another program changed the file) keeping changes the file never got, so that the launcher
// would show what neither the agent nor the settings program can see.
TEST_F(PageGridTest, AReloadTakesTheFileAndDropsWhatWasNotSaved) {
    Put(EnvXml({PageXml(Packages(2, "a"))}));
    m_store.isWriteFailing = true;
    NewPackage package;
    package.caption = u"x";
    package.path = u"x.exe";
    ASSERT_TRUE(m_grid.AddPackage(package).has_value());
    m_grid.Reload();
    EXPECT_FALSE(m_grid.HasUnsavedChanges());
    EXPECT_EQ(m_grid.Pages()[0].items.size(), 2u);
}

// Catches: items added while TolvEnv.xml is missing dropped, and the file created (or a foreign file replaced)
// by the launcher.
TEST_F(PageGridTest, WithoutAFileChangesAreHeldInMemoryAndNothingIsWritten) {
    for (const char* content : {static_cast<const char*>(nullptr), "<Other><a>1</a></Other>"}) {
        kelvo_test::MemoryFileStore store;
        if (content != nullptr) {
            store.files[kPath] = std::vector<uint8_t>(content, content + std::strlen(content));
        }
        CEnvironmentFile file(store, kPath);
        CPageGrid grid(file, m_probe, kFolder);
        EXPECT_FALSE(grid.Load());
        EXPECT_EQ(grid.PageCount(), 0u);
        NewPackage package;
        package.caption = u"x";
        package.path = u"x.exe";
        auto place = grid.AddPackage(package);
        ASSERT_TRUE(place.has_value());
        EXPECT_EQ(grid.PageCount(), 1u);
        EXPECT_EQ(Caption(grid.Pages()[0].items[0]), "x");
        EXPECT_TRUE(grid.HasUnsavedChanges());
        std::optional<uint32_t> emptied;
        EXPECT_TRUE(grid.RemoveItem(0, 0, &emptied));
        EXPECT_FALSE(emptied) << "the only page stays";
        EXPECT_EQ(store.writeCount, 0) << (content ? "the foreign file" : "no file") << " is never written";
        EXPECT_TRUE(grid.Menu()[0] == std::nullopt);
    }
}

TEST_F(PageGridTest, ReloadKeepsTheCurrentPageOrTakesTheLastOne) {
    Put(EnvXml({PageXml(Packages(1, "a")), PageXml(Packages(1, "b")), PageXml(Packages(1, "c"))}));
    m_grid.SetCurrentPage(2);
    m_grid.Reload();
    EXPECT_EQ(m_grid.CurrentPage(), 2u);
    std::string shorter = EnvXml({PageXml(Packages(1, "a"))});
    m_store.files[kPath] = std::vector<uint8_t>(shorter.begin(), shorter.end());
    m_grid.Reload();
    EXPECT_EQ(m_grid.CurrentPage(), 0u);
}

TEST_F(PageGridTest, SerialsStayUniqueAcrossAddsAndReloads) {
    Put(EnvXml({PageXml(Packages(3, "a"))}));
    std::set<uint32_t> seen;
    for (const auto& item : m_grid.Pages()[0].items) {
        EXPECT_TRUE(seen.insert(item.serial).second);
    }
    m_grid.Reload();
    for (const auto& item : m_grid.Pages()[0].items) {
        EXPECT_TRUE(seen.insert(item.serial).second) << "a reload builds new items";
    }
}

}  // namespace

namespace {

// Catches: an edit not reaching the file, or reaching another item; an out-of-range place touching anything;
// and a failed save leaving the edit in memory only.
TEST_F(PageGridTest, EditReplacesTheFourFieldsOfThatItemAndSavesThem) {
    Put(EnvXml({PageXml({PackageXml("a", 0, "K:\\a.exe", 0, 4), PackageXml("b", 0, "K:\\b.exe", 0, 4)})}));
    ASSERT_TRUE(m_grid.EditItem(0, 1, u"새 이름", u"K:\\c.exe", u"/x", u"K:\\c.ico"));
    auto file = Reread();
    const auto& stored = file->Pages()[0].packages;
    EXPECT_EQ(stored[1].record.caption.Get(), u"새 이름");
    EXPECT_EQ(stored[1].record.path.Get(), u"K:\\c.exe");
    EXPECT_EQ(stored[1].record.param.Get(), u"/x");
    EXPECT_EQ(stored[1].record.icon.Get(), u"K:\\c.ico");
    EXPECT_EQ(stored[0].record.caption.Get(), u"a");
    EXPECT_FALSE(m_grid.EditItem(0, 2, u"x", u"x", u"", u""));
    EXPECT_FALSE(m_grid.EditItem(1, 0, u"x", u"x", u"", u""));

    m_store.isWriteFailing = true;
    EXPECT_TRUE(m_grid.EditItem(0, 0, u"바뀜", u"K:\\z.exe", u"", u""));
    EXPECT_EQ(Caption(m_grid.Pages()[0].items[0]), "바뀜") << "an edit that cannot be saved still shows";
    EXPECT_TRUE(m_grid.HasUnsavedChanges());
}

// Catches: the update command saving the in-progress state (the file would claim an update that never runs) or
// marking an item that has no update.
TEST_F(PageGridTest, UpdateCommandShowsTheItemAsUpdatingWithoutSaving) {
    Put(EnvXml({PageXml({PackageXml("a", 7, "K:\\a.exe", 1), PackageXml("b", 8, "K:\\b.exe", 0)})}));
    int writes = m_store.writeCount;
    EXPECT_FALSE(m_grid.MarkUpdating(0, 1));
    EXPECT_FALSE(m_grid.MarkUpdating(0, 5));
    ASSERT_TRUE(m_grid.MarkUpdating(0, 0));
    EXPECT_EQ(m_grid.Pages()[0].items[0].record.updateFlag, common::kStateInstalling);
    EXPECT_EQ(m_grid.Pages()[0].items[0].progress, 0);
    EXPECT_EQ(m_store.writeCount, writes);
    EXPECT_EQ(Reread()->Pages()[0].packages[0].record.updateFlag, common::kStateUpdateAvailable);
}

}  // namespace
