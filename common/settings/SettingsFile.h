// The settings file TolvSet.xml: one walk over the document and the reading rule of each program built on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/io/FileStore.h"
#include "common/settings/SettingsRecord.h"
#include "common/xml/XmlDocument.h"
#include "common/xml/XmlFile.h"

namespace common {

// How it works: the root "TolvSet" must have children. Its children are found by position: "General" first
// (it must have children, or nothing at all is read), "ETC" second with "AccKey" as its first child (else there
// are no hot keys), "Others" third. Below those, fields are found by name ignoring case, any order, the first of
// equal names winning. Integers take the leading-integer parse; texts are cut at an embedded NUL and then to
// their field, and what is then only white space (units of 32 or below) reads as empty, as a saved copy would
// read back. A hot key entry without children is no hot key; HOTCHAR gives its first unit as the key; a unit
// above 0xFF, which no virtual-key code can be, or of 32 or below, which a saved file cannot hold, gives no key.
// A document whose parse stopped early is read as far as it goes, like every other reader of the light XML
// document; the rules below only look at which elements exist.
//
// Every reader fills only the fields whose elements it finds. The settings program and the launcher start from
// a zeroed record, so missing fields read as 0 or empty; the agent reads into the snapshot it is given.

// The settings program's model: load, edit the record elsewhere, save into the document kept from the load.
// Not thread-safe; one instance on the settings program's user-interface thread. The caller announces a
// successful save to the agent (WM_USER+1003); this class does no messaging.
class CSettingsFile {
public:
    static constexpr const char16_t* kBackupSuffix = CXmlFile::kBackupSuffix;

    CSettingsFile(IFileStore& store, std::u16string path);

    // Zeroes the record, then reads the file. False when it cannot be read, its root is not "TolvSet" with
    // children, or its first child is not "General" with children; the record then stays zeroed and Save will
    // write nothing.
    bool Load(SettingsRecord& record);

    // Writes the record into the document of the last successful Load and replaces the file with the whole
    // document, anything the record does not cover ("Others", unknown elements) kept in place and order.
    // - "General": each of the eleven fields that exists gets its value; missing ones are not created.
    // - Hot keys, when "ETC"/"AccKey" were found: an entry holding a hot key (a key or any modifier) gets any of
    //   its five children it lacks, appended as ALT, SHIFT, CTRL, WIN, HOTCHAR, so that a key chosen for an
    //   empty entry (the default file has only empty ones) is not lost; an entry missing from "AccKey" is
    //   appended for the same reason. An entry without a hot key only has its existing children set, so an
    //   empty entry stays empty. Modifiers are written as "%d", so "0" and "1" as usual and any other value
    //   the load kept reads back unchanged.
    // - When the load's parse had stopped early, the original bytes are first kept as "<path>.bak" (older
    //   copies move to ".bak2" and ".bak3", BackupCopies.h); if that copy cannot be written nothing else is.
    // False when nothing was loaded or a write failed; the file and the kept document then stay as they were.
    bool Save(const SettingsRecord& record);

    // Whether the last Load succeeded, so that Save writes.
    bool IsLoaded() const { return static_cast<bool>(m_general); }
    // Whether a Save stores hot keys: the last Load found "ETC" second with "AccKey" first in it.
    bool CanStoreHotKeys() const { return static_cast<bool>(m_accKey); }
    // Whether the last Load parsed the whole file.
    bool IsComplete() const { return m_file.IsComplete(); }

private:
    void FindPositions();

    CXmlFile m_file;
    CXmlDocument& m_document = m_file.Document();
    XmlPosition m_general;
    XmlPosition m_accKey;
};

// The agent's rule, for its start-up and for WM_USER+1003. Fills `snapshot` with what it finds, in file order,
// leaving unchanged every field whose element is missing and every hot key whose entry has no children (pass a
// zeroed record for the settings program's values). Accepted when the root is "TolvSet" with children, "General"
// with children is first and "Others" with children is third; a rejected file may still have filled "General"
// and the hot keys before "Others" was looked at. `recentUrl`, when given, receives the text of
// "Others/RecentURL" (emptied first; a missing "RecentURL" leaves it empty and does not reject the file).
bool ReadAgentSettings(const CXmlDocument& document, SettingsRecord& snapshot, std::u16string* recentUrl);

// The launcher's read: the "General" values on a zeroed record (hot keys stay zero); nullopt when the root is
// not "TolvSet" or its first child is not "General" with children.
std::optional<SettingsRecord> ReadGeneralSettings(const CXmlDocument& document);

// The updater's read: "General/UpdateCheck", 0 for an empty or unusable document or a missing field.
int32_t ReadUpdateCheck(const CXmlDocument& document);

}  // namespace common
