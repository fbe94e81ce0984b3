// The store notices (installation finished, package removed) and the box that shows a failed transfer.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/IMessageBoxes.h"

namespace platform {

struct StoreLogin {
    std::wstring id;
    std::wstring password;
};

// The object a notice asks for: noticePath "?userID=..&userPwd=..&appIdx=..", ID and password percent-encoded
// from their code page 949 bytes (the form a Korean Windows puts on the wire), so '&', '=' and '#' in a
// password no longer split the query. nullopt-like empty string when a text has no code page 949 form.
std::wstring StoreNoticeObject(const std::wstring& noticePath, const StoreLogin& login, int appIndex);

// The store page with the user logged in: "http://<host>/redirect.asp?menu=application&userID=..&userPwd=..",
// ID and password percent-encoded from their code page 949 bytes like a notice's.
std::wstring StoreLoginAddress(const std::wstring& storeHost, const StoreLogin& login);

// Sends the notice to the store's web host (host[:port] as built in) with POST and HTTP/1.0; the reply is not
// read. 0 when it was sent, else the error code, which callers show with StoreNoticeErrorText and go on.
DWORD SendStoreNotice(const std::wstring& storeHost, const std::wstring& noticePath, const StoreLogin& login,
                      int appIndex);
// "Error code 0x%x".
std::wstring StoreNoticeErrorText(DWORD code);

// "[Error %d]%s" with the system's text for the code; internet-library codes (12000 and above), for which the
// system has no text, are shown as 1236.
std::wstring SystemErrorText(DWORD code);
void ShowSystemError(DWORD code, IMessageBoxes& boxes, const std::wstring& appTitle);

}  // namespace platform
