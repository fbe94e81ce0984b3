// GPictureClip: ownership of a set of pictures.
#include "launcher/controls/GPictureClip.h"

void GPictureClip::Reset(size_t count) {
    Clear();
    m_pictures.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        m_pictures.push_back(std::make_unique<GPicture>());
    }
}

void GPictureClip::Clear() {
    m_pictures.clear();
    m_extra.Free();
}

GPicture* GPictureClip::At(size_t index) {
    return index < m_pictures.size() ? m_pictures[index].get() : nullptr;
}
