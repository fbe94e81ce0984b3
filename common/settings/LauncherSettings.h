// What the launcher takes from the settings file: only the background image acts on the launcher.
#pragma once

#include <optional>
#include <string>

namespace common {

class CXmlDocument;

// The "BackImage" text of a settings document whose root is "TolvSet" and whose first child is "General"
// (names ignoring case). nullopt for another shape or an empty text: no background image.
std::optional<std::u16string> ReadLauncherBackImage(const CXmlDocument& document);

}  // namespace common
