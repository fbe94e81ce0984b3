// A light XML document bound to its file: read whole, saved whole, never losing what a partial read left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/io/FileStore.h"
#include "common/xml/XmlDocument.h"

namespace common {

// How it works: Load keeps the file's bytes beside the parsed document. Save writes the document through
// IFileStore::WriteReplace; when the last parse was incomplete, the original bytes are first kept as the newest
// of the file's backup copies (once per load, BackupCopies.h), so a tree that lost the file's tail never destroys
// the only copy, nor an older copy of the user's. Revert re-parses the kept bytes after a failed save, so memory
// again matches the file. UI thread only.
class CXmlFile {
public:
    // The newest backup copy's suffix; BackupCopies names the older ones.
    static constexpr char16_t kBackupSuffix[] = u".bak";

    CXmlFile(IFileStore& store, std::u16string path) : m_store(store), m_path(std::move(path)) {}

    // False when the file cannot be read; the document is then empty.
    bool Load();
    // False, with the file left as it was, when the backup or the file cannot be written.
    bool Save();
    void Revert();

    CXmlDocument& Document() { return m_document; }
    const CXmlDocument& Document() const { return m_document; }
    // Whether the last Load parsed the whole file.
    bool IsComplete() const { return m_isComplete; }
    const std::u16string& Path() const { return m_path; }

private:
    IFileStore& m_store;
    std::u16string m_path;
    CXmlDocument m_document;
    std::vector<uint8_t> m_fileBytes;  // what the file holds as far as this instance knows
    bool m_isComplete = false;
    bool m_isBackupKept = false;
};

}  // namespace common
