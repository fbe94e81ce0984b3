// A file probe for tests: paths are files or folders when the test says so, and missing otherwise.
#pragma once

#include <map>
#include <string>

#include "common/model/FileProbe.h"

namespace kelvo_test {

class FakeFileProbe : public common::IFileProbe {
public:
    Kind Probe(const std::u16string& path) override {
        auto found = kinds.find(path);
        return found == kinds.end() ? Kind::Missing : found->second;
    }
    std::map<std::u16string, Kind> kinds;
};

}  // namespace kelvo_test
