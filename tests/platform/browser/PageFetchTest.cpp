// The page view's fetch, off the window's thread, against a small server of the test's own on loopback.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <thread>

#include "common/ipc/Messages.h"
#include "platform/browser/PageFetch.h"
#include "platform/browser/WebView.h"
#include "tests/platform/browser/WebViewWindow.h"

namespace {

// Answers the connections it accepts with `response` (after reading the request's head), or, when `response`
// is empty, holds them open without a word until it is destroyed.
class TinyHttpServer {
public:
    explicit TinyHttpServer(std::string response, int connections = 1) : m_response(std::move(response)) {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int size = sizeof(address);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        ::listen(m_listener, 4);
        m_thread = std::thread([this, connections] {
            for (int i = 0; i < connections; ++i) {
                SOCKET client = ::accept(m_listener, nullptr, nullptr);
                if (client == INVALID_SOCKET) {
                    return;
                }
                std::string request;
                char buffer[1024];
                while (request.find("\r\n\r\n") == std::string::npos) {
                    int got = ::recv(client, buffer, sizeof(buffer), 0);
                    if (got <= 0) {
                        break;
                    }
                    request.append(buffer, static_cast<size_t>(got));
                }
                if (m_response.empty()) {
                    m_held = client;
                    return;
                }
                ::send(client, m_response.data(), static_cast<int>(m_response.size()), 0);
                ::shutdown(client, SD_SEND);
                ::closesocket(client);
            }
        });
    }
    ~TinyHttpServer() {
        ::closesocket(m_listener);
        m_thread.join();
        if (m_held != INVALID_SOCKET) {
            ::closesocket(m_held);
        }
        ::WSACleanup();
    }
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(m_port) + L"/store/index.html"; }

private:
    std::string m_response;
    SOCKET m_listener = INVALID_SOCKET;
    SOCKET m_held = INVALID_SOCKET;
    int m_port = 0;
    std::thread m_thread;
};

std::string Response(const std::string& status, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers +
           "Connection: close\r\n\r\n" + body;
}

TEST(PageFetch, BringsTheBodyAndItsContentType) {
    const std::string body = "<html><body>\xc7\xd1\xb1\xb9\xbe\xee</body></html>";
    TinyHttpServer server(Response("200 OK", "Content-Type: text/html; charset=EUC-KR\r\n", body));
    platform::FetchedPage page = platform::PageFetch::Fetch(server.Url(), 1 << 20);
    EXPECT_EQ(page.result, 0u);
    EXPECT_EQ(page.bytes, body) << "bytes as sent: decoding is the page's business";
    EXPECT_EQ(page.contentType, "text/html; charset=EUC-KR");
}

// Catches: an error page shown as the store, and a huge body held in memory.
TEST(PageFetch, ErrorStatusesAndOversizedBodiesAreFailures) {
    {
        TinyHttpServer server(Response("404 Not Found", "Content-Type: text/html\r\n", "<p>nothing</p>"));
        platform::FetchedPage page = platform::PageFetch::Fetch(server.Url(), 1 << 20);
        EXPECT_NE(page.result, 0u);
        EXPECT_TRUE(page.bytes.empty());
    }
    {
        TinyHttpServer server(Response("200 OK", "", std::string(5000, 'x')));
        platform::FetchedPage page = platform::PageFetch::Fetch(server.Url(), 4096);
        EXPECT_EQ(page.result, static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
        EXPECT_TRUE(page.bytes.empty());
    }
    EXPECT_NE(platform::PageFetch::Fetch(L"ftp://127.0.0.1/x", 4096).result, 0u) << "HTTP only";
}

// The view fetched through, on a hidden parent; messages are pumped until the fetch has reported.
class WebViewFetch : public WebViewWindow {
protected:
    // False when the fetch still runs after a generous while (a hang, not a timing).
    bool PumpUntilLoaded() {
        for (int round = 0; round < 600 && m_view->IsLoading(); ++round) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
        }
        return !m_view->IsLoading();
    }
};

TEST_F(WebViewFetch, SaysItIsLoadingThenShowsThePage) {
    TinyHttpServer server(Response("200 OK", "Content-Type: text/html; charset=utf-8\r\n",
                                   "<html><body><button onclick=\"window.external.CB_Close()\">OK</button>"
                                   "</body></html>"));
    ASSERT_TRUE(m_view->Navigate(server.Url()));
    EXPECT_TRUE(m_view->IsLoading());
    EXPECT_EQ(m_view->Notice(), L"불러오는 중...");
    ASSERT_TRUE(PumpUntilLoaded());
    EXPECT_EQ(m_view->Notice(), L"");
    EXPECT_EQ(m_view->ContentType(), "text/html; charset=utf-8");
    ASSERT_EQ(m_view->Buttons().size(), 1u);
    EXPECT_EQ(m_view->Url(), server.Url());
}

TEST_F(WebViewFetch, AFailedFetchShowsTheCannotOpenNotice) {
    TinyHttpServer server(Response("500 Internal Server Error", "", "oops"));
    ASSERT_TRUE(m_view->Navigate(server.Url()));
    ASSERT_TRUE(PumpUntilLoaded());
    EXPECT_EQ(m_view->Notice().rfind(L"페이지를 열 수 없습니다.", 0), 0u) << std::string(m_view->Notice().begin(),
                                                                                     m_view->Notice().end());
    EXPECT_TRUE(m_view->Buttons().empty());
}

// Catches: a late page of a server that answered nothing replacing the page navigated to after it, and a view
// whose window is gone receiving the report.
TEST_F(WebViewFetch, ANewerNavigationWinsOverASilentServer) {
    TinyHttpServer silent("");
    TinyHttpServer store(Response("200 OK", "", "<html><body><p>store</p></body></html>"));
    ASSERT_TRUE(m_view->Navigate(silent.Url()));
    ASSERT_TRUE(m_view->Navigate(store.Url()));
    ASSERT_TRUE(PumpUntilLoaded());
    EXPECT_EQ(m_view->Url(), store.Url());
    EXPECT_EQ(m_view->Notice(), L"");
    ASSERT_TRUE(m_view->Navigate(silent.Url()));
    ::DestroyWindow(m_parent);  // the silent fetch is left to end on its own
    m_parent = nullptr;
}

}  // namespace
