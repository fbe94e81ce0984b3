// SHA-256 through the system's cryptography, against values from Python's hashlib.
#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "tests/platform/ScratchDir.h"

namespace {

common::Sha256Digest Digest(const char16_t* hex) {
    return *common::ParseSha256(hex);
}

// Catches: a digest that depends on how the bytes were cut into chunks (the fetch hashes 8 KiB reads), an empty
// file without a digest, and a file that cannot be read taken as checked.
TEST(Sha256, MatchesKnownDigestsWhateverTheChunks) {
    platform::Sha256 abc;
    abc.Update("a", 1);
    abc.Update("bc", 2);
    EXPECT_EQ(abc.Finish(), Digest(u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_FALSE(abc.Finish()) << "a finished hash gives nothing more";

    std::vector<unsigned char> pattern;
    for (int round = 0; round < 4096; ++round) {
        for (int value = 0; value < 256; ++value) {
            pattern.push_back(static_cast<unsigned char>(value));
        }
    }
    kelvo_test::ScratchDir dir{L"kelvo-sha-"};
    const std::wstring path = dir.path() + L"\\pattern.bin";
    std::ofstream(path.c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(pattern.data()), static_cast<std::streamsize>(pattern.size()));
    EXPECT_EQ(platform::Sha256OfFile(path),
              Digest(u"fbbab289f7f94b25736c58be46a994c441fd02552cc6022352e3d86d2fab7c83"));
    const std::wstring empty = dir.path() + L"\\empty.bin";
    std::ofstream(empty.c_str(), std::ios::binary).flush();
    EXPECT_EQ(platform::Sha256OfFile(empty),
              Digest(u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    EXPECT_FALSE(platform::Sha256OfFile(dir.path() + L"\\missing.bin"));
}

}  // namespace
