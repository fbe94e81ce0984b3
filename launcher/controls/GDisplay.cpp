// GDisplay: the frame goes out with SetDIBitsToDevice straight from the DIB's memory, so presenting needs no
// memory DC and no bitmap selection.
#include "launcher/controls/GDisplay.h"

#include "platform/GdiGuards.h"

bool GDisplay::Bind(HWND window, int width, int height) {
    m_window = window;
    return m_picture.Create(width, height);
}

bool GDisplay::Present() {
    if (m_picture.IsEmpty()) {
        return false;
    }
    platform::WindowDc dc(m_window);
    if (dc.get() == nullptr) {
        return false;
    }
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info = {};
    const int width = m_picture.Width();
    const int height = m_picture.Height();
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    return ::SetDIBitsToDevice(dc.get(), 0, 0, width, height, 0, 0, 0, height, m_picture.Surface().Bits(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
}

void GDisplay::Free() {
    m_picture.Free();
    m_window = nullptr;
}
