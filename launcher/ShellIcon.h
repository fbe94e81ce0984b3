// A file's shell icon as a picture: the extra-large system image list's icon, black as the key colour.
#pragma once

#include <string>

#include "launcher/controls/GPicture.h"

// False when the file has no icons of its own or no image list gives one; `out` is then left empty.
bool LoadShellIcon(const std::wstring& file, GPicture& out);
