// The skin bitmaps built into Tolv.exe, loaded once as 16-bit pictures with black as their key colour.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "launcher/controls/GPicture.h"

// Pictures are loaded on first use and kept until the skin is destroyed; a bitmap that cannot be loaded stays
// an empty picture, which draws nothing. UI thread only.
class CSkin {
public:
    explicit CSkin(HINSTANCE instance) : m_instance(instance) {}
    CSkin(const CSkin&) = delete;
    CSkin& operator=(const CSkin&) = delete;

    // The picture of bitmap resource `id`; never null.
    GPicture* Get(int id);

private:
    HINSTANCE m_instance;
    std::map<int, std::unique_ptr<GPicture>> m_pictures;
};
