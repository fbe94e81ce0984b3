// The settings program's decisions that need no Windows API: its command line, the background picture rule,
// the transparency preview, and what a hot key box may hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// TolvSet.exe [-N [-V [-P]]]: each argument read from its second character with a leading-integer parse. V is read
// only when N is not 0, P only when N is 2 or more; absent ones stay 0.
struct SettingsStart {
    int32_t count = 0;
    int32_t view = 0;       // 0 general .. 4 help; anything else shows the general view
    int32_t packageId = 0;  // selected first by the program management view
};
SettingsStart ParseSettingsStart(const std::vector<std::u16string>& arguments);
// The view index the frame opens on: `start.view` when it is 1 to 4, else 0.
int32_t StartView(const SettingsStart& start);

// A chosen background picture is taken when it is on the suite's drive (first character, any case) and its name
// ends in "BMP" in any case.
bool IsAcceptableBackImage(std::u16string_view path, std::u16string_view suiteFolder);

// The launcher's layered alpha for slider position p: ((10 - p when p < 10, else 10) * 255) / 10; p 0 gives 255.
uint8_t PreviewAlpha(int32_t position);

// A hot key box's text: empty (no hot key) or beginning with 0-9, a-z or A-Z. The key byte is the first
// character's low 8 bits, upper-cased for letters (what the box shows); nullopt when the text is not allowed.
std::optional<uint8_t> HotKeyFromBox(std::u16string_view text);

}  // namespace common
