// The autorun.inf the agent writes at the drive root when the auto-run setting is turned on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// The file's exact bytes: six ASCII lines naming Start.exe, CR LF after the first five, none after the last, no
// terminating zero.
std::vector<uint8_t> AutorunInfBytes();

// "%c:\autorun.inf" with the first unit of the module folder as the drive; empty when the folder is empty.
std::u16string AutorunInfPath(std::u16string_view moduleFolder);

}  // namespace common
