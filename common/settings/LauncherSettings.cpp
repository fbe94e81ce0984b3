// The launcher's reading of the settings file.
#include "common/settings/LauncherSettings.h"

#include "common/text/TextUtil.h"
#include "common/xml/XmlDocument.h"

namespace common {

std::optional<std::u16string> ReadLauncherBackImage(const CXmlDocument& document) {
    XmlPosition root = document.Root();
    if (!root || !EqualsIgnoreCase(root.element->Name(), u"TolvSet")) {
        return std::nullopt;
    }
    CXmlElement* general = root.element->FirstChild();
    if (general == nullptr || !EqualsIgnoreCase(general->Name(), u"General")) {
        return std::nullopt;
    }
    XmlPosition backImage = document.FindChild({general, root.element}, u"BackImage");
    if (!backImage || backImage.element->Text().empty()) {
        return std::nullopt;
    }
    return backImage.element->Text();
}

}  // namespace common
