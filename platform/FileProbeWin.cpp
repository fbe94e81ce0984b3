// File and folder existence through FindFirstFileW.
#include "platform/FileProbeWin.h"

#include <windows.h>

#include "platform/UniqueHandle.h"
#include "platform/WideText.h"

namespace platform {

common::IFileProbe::Kind FileProbeWin::Probe(const std::u16string& path) {
    if (path.empty() || path.find_first_of(u"*?") != std::u16string::npos) {
        return Kind::Missing;
    }
    std::wstring wide = ToWide(path);
    // A trailing backslash (a drive root or "C:\dir\") never matches FindFirstFileW; ask the attributes instead.
    if (wide.back() == L'\\') {
        DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return Kind::Missing;
        }
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
    }
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW(wide.c_str(), &data));
    if (!find) {
        return Kind::Missing;
    }
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

}  // namespace platform
