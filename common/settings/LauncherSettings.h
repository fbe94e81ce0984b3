// What the launcher takes from the settings file: only the background image acts on the launcher.
#pragma once

#include <optional>
#include <string>

namespace common {

class CXmlDocument;

// The "BackImage" path as ReadGeneralSettings reads it (root "TolvSet", first child "General" with children,
// names ignoring case; cut to 259 units). nullopt for another shape or an empty text: no background image.
std::optional<std::u16string> ReadLauncherBackImage(const CXmlDocument& document);

}  // namespace common
