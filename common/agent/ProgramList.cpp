// Auto-start and auto-close lists of the agent.
#include "common/agent/ProgramList.h"

#include <algorithm>

#include "common/text/TextUtil.h"

namespace common {

namespace {
std::u16string Cut(const std::u16string& path) {
    return path.size() > ProgramList::kMaxUnits ? path.substr(0, ProgramList::kMaxUnits) : path;
}

std::u16string ReadField(const uint8_t* bytes) {
    std::u16string text;
    for (size_t i = 0; i < ProgramList::kMaxUnits; ++i) {
        char16_t unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}
}  // namespace

void ProgramList::Append(const std::u16string& path) {
    if (!path.empty()) {
        m_paths.push_back(Cut(path));
    }
}

bool ProgramList::AppendUnique(const std::u16string& path) {
    if (path.empty()) {
        return false;
    }
    std::u16string cut = Cut(path);
    bool isListed = std::any_of(m_paths.begin(), m_paths.end(),
                                [&cut](const std::u16string& listed) { return EqualsIgnoreCase(listed, cut); });
    if (isListed) {
        return false;
    }
    m_paths.push_back(std::move(cut));
    return true;
}

std::optional<AutoProgramsPayload> AutoProgramsPayload::Read(const void* data, size_t size) {
    if (data == nullptr || size < kSize) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    return AutoProgramsPayload{ReadField(bytes), ReadField(bytes + kFieldUnits * sizeof(char16_t))};
}

}  // namespace common
