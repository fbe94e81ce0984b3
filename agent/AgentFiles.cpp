// File steps of the agent's start-up.
#include "agent/AgentFiles.h"

#include <algorithm>

#include "agent/resource.h"
#include "common/agent/PackageJobs.h"
#include "common/io/BackupCopies.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/EnvironmentFile.h"
#include "common/settings/SettingsFile.h"
#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"
#include "common/xml/XmlFile.h"
#include "platform/FileReplace.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"

void ReplaceStagedUpdater(const std::wstring& moduleFolder) {
    std::wstring staged = moduleFolder + L"\\" + platform::WideCStr(common::kStagedUpdaterProgram);
    std::wstring target = moduleFolder + L"\\" + platform::WideCStr(common::kUpdaterProgram);
    {
        platform::UniqueFileHandle probe(::CreateFileW(staged.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) {
            return;
        }
    }
    // One step: when the move fails, the old updater is still there and the staged one waits for the next start.
    platform::MoveOver(staged, target);
}

common::Credentials ReadCredentials(common::IFileStore& store, const std::u16string& path) {
    std::optional<std::vector<uint8_t>> bytes = store.ReadAll(path);
    if (!bytes) {
        return common::Credentials{};
    }
    return common::ReadCredentialsFile(*bytes);
}

bool ReadSettingsInto(common::IFileStore& store, const std::u16string& path, common::SettingsRecord& snapshot) {
    common::CXmlFile file(store, path);
    if (!file.Load()) {
        return false;
    }
    return common::ReadAgentSettings(file.Document(), snapshot, nullptr);
}

namespace {

std::optional<std::vector<uint8_t>> ReadXmlResource(HMODULE module, UINT resourceId) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"XML");
    if (resource == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const auto* data = loaded != nullptr ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(data, data + ::SizeofResource(module, resource));
}

// The default this program writes in place of a rejected file of this name, if it has one.
std::optional<std::vector<uint8_t>> DefaultFor(const std::u16string& path) {
    const std::u16string_view name = common::FileName(path);
    HMODULE module = ::GetModuleHandleW(nullptr);
    if (common::EqualsIgnoreCase(name, common::kSettingsFile)) {
        return ReadXmlResource(module, IDR_DEFAULT_SETTINGS);
    }
    if (common::EqualsIgnoreCase(name, common::kEnvironmentFile)) {
        return ReadXmlResource(module, IDR_DEFAULT_ENVIRONMENT);
    }
    return std::nullopt;
}

}  // namespace

bool KeepRejectedFile(common::IFileStore& store, const std::u16string& path) {
    std::optional<std::vector<uint8_t>> bytes = store.ReadAll(path);
    if (!bytes) {
        return true;
    }
    std::optional<std::vector<uint8_t>> suiteDefault = DefaultFor(path);
    return common::BackupCopies::Keep(store, path, *bytes, suiteDefault ? &*suiteDefault : nullptr);
}

bool WriteDefaultResource(common::IFileStore& store, HMODULE module, UINT resourceId, const std::u16string& path) {
    std::optional<std::vector<uint8_t>> bytes = ReadXmlResource(module, resourceId);
    return bytes && store.WriteReplace(path, *bytes);
}

void ClearUpdateFlags(common::IFileStore& store, const std::u16string& path, std::vector<int32_t>& packageIds) {
    common::CEnvironmentFile environment(store, path);
    for (int32_t id : packageIds) {
        common::ClearUpdateFlag(environment, id);
    }
    packageIds.clear();
}
