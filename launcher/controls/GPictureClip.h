// An owning list of pictures plus one further picture; clearing or destroying it frees them all.
#pragma once

#include <memory>
#include <vector>

#include "launcher/controls/GPicture.h"

class GPictureClip {
  public:
    GPictureClip() = default;
    virtual ~GPictureClip() = default;
    GPictureClip(const GPictureClip&) = delete;
    GPictureClip& operator=(const GPictureClip&) = delete;

    // Replaces the list with `count` empty pictures and a fresh further picture.
    void Reset(size_t count);
    void Clear();
    size_t Count() const { return m_pictures.size(); }
    // nullptr past the end.
    GPicture* At(size_t index);
    GPicture& Extra() { return m_extra; }

  private:
    std::vector<std::unique_ptr<GPicture>> m_pictures;
    GPicture m_extra;
};
