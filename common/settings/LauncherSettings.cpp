// The launcher's reading of the settings file, through the settings model's own rule.
#include "common/settings/LauncherSettings.h"

#include "common/settings/SettingsFile.h"

namespace common {

std::optional<std::u16string> ReadLauncherBackImage(const CXmlDocument& document) {
    std::optional<SettingsRecord> general = ReadGeneralSettings(document);
    if (!general || general->backImage.IsEmpty()) {
        return std::nullopt;
    }
    return general->backImage.Get();
}

}  // namespace common
