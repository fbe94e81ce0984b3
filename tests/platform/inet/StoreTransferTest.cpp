// Store transfers against a real local store: what arrives on disk, what a failure leaves, and the result codes
// the job and the error box rely on. Run through run_with_store.sh, and the stock servers' cases through
// run_with_stock_store.sh; without a store they are skipped.
#include <gtest/gtest.h>

#include "tests/platform/TestEnvironment.h"

#include <windows.h>
#include <wininet.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/inet/InetHandle.h"
#include "platform/inet/StoreNotice.h"
#include "platform/inet/StoreTransfer.h"

namespace {

std::vector<char> ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Counts what a fetch reports; stops it when told to, and sets `arrived` once `signalAt` bytes are in.
class CountingSink : public platform::ITransferSink {
public:
    bool OnChunk(const uint8_t*, size_t size) override {
        ++calls;
        total += static_cast<int64_t>(size);
        if (arrived != nullptr && total >= signalAt) {
            ::SetEvent(arrived);
        }
        return !isStopping;
    }
    int calls = 0;
    int64_t total = 0;
    bool isStopping = false;
    int64_t signalAt = 0;
    HANDLE arrived = nullptr;
};

class StoreTransferTest : public testing::Test {
protected:
    void SetUp() override {
        m_http = kelvo_test::EnvironmentText(L"KELVO_STORE_HTTP");
        m_ftp = kelvo_test::EnvironmentText(L"KELVO_STORE_FTP");
        m_root = kelvo_test::EnvironmentText(L"KELVO_STORE_ROOT");
        m_temp = kelvo_test::EnvironmentText(L"KELVO_STORE_TEMP");
        if (m_http.empty() || m_ftp.empty()) {
            GTEST_SKIP() << "no store (run through run_with_store.sh or run_with_stock_store.sh)";
        }
    }
    std::wstring Local(const wchar_t* name) const { return m_temp + L"\\" + name; }

    std::wstring m_http;
    std::wstring m_ftp;
    std::wstring m_root;
    std::wstring m_temp;
};

TEST_F(StoreTransferTest, HttpFetchStoresTheProfileAndCountsItsBytes) {
    std::wstring local = Local(platform::WideCStr(common::kProfileFile));
    int64_t counter = 5;
    // A lower-case scheme is accepted as well.
    EXPECT_EQ(platform::HttpFetch(L"http://" + m_http + L"/apps/memo/Profile.xml", local, nullptr, counter),
              platform::kTransferOk);
    std::vector<char> expected = ReadAll(m_root + L"\\apps\\memo\\Profile.xml");
    EXPECT_EQ(ReadAll(local), expected);
    EXPECT_EQ(counter, 5 + static_cast<int64_t>(expected.size()));
}

TEST_F(StoreTransferTest, FtpFetchOfANestedKoreanNameIsByteIdentical) {
    std::wstring local = Local(L"한글 파일.bin");
    int64_t counter = 0;
    CountingSink sink;
    platform::TransferJob job;
    job.sink = &sink;
    ASSERT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/메모장/도움말/한글 파일.bin", local, &job, counter),
              platform::kTransferOk);
    std::vector<char> expected = ReadAll(m_root + L"\\pub\\메모장\\도움말\\한글 파일.bin");
    ASSERT_EQ(expected.size(), 76800u);
    EXPECT_EQ(ReadAll(local), expected);
    EXPECT_EQ(counter, 76800);
    EXPECT_EQ(sink.total, 76800) << "the sink hears of every byte written";
    EXPECT_GE(sink.calls, 76800 / 8192);
}

// The local store lists names in the code page the client named the file in, as a Korean Windows server does:
// WinINet finds a Korean name in a listing and reads its size. (Wine's listing parser also stops a name at its
// first space, so such names are never found under Wine; fetches ask for no listing.)
TEST_F(StoreTransferTest, ListingFindsAKoreanNameWithItsSize) {
    std::wstring host = m_ftp.substr(0, m_ftp.find(L':'));
    auto port = static_cast<INTERNET_PORT>(_wtoi(m_ftp.c_str() + m_ftp.find(L':') + 1));
    HINTERNET internet = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection =
        ::InternetConnectW(internet, host.c_str(), port, platform::WideCStr(common::kStoreFtpUser),
                           platform::WideCStr(common::kStoreFtpPassword), INTERNET_SERVICE_FTP, 0, 0);
    ASSERT_NE(connection, nullptr);
    WIN32_FIND_DATAW data = {};
    HINTERNET find = ::FtpFindFirstFileW(connection, L"/pub/메모장/한글.bin", &data, INTERNET_FLAG_RELOAD, 0);
    EXPECT_NE(find, nullptr);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_STREQ(data.cFileName, L"한글.bin");
    if (find != nullptr) {
        ::InternetCloseHandle(find);
    }
    ::InternetCloseHandle(connection);
    ::InternetCloseHandle(internet);
}

