// Screenshots of the whole screen or of one window's rectangle, saved as PNG.
//
// A window is shot as what the screen shows in its rectangle (BitBlt from the screen DC), not with PrintWindow:
// that includes whatever covers it and the effect of a layered window's colour key, which is what a user sees.
#include "Shot.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Console.h"
#include "Handles.h"
#include "Png.h"
#include "TopWindows.h"

namespace kdrive {
namespace {

// rgb receives top-down rows of width * 3 bytes.
bool CaptureScreenRect(const RECT& rect, std::vector<uint8_t>* rgb) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    WindowDc screen(nullptr);
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!screen.get() || !memory) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as PNG wants it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;  // no row padding to skip
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return false;
    }
    {
        SelectGuard select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
            return false;
        }
    }
    GdiFlush();
    const uint8_t* bgrx = static_cast<const uint8_t*>(bits);
    const size_t pixels = static_cast<size_t>(width) * height;
    rgb->resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        (*rgb)[i * 3 + 0] = bgrx[i * 4 + 2];
        (*rgb)[i * 3 + 1] = bgrx[i * 4 + 1];
        (*rgb)[i * 3 + 2] = bgrx[i * 4 + 0];
    }
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

int RunShot(const Args& args) {
    if (args.Has(L"title") && !args.Has(L"class")) {
        return UsageError(L"--title needs --class");
    }
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (args.Has(L"class")) {
        HWND hwnd = FindTargetOrFail(args);
        if (!hwnd) {
            return kExitFailed;
        }
        RECT windowRect = {};
        GetWindowRect(hwnd, &windowRect);
        if (!IntersectRect(&rect, &rect, &windowRect)) {
            return Fail(L"window " + HexHandle(hwnd) + L" is entirely off screen");
        }
    }
    std::vector<uint8_t> rgb;
    if (!CaptureScreenRect(rect, &rgb)) {
        return FailWithLastError(L"screen capture failed");
    }
    const std::wstring path = args.Text(L"out");
    std::vector<uint8_t> png = EncodePng(rect.right - rect.left, rect.bottom - rect.top, rgb.data());
    if (!WriteWholeFile(path, png)) {
        return FailWithLastError(L"cannot write '" + path + L"'");
    }
    return kExitOk;
}

}  // namespace kdrive
