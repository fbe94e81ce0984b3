// The settings program's package rows.
#include "common/settings/PackageRows.h"

#include "common/store/PathNames.h"
#include "common/store/Profile.h"
#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {

constexpr int32_t kStorePackage = 1;

const CXmlElement* Child(const CXmlElement& parent, std::u16string_view name) {
    for (const CXmlElement* child = parent.FirstChild(); child != nullptr; child = parent.NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), name)) {
            return child;
        }
    }
    return nullptr;
}

std::u16string TextOf(const CXmlElement& parent, std::u16string_view name) {
    const CXmlElement* child = Child(parent, name);
    return child != nullptr ? child->Text() : std::u16string();
}

int32_t NumberOf(const CXmlElement& parent, std::u16string_view name) {
    const CXmlElement* child = Child(parent, name);
    return child != nullptr ? child->IntText() : 0;
}

std::u16string MoveDrive(const std::u16string& path, char16_t drive) {
    return path.size() >= 2 && path[1] == u':' && drive != 0 ? ReplaceDriveLetter(path, drive) : path;
}

void SetIfPresent(CXmlElement& parent, std::u16string_view name, std::u16string text) {
    for (CXmlElement* child = parent.FirstChild(); child != nullptr; child = parent.NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), name)) {
            child->SetText(std::move(text));
            return;
        }
    }
}

}  // namespace

PackageRows::PackageRows(IFileStore& store, std::u16string path, char16_t drive)
    : m_file(store, std::move(path)), m_drive(drive) {}

bool PackageRows::Load() {
    m_rows.clear();
    if (!m_file.Load()) {
        return false;
    }
    const CXmlElement* root = m_file.Document().Root().element;
    if (root == nullptr || !EqualsIgnoreCase(root->Name(), u"TolvEnv") || root->FirstChild() == nullptr) {
        return false;
    }
    // MAINMENU first, PAGEENV next; inside it PageNum and CurrentPage, then the pages.
    const CXmlElement* pageEnv = root->NextChild(root->FirstChild());
    if (pageEnv == nullptr) {
        return false;
    }
    size_t pageIndex = 0;
    for (const CXmlElement* child = pageEnv->FirstChild(); child != nullptr; child = pageEnv->NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), u"PageNum") || EqualsIgnoreCase(child->Name(), u"CurrentPage")) {
            continue;
        }
        ReadPage(*child, pageIndex++);
    }
    return true;
}

void PackageRows::ReadPage(const CXmlElement& page, size_t pageIndex) {
    const CXmlElement* first = page.FirstChild();
    if (first == nullptr || !EqualsIgnoreCase(first->Name(), u"PackageCount")) {
        return;
    }
    for (const CXmlElement* package = page.NextChild(first); package != nullptr; package = page.NextChild(package)) {
        if (NumberOf(*package, u"PKGTYPE") != kStorePackage) {
            continue;
        }
        PackageRow row;
        row.page = pageIndex;
        row.pkgType = kStorePackage;
        row.pkgId = NumberOf(*package, u"PKGID");
        row.type = NumberOf(*package, u"TYPE");
        row.caption = TextOf(*package, u"CAPTION");
        row.path = MoveDrive(TextOf(*package, u"PATH"), m_drive);
        row.param = TextOf(*package, u"PARAM");
        row.icon = MoveDrive(TextOf(*package, u"ICON"), m_drive);
        row.updateFlag = NumberOf(*package, u"UPDATEFLAG");
        row.isDeleted = NumberOf(*package, u"DELETED") != 0;
        std::u16string shortcut = TextOf(*package, u"SHORTCUT");
        row.key = shortcut.empty() ? 0 : static_cast<uint8_t>(shortcut[0] & 0xFF);
        row.alt = NumberOf(*package, u"ALT") != 0;
        row.shift = NumberOf(*package, u"SHIFT") != 0;
        row.ctrl = NumberOf(*package, u"CTRL") != 0;
        row.win = NumberOf(*package, u"WIN") != 0;
        row.startOpen = NumberOf(*package, u"STARTOPEN") != 0;
        row.startClose = NumberOf(*package, u"STARTCLOSE") != 0;
        row.element = XmlPosition{const_cast<CXmlElement*>(package), const_cast<CXmlElement*>(&page)};
        m_rows.push_back(std::move(row));
    }
}

bool PackageRows::Save() {
    for (const PackageRow& row : m_rows) {
        if (!row.isChanged || row.element.element == nullptr) {
            continue;
        }
        CXmlElement& package = *row.element.element;
        SetIfPresent(package, u"CAPTION", row.caption);
        SetIfPresent(package, u"PARAM", row.param);
        SetIfPresent(package, u"ICON", row.icon);
        SetIfPresent(package, u"STARTOPEN", FormatInt(row.startOpen ? 1 : 0));
        SetIfPresent(package, u"STARTCLOSE", FormatInt(row.startClose ? 1 : 0));
        SetIfPresent(package, u"SHORTCUT", row.key != 0 ? std::u16string(1, static_cast<char16_t>(row.key)) : u"");
        SetIfPresent(package, u"ALT", FormatInt(row.alt ? 1 : 0));
        SetIfPresent(package, u"CTRL", FormatInt(row.ctrl ? 1 : 0));
        SetIfPresent(package, u"SHIFT", FormatInt(row.shift ? 1 : 0));
        SetIfPresent(package, u"WIN", FormatInt(row.win ? 1 : 0));
    }
    return m_file.Save();
}

bool PackageRows::Remove(size_t index) {
    if (index >= m_rows.size() || !m_file.Document().Remove(m_rows[index].element)) {
        return false;
    }
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(index));
    return m_file.Save();
}

}  // namespace common