TEST_F(StoreTransferTest, EmptyRemoteFileGivesAnEmptyLocalFile) {
    std::wstring local = Local(L"empty.bin");
    int64_t counter = 0;
    EXPECT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/empty.bin", local, nullptr, counter),
              platform::kTransferOk);
    EXPECT_TRUE(Exists(local));
    EXPECT_TRUE(ReadAll(local).empty());
}

TEST_F(StoreTransferTest, StopFromTheCallbackGives995AndLeavesNoFile) {
    std::wstring local = Local(L"stopped.bin");
    int64_t counter = 0;
    CountingSink sink;
    sink.isStopping = true;
    platform::TransferJob job;
    job.sink = &sink;
    EXPECT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/메모장/도움말/한글 파일.bin", local, &job, counter),
              platform::kTransferStopped);
    EXPECT_FALSE(Exists(local));
}

// Catches: a transfer the server broke off taken as whole. HTTP tells it by the announced length; FTP by the
// server's closing reply (426), since no listing gives a size to hold it against.
TEST_F(StoreTransferTest, TransferCutShortByTheServerFailsAndLeavesNoFile) {
    std::wstring local = Local(L"cut.bin");
    int64_t counter = 0;
    DWORD result = platform::HttpFetch(L"HTTP://" + m_http + L"/test/cut-short.bin", local, nullptr, counter);
    EXPECT_NE(result, platform::kTransferOk);
    EXPECT_FALSE(Exists(local));
    result = platform::FtpFetch(L"FTP://" + m_ftp + L"/test/cut-short.bin", local, nullptr, counter);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INTERNET_CONNECTION_ABORTED));
    EXPECT_FALSE(Exists(local));
}

// Catches: a fetch blocked in the network that a stop from another thread does not end (the agent's exit would
// wait on the server for a minute), a stopped fetch's file left behind, and a fetch started after the stop that
// still goes out. Under Wine the blocked read ends at its 5-second receive timeout (closing the handle does not
// abort it there); on Windows the closed handle ends it at once.
TEST_F(StoreTransferTest, AStopFromAnotherThreadBreaksABlockedRead) {
    constexpr int64_t kSentBeforeStall = 65536;
    platform::StopSignal stop;
    platform::UniqueKernelHandle allSent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CountingSink sink;
    sink.arrived = allSent.get();
    sink.signalAt = kSentBeforeStall;
    platform::TransferJob job;
    job.stop = &stop;
    job.sink = &sink;
    std::wstring local = Local(L"stall.bin");
    DWORD result = platform::kTransferOk;
    std::thread fetch([&] {
        int64_t counter = 0;
        result = platform::HttpFetch(L"HTTP://" + m_http + L"/test/stall.bin", local, &job, counter);
    });
    ASSERT_EQ(::WaitForSingleObject(allSent.get(), 20000), WAIT_OBJECT_0);
    ::Sleep(500);  // the fetch is now waiting for bytes the server holds back
    stop.Stop();
    fetch.join();
    EXPECT_EQ(result, platform::kTransferStopped);
    EXPECT_FALSE(Exists(local));

    int64_t counter = 0;
    std::wstring profile = L"HTTP://" + m_http + L"/apps/memo/Profile.xml";
    EXPECT_EQ(platform::HttpFetch(profile, Local(L"after.xml"), &job, counter), platform::kTransferStopped);
    EXPECT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/empty.bin", Local(L"after.txt"), &job, counter),
              platform::kTransferStopped);
    EXPECT_EQ(counter, 0);
    stop.Reset();
    EXPECT_EQ(platform::HttpFetch(profile, Local(L"after.xml"), &job, counter), platform::kTransferOk);
}

