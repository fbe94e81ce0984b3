#include "platform/browser/PageFetch.h"

#include <wininet.h>

#include <system_error>
#include <thread>
#include <utility>

#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/inet/InetHandle.h"

namespace platform {

namespace {

constexpr size_t kMaxPageBytes = 4 * 1024 * 1024;
constexpr DWORD kTimeoutMs = 30000;

std::string ContentType(HINTERNET request) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, text, &size, nullptr)) {
        return {};
    }
    // Header values are ASCII; anything else is not a charset name the page view knows.
    std::string type;
    for (DWORD i = 0; i < size / sizeof(wchar_t) && text[i] != 0; ++i) {
        type.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    }
    return type;
}

}  // namespace

FetchedPage PageFetch::Fetch(const std::wstring& url, size_t maxBytes) {
    FetchedPage page;
    if (url.rfind(L"http://", 0) != 0) {
        page.result = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return page;
    }
    UniqueInternet internet(
        ::InternetOpenW(WideCStr(common::kAgentTitle), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        page.result = ::GetLastError();
        return page;
    }
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD timeout = kTimeoutMs;
        ::InternetSetOptionW(internet.get(), option, &timeout, sizeof(timeout));
    }
    UniqueInternet request(::InternetOpenUrlW(internet.get(), url.c_str(), nullptr, 0,
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                  INTERNET_FLAG_NO_UI,
                                              0));
    if (!request) {
        page.result = ::GetLastError();
        return page;
    }
    if (HttpStatusCode(request.get()) >= 400) {
        page.result = ERROR_FILE_NOT_FOUND;
        return page;
    }
    page.contentType = ContentType(request.get());
    char buffer[16384];
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), buffer, sizeof(buffer), &read)) {
            page.result = ::GetLastError();
            page.bytes.clear();
            return page;
        }
        if (read == 0) {
            return page;
        }
        if (page.bytes.size() + read > maxBytes) {
            page.result = ERROR_FILE_TOO_LARGE;
            page.bytes.clear();
            return page;
        }
        page.bytes.append(buffer, read);
    }
}

std::shared_ptr<PageFetch> PageFetch::Start(const std::wstring& url, HWND window, UINT message, WPARAM ticket) {
    std::shared_ptr<PageFetch> fetch(new PageFetch(window, message, ticket));
    try {
        std::thread([fetch, url] { fetch->Finish(Fetch(url, kMaxPageBytes)); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return fetch;
}

void PageFetch::Finish(FetchedPage page) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_window == nullptr) {
        return;
    }
    m_page = std::move(page);
    ::PostMessageW(m_window, m_message, m_ticket, 0);
}

void PageFetch::Abandon() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = nullptr;
    m_page.reset();
}

std::optional<FetchedPage> PageFetch::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_page, std::nullopt);
}

}  // namespace platform
