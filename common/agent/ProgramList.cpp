// Auto-start and auto-close lists of the agent.
#include "common/agent/ProgramList.h"

#include <algorithm>

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

}  // namespace common