TEST_F(StoreTransferTest, ErrorPageIsStoredWithSuccessAsTheServerSentIt) {
    std::wstring local = Local(L"missing.html");
    int64_t counter = 0;
    EXPECT_EQ(platform::HttpFetch(L"HTTP://" + m_http + L"/no/such/file.xml", local, nullptr, counter),
              platform::kTransferOk);
    EXPECT_FALSE(ReadAll(local).empty());
}

TEST_F(StoreTransferTest, FailuresGiveTheirResultCodesAndLeaveNoFile) {
    const struct {
        bool isFtp;
        std::wstring url;
        DWORD expected;
    } cases[] = {
        {false, L"FTP://" + m_http + L"/a", platform::kTransferBadScheme},
        {true, L"HTTP://" + m_ftp + L"/a", platform::kTransferBadScheme},
        {true, L"FTP://" + m_ftp + L"/pub/no-such-file.bin", platform::kTransferFileError},
        {false, L"HTTP://kelvo-store.invalid/a", ERROR_INTERNET_NAME_NOT_RESOLVED},
        {false, L"HTTP://" + kelvo_test::EnvironmentText(L"KELVO_STORE_CLOSED") + L"/a", ERROR_INTERNET_CANNOT_CONNECT},
    };
    for (const auto& c : cases) {
        std::wstring local = Local(L"failed.bin");
        int64_t counter = 0;
        DWORD result = c.isFtp ? platform::FtpFetch(c.url, local, nullptr, counter)
                               : platform::HttpFetch(c.url, local, nullptr, counter);
        EXPECT_EQ(result, c.expected) << std::string(c.url.begin(), c.url.end());
        // What the user is shown for it: internet-library codes as 1236, others as themselves.
        DWORD shown = result >= 12000 ? 1236 : result;
        EXPECT_EQ(platform::SystemErrorText(result).rfind(L"[Error " + std::to_wstring(shown) + L"]", 0), 0u);
        EXPECT_FALSE(Exists(local));
        EXPECT_EQ(counter, 0);
    }
    int64_t counter = 0;
    EXPECT_EQ(platform::HttpFetch(L"HTTP://" + m_http + L"/apps/memo/Profile.xml", m_temp + L"\\no\\dir\\p.xml",
                                  nullptr, counter),
              platform::kTransferFileError);
}

// The bytes run_with_stock_store.sh wrote for a seed: no file here can name the server's code page 949 copy.
std::vector<char> SeededBytes(int seed) {
    std::vector<char> bytes;
    for (int round = 0; round < 300; ++round) {
        for (int i = 0; i < 256; ++i) {
            bytes.push_back(static_cast<char>((i * seed) % 256));
        }
    }
    return bytes;
}

// The same fetches against Debian's vsftpd and nginx (run_with_stock_store.sh), which keep file names as the
// bytes they were stored with: Korean names in UTF-8 and in code page 949 must both arrive whole, and nothing
// the server's listing says may stop a transfer.
class StockStoreTransfer : public StoreTransferTest {
protected:
    // A WinINet FTP connection with the store's account, with the given connection flags.
    platform::UniqueInternet Connect(HINTERNET internet, DWORD flags) const {
        std::wstring host = m_ftp.substr(0, m_ftp.find(L':'));
        auto port = static_cast<INTERNET_PORT>(_wtoi(m_ftp.c_str() + m_ftp.find(L':') + 1));
        return platform::UniqueInternet(
            ::InternetConnectW(internet, host.c_str(), port, platform::WideCStr(common::kStoreFtpUser),
                               platform::WideCStr(common::kStoreFtpPassword), INTERNET_SERVICE_FTP, flags, 0));
    }
};

// Catches: a Korean name found only in the system's code page (WinINet's spelling), so a server storing UTF-8
// names answers 550 and the package cannot be installed, and a name asked for in the wrong form that brings
// another file.
TEST_F(StockStoreTransfer, KoreanNamesStoredAsUtf8AndAsCodePage949ArriveWhole) {
    const struct {
        const wchar_t* folder;
        int seed;
    } cases[] = {{L"utf-8", 1}, {L"cp949", 7}};
    for (const auto& c : cases) {
        std::wstring local = Local(L"한글 파일.bin");
        int64_t counter = 0;
        std::wstring url = L"FTP://" + m_ftp + L"/pub/" + c.folder + L"/메모장/도움말/한글 파일.bin";
        ASSERT_EQ(platform::FtpFetch(url, local, nullptr, counter), platform::kTransferOk) << c.seed;
        EXPECT_EQ(ReadAll(local), SeededBytes(c.seed)) << c.seed;
        EXPECT_EQ(counter, 76800);
        ::DeleteFileW(local.c_str());

        std::wstring profile = Local(L"Profile.xml");
        counter = 0;
        url = L"HTTP://" + m_http + L"/web/" + c.folder + L"/한글/Profile.xml";
        ASSERT_EQ(platform::HttpFetch(url, profile, nullptr, counter), platform::kTransferOk) << c.seed;
        std::vector<char> body = ReadAll(profile);
        std::string expected = "<ALIAS>" + std::string(c.folder, c.folder + wcslen(c.folder)) + "</ALIAS>";
        EXPECT_NE(std::string(body.begin(), body.end()).find(expected), std::string::npos)
            << "the folder's own profile, not the server's 404 page";
        ::DeleteFileW(profile.c_str());
    }
}

