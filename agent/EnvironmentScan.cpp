// Positional walk of TolvEnv.xml through the DOM wrapper.
#include "agent/EnvironmentScan.h"

#include "common/store/Profile.h"
#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"
#include "platform/WideText.h"
#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"

namespace {

constexpr int kFirstPagePosition = 2;     // after PageNum and CurrentPage
constexpr int kFirstPackagePosition = 1;  // after PackageCount

int32_t NumberOf(const CXmlItem& item) {
    return common::ParseLeadingInt(platform::FromWide(item.GetValue()));
}

int32_t NumberOf(const CXmlItem& parent, const wchar_t* name) {
    const CXmlItem* child = parent.FindChild(name);
    return child != nullptr ? NumberOf(*child) : 0;
}

std::u16string TextOf(const CXmlItem& parent, const wchar_t* name) {
    const CXmlItem* child = parent.FindChild(name);
    return child != nullptr ? platform::FromWide(child->GetValue()) : std::u16string();
}

// STARTOPEN or STARTCLOSE: false when the rest of the package is skipped.
bool ReadAutoProgram(const CXmlItem& package, const wchar_t* flagName, char16_t drive,
                     std::vector<std::u16string>& list) {
    const CXmlItem* flag = package.FindChild(flagName);
    if (flag == nullptr) {
        return false;
    }
    if (NumberOf(*flag) == 0) {
        return true;
    }
    const CXmlItem* path = package.FindChild(L"PATH");
    if (path == nullptr || path->GetValue().empty()) {
        return false;
    }
    std::u16string stored = platform::FromWide(path->GetValue());
    list.push_back(drive != u'\0' ? common::ReplaceDriveLetter(stored, drive) : stored);
    return true;
}

void ReadPackage(const CXmlItem& package, char16_t drive, EnvironmentScan& scan) {
    scan.captions.push_back(TextOf(package, L"CAPTION"));
    scan.packages.push_back(ListedPackage{NumberOf(package, L"PKGID"), TextOf(package, L"PATH")});
    if (!ReadAutoProgram(package, L"STARTOPEN", drive, scan.autoStart) ||
        !ReadAutoProgram(package, L"STARTCLOSE", drive, scan.autoClose)) {
        return;
    }
    common::HotKeyBinding binding;
    binding.id = NumberOf(package, L"PKGID");
    binding.key = common::HotKeyFromText(TextOf(package, L"SHORTCUT"));
    binding.modifiers = common::HotKeyModifiers(NumberOf(package, L"ALT"), NumberOf(package, L"CTRL"),
                                                NumberOf(package, L"SHIFT"), NumberOf(package, L"WIN"));
    scan.hotKeys.push_back(binding);
    if (NumberOf(package, L"UPDATEFLAG") == 2) {
        scan.interruptedUpdates.push_back(binding.id);
    }
}

std::optional<EnvironmentScan> Scan(CCEXML& document, const std::wstring& path, char16_t drive) {
    if (!document.Load(path)) {
        return std::nullopt;
    }
    CXmlItem root;
    if (!document.ToItemTree(root)) {
        return std::nullopt;
    }
    const CXmlItem* pageEnv = root.FindChild(L"PAGEENV");
    const CXmlItem* pageNum = pageEnv != nullptr ? pageEnv->FindChild(L"PageNum") : nullptr;
    if (pageNum == nullptr) {
        return std::nullopt;
    }
    EnvironmentScan scan;
    int32_t pages = NumberOf(*pageNum);
    for (int32_t p = 0; p < pages; ++p) {
        const CXmlItem* page = pageEnv->FindChild(std::wstring(), kFirstPagePosition + p);
        if (page == nullptr) {
            break;
        }
        int32_t packages = NumberOf(*page, L"PackageCount");
        for (int32_t k = 0; k < packages; ++k) {
            const CXmlItem* package = page->FindChild(std::wstring(), kFirstPackagePosition + k);
            if (package == nullptr) {
                break;
            }
            ReadPackage(*package, drive, scan);
        }
    }
    return scan;
}

}  // namespace

std::optional<int32_t> ListedPackageInFolder(const std::vector<ListedPackage>& packages, char16_t drive,
                                             std::u16string_view folder) {
    for (const ListedPackage& package : packages) {
        // The stored path may carry the letter the stick had when the package was installed.
        std::optional<std::u16string> installedIn =
            common::InstallFolderOf(common::ReplaceDriveLetter(package.path, drive), drive);
        if (installedIn && common::EqualsIgnoreCase(*installedIn, folder)) {
            return package.pkgId > 0 ? std::optional<int32_t>(package.pkgId) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<EnvironmentScan> ScanEnvironmentFile(const std::wstring& path, char16_t drive,
                                                   platform::IMessageBoxes& boxes, HWND owner) {
    CCEXML document(boxes, owner);
    return Scan(document, path, drive);
}

std::optional<EnvironmentScan> ScanEnvironmentFile(const std::wstring& path, char16_t drive) {
    CCEXML quiet;
    return Scan(quiet, path, drive);
}
