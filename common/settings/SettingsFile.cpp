// TolvSet.xml: the shared walk, the three programs' reading rules, the settings program's save and the default.
#include "common/settings/SettingsFile.h"

#include <string_view>

#include "common/text/TextUtil.h"

namespace common {

namespace {

struct IntField {
    const char16_t* name;
    int32_t SettingsRecord::*field;
};

const IntField kIntFields[] = {
    {u"Transparent", &SettingsRecord::transparent},   {u"AlwaysOnTop", &SettingsRecord::alwaysOnTop},
    {u"AutoRun", &SettingsRecord::autoRun},           {u"UpdateCheck", &SettingsRecord::updateCheck},
    {u"AutoLogin", &SettingsRecord::autoLogin},       {u"TrayIconMode", &SettingsRecord::trayIconMode},
    {u"AddBackupBtn", &SettingsRecord::addBackupBtn}, {u"AddDocumentBtn", &SettingsRecord::addDocumentBtn},
};

struct HotKeySlot {
    const char16_t* name;
    HotKeyEntry SettingsRecord::*entry;
};

const HotKeySlot kHotKeySlots[] = {
    {u"LauncherOpen", &SettingsRecord::launcherOpen},
    {u"LauncherHide", &SettingsRecord::launcherHide},
    {u"Backup", &SettingsRecord::backup},
    {u"Search", &SettingsRecord::search},
};

struct ModifierField {
    const char16_t* name;
    int32_t HotKeyEntry::*field;
};

// In the file's order, which is also the order in which missing children are created.
const ModifierField kModifiers[] = {
    {u"ALT", &HotKeyEntry::alt},
    {u"SHIFT", &HotKeyEntry::shift},
    {u"CTRL", &HotKeyEntry::ctrl},
    {u"WIN", &HotKeyEntry::win},
};
constexpr char16_t kHotChar[] = u"HOTCHAR";

// Where the parts of a settings document are. Every element here was checked by name and, where a rule needs
// it, for children; a part that is not where it belongs is nullptr.
struct SettingsShape {
    CXmlElement* root = nullptr;     // "TolvSet" with children
    CXmlElement* general = nullptr;  // its first child, "General" with children
    CXmlElement* etc = nullptr;      // "ETC" with children, the root's second child, when "AccKey" is its first
    CXmlElement* accKey = nullptr;   // first child of that "ETC"
    CXmlElement* others = nullptr;   // "Others" with children, the root's third child
};

bool IsNamed(const CXmlElement* element, std::u16string_view name) {
    return element != nullptr && EqualsIgnoreCase(element->Name(), name);
}

bool IsNamedWithChildren(const CXmlElement* element, std::u16string_view name) {
    return IsNamed(element, name) && element->HasChildren();
}

SettingsShape FindShape(const CXmlDocument& document) {
    SettingsShape shape;
    CXmlElement* root = document.Root().element;
    if (!IsNamedWithChildren(root, u"TolvSet")) {
        return shape;
    }
    shape.root = root;
    CXmlElement* first = root->FirstChild();
    // Without "General" in front nothing after it counts: the parts are only known by position.
    if (!IsNamedWithChildren(first, u"General")) {
        return shape;
    }
    shape.general = first;
    CXmlElement* second = root->NextChild(first);
    if (IsNamedWithChildren(second, u"ETC") && IsNamed(second->FirstChild(), u"AccKey")) {
        shape.etc = second;
        shape.accKey = second->FirstChild();
    }
    CXmlElement* third = second != nullptr ? root->NextChild(second) : nullptr;
    if (IsNamedWithChildren(third, u"Others")) {
        shape.others = third;
    }
    return shape;
}

CXmlElement* FindField(const CXmlElement& parent, std::u16string_view name) {
    for (CXmlElement* child = parent.FirstChild(); child; child = parent.NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), name)) {
            return child;
        }
    }
    return nullptr;
}

// The record holds a text as a save would write it and the next load read it back: cut at a NUL (nothing behind
// it survives in the field, and equal texts then give equal records byte for byte) and to the field, and empty
// when what is left is only units of 32 or below, which the reader skips as white space.
template <size_t N>
void ReadText(const CXmlElement& parent, std::u16string_view name, FixedText<N>& field) {
    const CXmlElement* element = FindField(parent, name);
    if (element == nullptr) {
        return;
    }
    std::u16string text = element->Text().substr(0, element->Text().find(u'\0'));
    if (text.size() >= N) {
        text.resize(N - 1);
    }
    bool isBlank = true;
    for (char16_t unit : text) {
        isBlank = isBlank && unit <= 32;
    }
    field.Set(isBlank ? std::u16string() : text);
}

void ReadInt(const CXmlElement& parent, std::u16string_view name, int32_t& field) {
    if (const CXmlElement* element = FindField(parent, name)) {
        field = element->IntText();
    }
}

// A unit of 32 or below cannot be a key the file holds: written alone it is white space to the reader.
uint8_t KeyFromText(const std::u16string& text) {
    if (text.empty() || text[0] <= 32 || text[0] > 0xFF) {
        return 0;
    }
    return static_cast<uint8_t>(text[0]);
}

std::u16string TextFromKey(uint8_t key) {
    return key == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(key));
}

