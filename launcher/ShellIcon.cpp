// Shell icon extraction through the system image lists.
#include "launcher/ShellIcon.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include "platform/SystemLibrary.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr int kExtraLargeSize = 48;

// comctl32.dll is loaded only for a file without icons of its own: merely loaded, it keeps the visual style's
// bitmaps decoded (about 0.8 MB under Wine) for the launcher's whole life.
constexpr wchar_t kCommonControls[] = L"comctl32.dll";

HICON ImageListIcon(HIMAGELIST list, int index) {
    auto getIcon = platform::SystemLibrary::Function<decltype(&::ImageList_GetIcon)>(kCommonControls,
                                                                                      "ImageList_GetIcon");
    return getIcon != nullptr ? getIcon(list, index, ILD_NORMAL) : nullptr;
}

void ClearImageListBackground(HIMAGELIST list) {
    auto setBkColor = platform::SystemLibrary::Function<decltype(&::ImageList_SetBkColor)>(kCommonControls,
                                                                                            "ImageList_SetBkColor");
    if (setBkColor != nullptr) {
        setBkColor(list, CLR_NONE);
    }
}

// SHIL_EXTRALARGE's image list, asked first as IImageList2 and then as IImageList.
HIMAGELIST ExtraLargeImageList() {
    IImageList* list = nullptr;
    static const IID kImageList2 = {0x192b9d83, 0x50fc, 0x457b, {0x90, 0xa0, 0x2b, 0x82, 0xa8, 0xb5, 0xda, 0xe1}};
    static const IID kImageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};
    if (SUCCEEDED(::SHGetImageList(SHIL_EXTRALARGE, kImageList2, reinterpret_cast<void**>(&list))) ||
        SUCCEEDED(::SHGetImageList(SHIL_EXTRALARGE, kImageList, reinterpret_cast<void**>(&list)))) {
        // The image list belongs to the shell; the handle stays valid for the process.
        HIMAGELIST handle = reinterpret_cast<HIMAGELIST>(list);
        list->Release();
        return handle;
    }
    return nullptr;
}

// The file's own first icon at the extra-large size. For a file that carries icons this is the picture the shell
// shows; Wine's system image list answers every program with its generic icon, this call does not.
HICON OwnIcon(const std::wstring& file) {
    HICON icon = nullptr;
    UINT count = ::PrivateExtractIconsW(file.c_str(), 0, kExtraLargeSize, kExtraLargeSize, &icon, nullptr, 1, 0);
    return count == 1 ? icon : nullptr;
}

bool PictureFromIcon(HICON handle, GPicture& out) {
    platform::UniqueIcon icon(handle);
    ICONINFO iconInfo = {};
    if (!icon || !::GetIconInfo(icon.get(), &iconInfo)) {
        return false;
    }
    platform::UniqueBitmap colour(iconInfo.hbmColor);
    platform::UniqueBitmap mask(iconInfo.hbmMask);
    BITMAP bitmap = {};
    if (!colour || ::GetObjectW(colour.get(), sizeof(bitmap), &bitmap) == 0) {
        return false;
    }
    return out.FromIcon(icon.get(), bitmap.bmWidth, bitmap.bmHeight, RGB(0, 0, 0));
}

}  // namespace

bool LoadShellIcon(const std::wstring& file, GPicture& out) {
    if (file.empty() || ::ExtractIconExW(file.c_str(), -1, nullptr, nullptr, 0) == 0) {
        return false;
    }
    if (HICON own = OwnIcon(file)) {
        return PictureFromIcon(own, out);
    }
    SHFILEINFOW info = {};
    if (::SHGetFileInfoW(file.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SHELLICONSIZE) == 0) {
        return false;
    }
    platform::UniqueIcon smallIcon(info.hIcon);
    HIMAGELIST list = ExtraLargeImageList();
    if (list == nullptr) {
        SHFILEINFOW system = {};
        list = reinterpret_cast<HIMAGELIST>(
            ::SHGetFileInfoW(file.c_str(), 0, &system, sizeof(system), SHGFI_SYSICONINDEX));
        if (list == nullptr) {
            return false;
        }
        ClearImageListBackground(list);
    }
    return PictureFromIcon(ImageListIcon(list, info.iIcon), out);
}
