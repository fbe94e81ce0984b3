// Module path lookup.
#include "platform/ModulePath.h"

#include <windows.h>

#include <vector>

#include "platform/WideText.h"

namespace platform {

std::optional<std::u16string> ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < buffer.size()) {
            return FromWide(std::wstring(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::nullopt;
}

}  // namespace platform
