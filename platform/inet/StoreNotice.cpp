// Store notices over HTTP and the system error box.
#include "platform/inet/StoreNotice.h"

#include <wininet.h>

#include <cwchar>
#include <string>

#include "common/store/QueryEncoding.h"
#include "common/store/StoreUrl.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"
#include "platform/inet/InetHandle.h"

namespace platform {

namespace {

constexpr UINT kKoreanCodePage = 949;
constexpr wchar_t kNoticeAgent[] = L"Kelvo.Client";
constexpr DWORD kFirstInternetError = 12000;
constexpr DWORD kShownForInternetErrors = 1236;

// The text's bytes in code page 949; characters without a form there become '?', as on the wire before.
std::string CodePageBytes(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    int size = ::WideCharToMultiByte(kKoreanCodePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) {
        ::WideCharToMultiByte(kKoreanCodePage, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                              nullptr, nullptr);
    }
    return bytes;
}

}  // namespace

std::wstring StoreNoticeObject(const std::wstring& noticePath, const StoreLogin& login, int appIndex) {
    return ToWide(common::BuildStoreNoticeObject(FromWide(noticePath), CodePageBytes(login.id),
                                                 CodePageBytes(login.password), appIndex));
}

std::wstring StoreLoginAddress(const std::wstring& storeHost, const StoreLogin& login) {
    return L"http://" + storeHost + L"/redirect.asp?menu=application&userID=" +
           ToWide(common::PercentEncode(CodePageBytes(login.id))) + L"&userPwd=" +
           ToWide(common::PercentEncode(CodePageBytes(login.password)));
}

DWORD SendStoreNotice(const std::wstring& storeHost, const std::wstring& noticePath, const StoreLogin& login,
                      int appIndex) {
    auto address = common::SplitStoreUrl(u"HTTP://" + FromWide(storeHost), u"HTTP://", INTERNET_DEFAULT_HTTP_PORT);
    DWORD error = ERROR_INTERNET_INVALID_URL;
    if (address) {
        UniqueInternet internet(::InternetOpenW(kNoticeAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        UniqueInternet connection(internet ? ::InternetConnectW(internet.get(), ToWide(address->host).c_str(),
                                                                address->port, L"", L"", INTERNET_SERVICE_HTTP, 0, 0)
                                           : nullptr);
        std::wstring object = StoreNoticeObject(noticePath, login, appIndex);
        UniqueInternet request(connection ? ::HttpOpenRequestW(connection.get(), L"POST", object.c_str(), L"HTTP/1.0",
                                                               nullptr, nullptr, 0, 0)
                                          : nullptr);
        if (request && ::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) {
            return 0;
        }
        const DWORD last = ::GetLastError();
        error = last != 0 ? last : ERROR_INTERNET_INTERNAL_ERROR;
    }
    return error;
}

std::wstring StoreNoticeErrorText(DWORD code) {
    wchar_t text[64];
    std::swprintf(text, 64, L"Error code 0x%x", static_cast<unsigned>(code));
    return text;
}

std::wstring SystemErrorText(DWORD code) {
    DWORD shown = code >= kFirstInternetError ? kShownForInternetErrors : code;
    wchar_t* message = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, shown,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring body = length > 0 && message != nullptr ? std::wstring(message, length) : std::wstring();
    if (message != nullptr) {
        ::LocalFree(message);
    }
    return L"[Error " + std::to_wstring(shown) + L"]" + body;
}

void ShowSystemError(DWORD code, IMessageBoxes& boxes, const std::wstring& appTitle) {
    AppMessageBox(boxes, appTitle, SystemErrorText(code));
}

}  // namespace platform
