// The default settings and environment files as the build generates them from their templates: the very bytes
// the agent embeds and writes.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kelvo_test {

// "DefaultSettings.xml" or "DefaultEnvironment.xml"; empty when the build did not generate it.
inline std::vector<uint8_t> DefaultFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_DEFAULTS_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<uint8_t> DefaultSettings() {
    return DefaultFile("DefaultSettings.xml");
}
inline std::vector<uint8_t> DefaultEnvironment() {
    return DefaultFile("DefaultEnvironment.xml");
}

}  // namespace kelvo_test
