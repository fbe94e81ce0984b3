// One page of the page view fetched over HTTP on a thread of its own, so the window's thread never waits on the
// network: the tray, the hot keys and the launcher stay responsive while a store server is slow or silent.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

struct FetchedPage {
    DWORD result = 0;  // 0, or the Windows error of the failing call (an HTTP status >= 400 is ERROR_FILE_NOT_FOUND)
    std::string bytes;
    std::string contentType;  // the Content-Type header as sent, empty when none came
};

// How it works: Start runs the fetch on a detached thread that holds the fetch's shared state; when the fetch
// ends the thread stores the page and posts `message` (wParam `ticket`) to `window`, unless the window gave the
// fetch up first (Abandon, e.g. a newer navigation or the window's end). The window takes the page with Take on
// its own thread. A fetch blocked in the network is never waited for: it ends at its receive timeout and its
// page is dropped. Start, Abandon and Take may be called from any thread.
class PageFetch : public std::enable_shared_from_this<PageFetch> {
public:
    // Null when the thread cannot be started.
    static std::shared_ptr<PageFetch> Start(const std::wstring& url, HWND window, UINT message, WPARAM ticket);
    void Abandon();
    std::optional<FetchedPage> Take();

    // The fetch itself, blocking; `maxBytes` bounds the body held in memory (ERROR_FILE_TOO_LARGE beyond).
    static FetchedPage Fetch(const std::wstring& url, size_t maxBytes);

private:
    PageFetch(HWND window, UINT message, WPARAM ticket) : m_window(window), m_message(message), m_ticket(ticket) {}
    void Finish(FetchedPage page);

    std::mutex m_mutex;
    HWND m_window;  // null once abandoned
    UINT m_message;
    WPARAM m_ticket;
    std::optional<FetchedPage> m_page;
};

}  // namespace platform