void ReadGeneral(const CXmlElement& general, SettingsRecord& record) {
    ReadText(general, u"Language", record.language);
    ReadText(general, u"Skin", record.skin);
    ReadText(general, u"BackImage", record.backImage);
    for (const IntField& field : kIntFields) {
        ReadInt(general, field.name, record.*field.field);
    }
}

void ReadHotKeys(const CXmlElement& accKey, SettingsRecord& record) {
    for (const HotKeySlot& slot : kHotKeySlots) {
        const CXmlElement* entry = FindField(accKey, slot.name);
        if (entry == nullptr || !entry->HasChildren()) {
            continue;
        }
        HotKeyEntry& hotKey = record.*slot.entry;
        for (const ModifierField& modifier : kModifiers) {
            ReadInt(*entry, modifier.name, hotKey.*modifier.field);
        }
        if (const CXmlElement* hotChar = FindField(*entry, kHotChar)) {
            hotKey.key = KeyFromText(hotChar->Text());
        }
    }
}

void SetFieldText(CXmlElement& parent, std::u16string_view name, std::u16string text) {
    if (CXmlElement* element = FindField(parent, name)) {
        element->SetText(std::move(text));
    }
}

void WriteGeneral(CXmlElement& general, const SettingsRecord& record) {
    SetFieldText(general, u"Language", record.language.Get());
    SetFieldText(general, u"Skin", record.skin.Get());
    SetFieldText(general, u"BackImage", record.backImage.Get());
    for (const IntField& field : kIntFields) {
        SetFieldText(general, field.name, FormatInt(record.*field.field));
    }
}

bool HoldsHotKey(const HotKeyEntry& hotKey) {
    return hotKey.key != 0 || hotKey.alt != 0 || hotKey.ctrl != 0 || hotKey.shift != 0 || hotKey.win != 0;
}

void EnsureField(CXmlDocument& document, XmlPosition parent, std::u16string_view name) {
    if (!document.FindChild(parent, name)) {
        document.AppendChild(parent, std::u16string(name));
    }
}

void WriteHotKeys(CXmlDocument& document, XmlPosition accKey, const SettingsRecord& record) {
    for (const HotKeySlot& slot : kHotKeySlots) {
        const HotKeyEntry& hotKey = record.*slot.entry;
        bool isHeld = HoldsHotKey(hotKey);
        XmlPosition entry = document.FindChild(accKey, slot.name);
        if (!entry && !isHeld) {
            continue;
        }
        if (!entry) {
            entry = document.AppendChild(accKey, slot.name);
        }
        if (isHeld) {
            for (const ModifierField& modifier : kModifiers) {
                EnsureField(document, entry, modifier.name);
            }
            EnsureField(document, entry, kHotChar);
        }
        for (const ModifierField& modifier : kModifiers) {
            SetFieldText(*entry.element, modifier.name, FormatInt(hotKey.*modifier.field));
        }
        SetFieldText(*entry.element, kHotChar, TextFromKey(hotKey.key));
    }
}

}  // namespace

CSettingsFile::CSettingsFile(IFileStore& store, std::u16string path) : m_file(store, std::move(path)) {}

bool CSettingsFile::Load(SettingsRecord& record) {
    record = SettingsRecord();
    bool isRead = m_file.Load();
    FindPositions();
    if (!isRead) {
        return false;
    }
    if (!m_general) {
        return false;
    }
    ReadGeneral(*m_general.element, record);
    if (m_accKey) {
        ReadHotKeys(*m_accKey.element, record);
    }
    return true;
}

void CSettingsFile::FindPositions() {
    SettingsShape shape = FindShape(m_document);
    m_general = shape.general != nullptr ? XmlPosition{shape.general, shape.root} : XmlPosition{};
    m_accKey = shape.accKey != nullptr ? XmlPosition{shape.accKey, shape.etc} : XmlPosition{};
}

bool CSettingsFile::Save(const SettingsRecord& record) {
    if (!m_general) {
        return false;
    }
    WriteGeneral(*m_general.element, record);
    if (m_accKey) {
        WriteHotKeys(m_document, m_accKey, record);
    }
    if (m_file.Save()) {
        return true;
    }
    // The children a failed save created must not linger in a document that no longer matches the file.
    m_file.Revert();
    FindPositions();
    return false;
}

bool ReadAgentSettings(const CXmlDocument& document, SettingsRecord& snapshot, std::u16string* recentUrl) {
    if (recentUrl != nullptr) {
        recentUrl->clear();
    }
    SettingsShape shape = FindShape(document);
    if (shape.general == nullptr) {
        return false;
    }
    ReadGeneral(*shape.general, snapshot);
    if (shape.accKey != nullptr) {
        ReadHotKeys(*shape.accKey, snapshot);
    }
    if (shape.others == nullptr) {
        return false;
    }
    if (recentUrl != nullptr) {
        if (const CXmlElement* url = FindField(*shape.others, u"RecentURL")) {
            *recentUrl = url->Text();
        }
    }
    return true;
}

std::optional<SettingsRecord> ReadGeneralSettings(const CXmlDocument& document) {
    SettingsShape shape = FindShape(document);
    if (shape.general == nullptr) {
        return std::nullopt;
    }
    SettingsRecord record;
    ReadGeneral(*shape.general, record);
    return record;
}

int32_t ReadUpdateCheck(const CXmlDocument& document) {
    std::optional<SettingsRecord> record = ReadGeneralSettings(document);
    return record ? record->updateCheck : 0;
}

}  // namespace common