// Catches: a fetch over the connection of our own that does not report its chunks (the progress would stand
// still for UTF-8 names) or does not hear the sink's stop, and a stopped fetch's file left behind.
TEST_F(StockStoreTransfer, AFetchByTheServersOwnSpellingReportsItsChunksAndStops) {
    const std::wstring url = L"FTP://" + m_ftp + L"/pub/utf-8/메모장/도움말/한글 파일.bin";
    std::wstring local = Local(L"chunks.bin");
    int64_t counter = 0;
    CountingSink sink;
    platform::TransferJob job;
    job.sink = &sink;
    ASSERT_EQ(platform::FtpFetch(url, local, &job, counter), platform::kTransferOk);
    EXPECT_EQ(sink.total, 76800);
    EXPECT_GE(sink.calls, 76800 / 8192);
    ::DeleteFileW(local.c_str());

    sink.isStopping = true;
    EXPECT_EQ(platform::FtpFetch(url, local, &job, counter), platform::kTransferStopped);
    EXPECT_FALSE(Exists(local));
}

// Catches: a size read from the listing taken as the truth. vsftpd lists a symbolic link with the length of its
// target's path, longer than the five bytes the link's file holds; the whole file was refused as cut short.
TEST_F(StockStoreTransfer, ASizeInTheListingDoesNotDecideTheTransfer) {
    std::wstring local = Local(L"link.bin");
    int64_t counter = 0;
    ASSERT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/link.bin", local, nullptr, counter), platform::kTransferOk);
    std::vector<char> bytes = ReadAll(local);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcde");
}

// Catches: a name the server does not have that ends in another code than the one for a missing file, or leaves
// a file, once every spelling of a Korean name was tried and refused.
TEST_F(StockStoreTransfer, AMissingFileGives2InEverySpelling) {
    int64_t counter = 0;
    for (const wchar_t* missing : {L"/pub/no-such-file.bin", L"/pub/utf-8/없는 파일.bin"}) {
        std::wstring failed = Local(L"missing.bin");
        EXPECT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + missing, failed, nullptr, counter),
                  platform::kTransferFileError);
        EXPECT_FALSE(Exists(failed));
    }
    EXPECT_EQ(counter, 0);
}

// The servers are set up as the store's: active mode only (the client never asks for passive mode, so a server
// that allows it would hide a client that does), and read-only.
TEST_F(StockStoreTransfer, TheFtpServerRefusesPassiveModeAndUploads) {
    platform::UniqueInternet internet(::InternetOpenW(L"test", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    platform::UniqueInternet passive = Connect(internet.get(), INTERNET_FLAG_PASSIVE);
    ASSERT_TRUE(passive);
    platform::UniqueInternet file(
        ::FtpOpenFileW(passive.get(), L"/pub/empty.bin", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_FALSE(file) << "passive mode is refused";

    platform::UniqueInternet active = Connect(internet.get(), 0);
    ASSERT_TRUE(active);
    platform::UniqueInternet upload(
        ::FtpOpenFileW(active.get(), L"/pub/uploaded.bin", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0));
    if (upload) {
        DWORD written = 0;
        ::InternetWriteFile(upload.get(), "x", 1, &written);
        upload.reset();
    }
    int64_t counter = 0;
    EXPECT_EQ(platform::FtpFetch(L"FTP://" + m_ftp + L"/pub/uploaded.bin", Local(L"uploaded.bin"), nullptr, counter),
              platform::kTransferFileError)
        << "nothing can be stored on the server";
}

}  // namespace
