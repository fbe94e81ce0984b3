// Fuzz target: arbitrary TolvSet.xml bytes through every program's reading rule, then the settings program's
// save and a reload, which must give back the record it saved.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/settings/LauncherSettings.h"
#include "common/settings/SettingsFile.h"
#include "tests/common/io/MemoryFileStore.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

const std::u16string kPath = u"E:\\Kelvo\\TolvSet.xml";

common::SettingsRecord Reload(const kelvo_test::MemoryFileStore& store, bool* isLoaded) {
    kelvo_test::MemoryFileStore copy;
    copy.files = store.files;
    common::CSettingsFile file(copy, kPath);
    common::SettingsRecord record;
    *isLoaded = file.Load(record);
    return record;
}

common::SettingsRecord Edited(common::SettingsRecord record) {
    record.language.Set(u"한글 & <영어>");
    record.backImage.Set(u"E:\\배경\\그림.bmp");
    record.transparent = -7;
    record.updateCheck = 1;
    record.launcherOpen = {};
    record.launcherOpen.key = 'K';
    record.launcherOpen.ctrl = 1;
    record.launcherHide = {};
    record.backup = {};
    record.backup.win = 12;
    record.search = {};
    record.search.key = 0xE9;
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> original(data, data + size);
    common::CXmlDocument document;
    document.ParseBytes(original);

    // The readers share one walk, so they must agree with each other on the same document.
    std::optional<common::SettingsRecord> general = common::ReadGeneralSettings(document);
    Check(common::ReadUpdateCheck(document) == (general ? general->updateCheck : 0));
    std::optional<std::u16string> backImage = common::ReadLauncherBackImage(document);
    Check(backImage.has_value() == (general && !general->backImage.IsEmpty()));

    common::SettingsRecord agentZeroed;
    std::u16string recentUrl;
    bool isAccepted = common::ReadAgentSettings(document, agentZeroed, &recentUrl);
    Check(!isAccepted || general.has_value());
    Check(isAccepted || recentUrl.empty());

    kelvo_test::MemoryFileStore store;
    store.files[kPath] = original;
    common::CSettingsFile file(store, kPath);
    common::SettingsRecord loaded;
    bool isLoaded = file.Load(loaded);
    Check(isLoaded == general.has_value());
    if (!isLoaded) {
        Check(loaded == common::SettingsRecord());
        Check(!file.Save(Edited(loaded)));
        Check(store.writeCount == 0);
        return 0;
    }
    // From a zeroed start the agent's rule reads exactly what the settings program's does.
    Check(loaded == agentZeroed);
    common::SettingsRecord generalOnly = loaded;
    generalOnly.launcherOpen = generalOnly.launcherHide = generalOnly.backup = generalOnly.search = {};
    Check(generalOnly == *general);

    // A failed save changes nothing, in the file or in what the next save writes.
    store.isWriteFailing = true;
    Check(!file.Save(Edited(loaded)));
    Check(store.files.size() == 1 && store.files[kPath] == original);
    store.isWriteFailing = false;

    Check(file.Save(loaded));
    bool isReloaded = false;
    // The writer drops characters XML forbids, so a text that held one reads back without it.
    const bool isComparable =
        !kelvo_fuzz::HoldsUnitsTheWriterDrops(common::CXmlDocument::DecodeBytes(original.data(), original.size()));
    common::SettingsRecord saved = Reload(store, &isReloaded);
    Check(isReloaded && (saved == loaded || !isComparable));
    if (!file.IsComplete()) {
        Check(store.files[kPath + common::CSettingsFile::kBackupSuffix] == original);
    }

    common::SettingsRecord edited = Edited(loaded);
    Check(file.Save(edited));
    common::SettingsRecord reloaded = Reload(store, &isReloaded);
    Check(isReloaded);
    if (file.CanStoreHotKeys()) {
        Check(reloaded.launcherOpen == edited.launcherOpen);
        Check(reloaded.launcherHide == edited.launcherHide);
        Check(reloaded.backup == edited.backup);
        Check(reloaded.search == edited.search);
    }
    // Whatever fields the file lacks, a second save of what was read back changes no byte.
    std::vector<uint8_t> written = store.files[kPath];
    common::CSettingsFile again(store, kPath);
    common::SettingsRecord reread;
    Check(again.Load(reread) && reread == reloaded);
    Check(again.Save(reread));
    Check(store.files[kPath] == written);
    return 0;
}
