// Fuzz target: arbitrary bytes from the store's web server through the page reader, and through the suite
// update's profile reader. What they keep must stay within their bounds, and every call a button carries must
// be one the view may make.
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/browser/PageModel.h"
#include "common/store/PathNames.h"
#include "common/update/SuiteUpdate.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    common::PageModel page = common::ReadPage(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(page.blocks.size() <= common::kMaxBlocks);
    size_t runs = 0;
    for (const common::PageBlock& block : page.blocks) {
        Check(!block.runs.empty());
        runs += block.runs.size();
        for (const common::PageRun& run : block.runs) {
            if (run.call) {
                Check(run.isButton);
                Check(!run.call->method.empty());
                Check(run.call->arguments.size() <= common::kMaxCallArguments);
            }
        }
    }
    Check(runs <= common::kMaxRuns);

    common::SuiteUpdateProfile profile;
    common::SuiteProfileError error = common::ReadSuiteUpdateProfile(std::vector<uint8_t>(data, data + size), profile);
    if (error != common::SuiteProfileError::None) {
        Check(profile.files.empty() && profile.version.empty());
        return 0;
    }
    for (const common::CFileInfo& entry : profile.files) {
        // A listed file never lands outside the suite folder or the drive root.
        Check(common::CheckPlainName(entry.fileName, common::kPathBufferUnits) == common::NameError::None);
    }
    Check(profile.fileSizeTotal >= 0);
    return 0;
}
