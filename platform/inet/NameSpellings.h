// The byte forms a remote path can have on a server that stores names as bytes.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The path's bytes in the encodings Korean names are found in on store servers, UTF-8 first, then code page
// 949, leaving out the form WinINet already sent (the system's code page) and forms that cannot spell the path.
// Empty for a path of ASCII only.
std::vector<std::string> OtherNameSpellings(const std::wstring& path);

// The bytes percent-encoded where an HTTP path needs it (bytes above 0x7F, space and '%'), for a request path
// that reaches the server as these bytes whatever the system's code page.
std::wstring PercentEncodedPath(const std::string& bytes);

}  // namespace platform
