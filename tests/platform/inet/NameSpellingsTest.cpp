// The byte forms a fetch asks a server for after WinINet's own spelling of a Korean name failed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/inet/NameSpellings.h"

namespace {

// Catches: an ASCII path asked for again (a second round trip for every missing file), a spelling WinINet already
// sent asked for twice, and a form with '?' for characters code page 949 lacks, which could name another file.
TEST(NameSpellings, OtherSpellingsLeaveOutWhatWasSentAndWhatCannotSpellThePath) {
    ASSERT_EQ(::GetACP(), 949u) << "the tests run under the Korean locale";
    const struct {
        std::wstring path;
        std::vector<std::string> expected;
    } cases[] = {
        {L"/application/utility/memo.exe", {}},
        // Under code page 949 WinINet sent the 949 form; UTF-8 is left.
        {L"/pub/메모장/한글 파일.bin",
         {"/pub/\xEB\xA9\x94\xEB\xAA\xA8\xEC\x9E\xA5/\xED\x95\x9C\xEA\xB8\x80 "
          "\xED\x8C\x8C\xEC\x9D\xBC.bin"}},
        // No form in code page 949: WinINet sent '?', and only UTF-8 names the file.
        {L"/pub/\u00E9t\u00E9.txt", {"/pub/\xC3\xA9t\xC3\xA9.txt"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::OtherNameSpellings(c.path), c.expected);
    }
}

TEST(NameSpellings, PercentEncodingKeepsAsciiAndEncodesBytesSpacesAndPercent) {
    EXPECT_EQ(platform::PercentEncodedPath("/a b/100%/\xED\x95\x9C.xml"), L"/a%20b/100%25/%ED%95%9C.xml");
    EXPECT_EQ(platform::PercentEncodedPath("/apps/memo/Profile.xml"), L"/apps/memo/Profile.xml");
}

}  // namespace
