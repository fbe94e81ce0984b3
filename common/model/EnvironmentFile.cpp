// TolvEnv.xml: positional reading, the launcher's edits and the default content.
#include "common/model/EnvironmentFile.h"

#include <algorithm>

#include "common/text/TextUtil.h"

namespace common {

namespace {

const CXmlElement* FindField(const CXmlElement& entry, std::u16string_view name) {
    for (const CXmlElement* child = entry.FirstChild(); child; child = entry.NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), name)) {
            return child;
        }
    }
    return nullptr;
}

int32_t IntField(const CXmlElement& entry, std::u16string_view name) {
    const CXmlElement* field = FindField(entry, name);
    return field == nullptr ? 0 : field->IntText();
}

uint8_t FlagField(const CXmlElement& entry, std::u16string_view name) {
    return IntField(entry, name) != 0 ? 1 : 0;
}

std::u16string TextField(const CXmlElement& entry, std::u16string_view name) {
    const CXmlElement* field = FindField(entry, name);
    return field == nullptr ? std::u16string() : field->Text();
}

bool IsNamed(const CXmlElement* element, std::u16string_view name) {
    return element != nullptr && EqualsIgnoreCase(element->Name(), name);
}

void AppendField(CXmlDocument& document, XmlPosition entry, std::u16string name, std::u16string text) {
    document.AppendChild(entry, std::move(name)).element->SetText(std::move(text));
}

// Sets a field of an existing entry, adding it at the end when the entry lacks it.
void SetField(CXmlDocument& document, XmlPosition entry, std::u16string_view name, std::u16string text) {
    XmlPosition field = document.FindChild(entry, name);
    if (!field) {
        field = document.AppendChild(entry, std::u16string(name));
    }
    field.element->SetText(std::move(text));
}

std::u16string ShortcutText(uint8_t shortcut) {
    return shortcut == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(shortcut));
}

size_t PackageElementCount(const CXmlElement& page) {
    size_t count = 0;
    for (const CXmlElement* child = page.NextChild(page.FirstChild()); child; child = page.NextChild(child)) {
        ++count;
    }
    return count;
}

}  // namespace

CEnvironmentFile::CEnvironmentFile(IFileStore& store, std::u16string path) : m_file(store, std::move(path)) {}

PackageRecord CEnvironmentFile::ReadRecord(const CXmlElement& entry) {
    PackageRecord record;
    record.pkgType = IntField(entry, u"PKGTYPE");
    record.pkgId = IntField(entry, u"PKGID");
    record.type = IntField(entry, u"TYPE");
    record.caption.Set(TextField(entry, u"CAPTION"));
    record.path.Set(TextField(entry, u"PATH"));
    record.param.Set(TextField(entry, u"PARAM"));
    record.icon.Set(TextField(entry, u"ICON"));
    record.deleted = FlagField(entry, u"DELETED");
    record.updateFlag = IntField(entry, u"UPDATEFLAG");
    record.startOpen = FlagField(entry, u"STARTOPEN");
    record.startClose = FlagField(entry, u"STARTCLOSE");
    // The key's character code is the virtual-key code; anything beyond one byte cannot be one.
    std::u16string shortcut = TextField(entry, u"SHORTCUT");
    record.shortcut = !shortcut.empty() && shortcut[0] <= 0xFF ? static_cast<uint8_t>(shortcut[0]) : 0;
    record.alt = FlagField(entry, u"ALT");
    record.shift = FlagField(entry, u"SHIFT");
    record.ctrl = FlagField(entry, u"CTRL");
    record.win = FlagField(entry, u"WIN");
    return record;
}

bool CEnvironmentFile::Load() {
    m_hasUnsavedChanges = false;
    m_isMemoryOnly = false;
    if (!m_file.Load() || !IsNamed(m_document.Root().element, u"TolvEnv")) {
        HoldInMemoryOnly();
        return false;
    }
    BuildModel();
    // A partial tree must not replace the file on its own; the correction waits for a deliberate change.
    if (m_file.IsComplete() && m_pageNum && m_pageNum.element->IntText() != static_cast<int32_t>(m_pages.size())) {
        SetPageNum(m_pages.size());
        Commit();
        m_hasUnsavedChanges = false;
    }
    return true;
}

void CEnvironmentFile::HoldInMemoryOnly() {
    // The shape of an environment file with four empty menu slots and no pages; empty slots show no buttons.
    m_document.Parse(
        u"<TolvEnv><MAINMENU><BUTTON01></BUTTON01><BUTTON02></BUTTON02><BUTTON03></BUTTON03><BUTTON04></BUTTON04>"
        u"</MAINMENU><PAGEENV><PageNum>0</PageNum><CurrentPage>0</CurrentPage></PAGEENV></TolvEnv>");
    m_isMemoryOnly = true;
    BuildModel();
}

