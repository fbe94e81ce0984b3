// The running executable's full path.
#pragma once

#include <optional>
#include <string>

namespace platform {

// nullopt when the path cannot be obtained (or does not fit 32767 units).
std::optional<std::u16string> ModulePath();

}  // namespace platform
