// Skin bitmaps from the executable's resources.
#include "launcher/Skin.h"

GPicture* CSkin::Get(int id) {
    auto found = m_pictures.find(id);
    if (found != m_pictures.end()) {
        return found->second.get();
    }
    auto picture = std::make_unique<GPicture>();
    picture->LoadResourceBitmap(m_instance, id);
    picture->SetKeyColor(RGB(0, 0, 0));
    GPicture* result = picture.get();
    m_pictures.emplace(id, std::move(picture));
    return result;
}