void CEnvironmentFile::BuildModel() {
    m_menu = {};
    m_pages.clear();
    m_pageEnv = {};
    m_pageNum = {};
    CXmlElement* root = m_document.Root().element;
    if (!IsNamed(root, u"TolvEnv")) {
        return;
    }
    CXmlElement* menu = root->FirstChild();
    if (!IsNamed(menu, u"MAINMENU") || !menu->HasChildren()) {
        return;
    }
    size_t slot = 0;
    for (CXmlElement* entry = menu->FirstChild(); entry && slot < kMenuSlots; entry = menu->NextChild(entry)) {
        if (entry->HasChildren()) {
            m_menu[slot] = ReadRecord(*entry);
        }
        ++slot;
    }
    CXmlElement* pageEnv = root->NextChild(menu);
    if (!IsNamed(pageEnv, u"PAGEENV")) {
        return;
    }
    CXmlElement* pageNum = pageEnv->FirstChild();
    if (!IsNamed(pageNum, u"PageNum")) {
        return;
    }
    m_pageEnv = {pageEnv, root};
    m_pageNum = {pageNum, pageEnv};
    // "CurrentPage" has no children, so the rule that skips a page without "PackageCount" skips it too.
    for (CXmlElement* element = pageEnv->NextChild(pageNum); element && m_pages.size() < kMaxPages;
         element = pageEnv->NextChild(element)) {
        CXmlElement* count = element->FirstChild();
        if (!IsNamed(count, u"PackageCount")) {
            continue;
        }
        EnvPage page;
        page.element = {element, pageEnv};
        page.packageCount = count->IntText();
        ReadPackages(page);
        m_pages.push_back(std::move(page));
    }
}

void CEnvironmentFile::ReadPackages(EnvPage& page) {
    CXmlElement* pageElement = page.element.element;
    // The launcher takes every package element up to 16; "PackageCount" only bounds readers that walk by it.
    for (CXmlElement* element = pageElement->NextChild(pageElement->FirstChild());
         element && page.packages.size() < kMaxPackagesPerPage; element = pageElement->NextChild(element)) {
        page.packages.push_back({ReadRecord(*element), {element, pageElement}});
    }
}

void CEnvironmentFile::SetPageNum(size_t pages) {
    m_pageNum.element->SetIntText(static_cast<int32_t>(pages));
}

void CEnvironmentFile::Commit() {
    BuildModel();
    if (m_isMemoryOnly || !m_file.Save()) {
        m_hasUnsavedChanges = true;
        return;
    }
    m_hasUnsavedChanges = false;
}

std::optional<size_t> CEnvironmentFile::AddPage() {
    if (!m_pageEnv || m_pages.size() >= kMaxPages) {
        return std::nullopt;
    }
    XmlPosition page = m_document.AppendChild(m_pageEnv, u"Page");
    AppendField(m_document, page, u"PackageCount", u"0");
    BuildModel();
    SetPageNum(m_pages.size());
    Commit();
    return m_pages.size() - 1;
}

std::optional<size_t> CEnvironmentFile::AddPackage(size_t page, const PackageRecord& record) {
    if (page >= m_pages.size()) {
        return std::nullopt;
    }
    XmlPosition pagePosition = m_pages[page].element;
    // Elements beyond what PackageCount let us read still come before the new one; count them all, so that the
    // new package is within the count it writes and is read back.
    size_t elements = PackageElementCount(*pagePosition.element);
    if (elements >= kMaxPackagesPerPage) {
        return std::nullopt;
    }
    pagePosition.element->FirstChild()->SetIntText(static_cast<int32_t>(elements + 1));
    XmlPosition entry = m_document.AppendChild(pagePosition, u"Package");
    AppendField(m_document, entry, u"PKGTYPE", FormatInt(record.pkgType));
    AppendField(m_document, entry, u"PKGID", FormatInt(record.pkgId));
    AppendField(m_document, entry, u"TYPE", FormatInt(record.type));
    AppendField(m_document, entry, u"CAPTION", record.caption.Get());
    AppendField(m_document, entry, u"PATH", record.path.Get());
    AppendField(m_document, entry, u"PARAM", record.param.Get());
    AppendField(m_document, entry, u"ICON", record.icon.Get());
    AppendField(m_document, entry, u"DELETED", FormatInt(record.deleted));
    AppendField(m_document, entry, u"UPDATEFLAG", FormatInt(record.updateFlag));
    AppendField(m_document, entry, u"STARTOPEN", FormatInt(record.startOpen));
    AppendField(m_document, entry, u"STARTCLOSE", FormatInt(record.startClose));
    AppendField(m_document, entry, u"SHORTCUT", ShortcutText(record.shortcut));
    AppendField(m_document, entry, u"ALT", FormatInt(record.alt));
    AppendField(m_document, entry, u"SHIFT", FormatInt(record.shift));
    AppendField(m_document, entry, u"CTRL", FormatInt(record.ctrl));
    AppendField(m_document, entry, u"WIN", FormatInt(record.win));
    Commit();
    return elements;
}

bool CEnvironmentFile::UpdatePackage(size_t page, size_t index, const PackageRecord& record) {
    if (page >= m_pages.size() || index >= m_pages[page].packages.size()) {
        return false;
    }
    XmlPosition entry = m_pages[page].packages[index].element;
    SetField(m_document, entry, u"CAPTION", record.caption.Get());
    SetField(m_document, entry, u"PATH", record.path.Get());
    SetField(m_document, entry, u"PARAM", record.param.Get());
    SetField(m_document, entry, u"ICON", record.icon.Get());
    SetField(m_document, entry, u"UPDATEFLAG", FormatInt(record.updateFlag));
    Commit();
    return true;
}

bool CEnvironmentFile::RemovePackage(size_t page, size_t index) {
    if (page >= m_pages.size() || index >= m_pages[page].packages.size()) {
        return false;
    }
    if (!m_document.Remove(m_pages[page].packages[index].element)) {
        return false;
    }
    Commit();
    return true;
}

bool CEnvironmentFile::RemovePage(size_t page) {
    if (page >= m_pages.size()) {
        return false;
    }
    if (!m_document.Remove(m_pages[page].element)) {
        return false;
    }
    BuildModel();
    SetPageNum(m_pages.size());
    Commit();
    return true;
}

}  // namespace common
