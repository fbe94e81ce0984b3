// IFileProbe over FindFirstFileW: what the launcher's existence check and type derivation ask.
#pragma once

#include "common/model/FileProbe.h"

namespace platform {

class FileProbeWin final : public common::IFileProbe {
public:
    // A path that FindFirstFileW finds is present; wildcards in it are refused, so a name from a file can never
    // match some other file.
    Kind Probe(const std::u16string& path) override;
};

}  // namespace platform
