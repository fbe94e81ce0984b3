// Auto-start and auto-close lists of the agent.
#include "common/agent/ProgramList.h"

#include <algorithm>

#include "common/ipc/RecordBytes.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {
std::u16string Cut(const std::u16string& path) {
    return path.size() > ProgramList::kMaxUnits ? path.substr(0, ProgramList::kMaxUnits) : path;
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
    RecordReader reader(data, size);
    return AutoProgramsPayload{reader.Text(0, ProgramList::kMaxUnits),
                               reader.Text(kFieldUnits * sizeof(char16_t), ProgramList::kMaxUnits)};
}

}  // namespace common
