// Store notices reach the store with the login percent-encoded; failures show the texts the user sees.
#include <gtest/gtest.h>

#include "tests/platform/TestEnvironment.h"

#include <windows.h>
#include <wininet.h>

#include <fstream>
#include <string>

#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/framework/RecordingMessageBoxes.h"
#include "platform/inet/StoreNotice.h"

namespace {

TEST(StoreNotice, LoginIsPercentEncodedFromItsKoreanCodePageBytes) {
    platform::StoreLogin login{L"사용자", L"p&w=1#2 한"};
    EXPECT_EQ(platform::StoreNoticeObject(L"/apps/update_Set.asp", login, 42),
              L"/apps/update_Set.asp?userID=%BB%E7%BF%EB%C0%DA&userPwd=p%26w%3D1%232%20%C7%D1&appIdx=42");
}

TEST(StoreNotice, SystemErrorTextShowsInternetCodesAs1236) {
    EXPECT_EQ(platform::SystemErrorText(ERROR_INTERNET_NAME_NOT_RESOLVED).rfind(L"[Error 1236]", 0), 0u);
    EXPECT_EQ(platform::SystemErrorText(ERROR_FILE_NOT_FOUND).rfind(L"[Error 2]", 0), 0u);
    EXPECT_GT(platform::SystemErrorText(ERROR_FILE_NOT_FOUND).size(), std::wstring(L"[Error 2]").size());
}

class StoreNoticeNetworkTest : public testing::Test {
protected:
    void SetUp() override {
        m_host = kelvo_test::EnvironmentText(L"KELVO_STORE_HTTP");
        m_log = kelvo_test::EnvironmentText(L"KELVO_STORE_LOG");
        if (m_host.empty() || m_log.empty()) {
            GTEST_SKIP() << "no local store (run through run_with_store.sh)";
        }
    }
    std::wstring m_host;
    std::wstring m_log;
};

TEST_F(StoreNoticeNetworkTest, NoticeReachesTheStoreWithThePasswordIntact) {
    platform::StoreLogin login{L"demo", L"a&b=c#d e한"};
    EXPECT_EQ(platform::SendStoreNotice(m_host, L"/apps/update_Set.asp", login, 7), 0u);
    std::ifstream in(m_log.c_str());
    std::string log((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(log.find("POST /apps/update_Set.asp?userID=demo&userPwd=a%26b%3Dc%23d%20e%C7%D1&appIdx=7 200"),
              std::string::npos)
        << log;
}

TEST_F(StoreNoticeNetworkTest, FailedSendShowsTheErrorCodeInHex) {
    const DWORD code = platform::SendStoreNotice(kelvo_test::EnvironmentText(L"KELVO_STORE_CLOSED"),
                                                 L"/apps/delete_Set.asp", {L"a", L"b"}, 1);
    EXPECT_EQ(platform::StoreNoticeErrorText(code), L"Error code 0x2efd");  // ERROR_INTERNET_CANNOT_CONNECT
}

}  // namespace
