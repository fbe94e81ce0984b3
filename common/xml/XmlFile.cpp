// Whole-file load and safe save of a light XML document.
#include "common/xml/XmlFile.h"

#include "common/io/BackupCopies.h"

namespace common {

bool CXmlFile::Load() {
    m_isComplete = false;
    m_isBackupKept = false;
    m_fileBytes.clear();
    std::optional<std::vector<uint8_t>> bytes = m_store.ReadAll(m_path);
    if (!bytes) {
        m_document.Clear();
        return false;
    }
    m_fileBytes = std::move(*bytes);
    m_isComplete = m_document.ParseBytes(m_fileBytes);
    return true;
}

bool CXmlFile::Save() {
    if (!m_isComplete && !m_isBackupKept) {
        if (!BackupCopies::Keep(m_store, m_path, m_fileBytes)) {
            return false;
        }
        m_isBackupKept = true;
    }
    std::vector<uint8_t> bytes = m_document.ToBytes();
    if (!m_store.WriteReplace(m_path, bytes)) {
        return false;
    }
    m_fileBytes = std::move(bytes);
    return true;
}

void CXmlFile::Revert() {
    m_document.ParseBytes(m_fileBytes);
}

}  // namespace common
