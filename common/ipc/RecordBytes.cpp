// Little-endian field access for fixed records.
#include "common/ipc/RecordBytes.h"

namespace common {

int32_t RecordReader::I32(size_t offset) const {
    if (!Covers(offset, 4)) {
        return 0;
    }
    const uint8_t* p = m_data + offset;
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return static_cast<int32_t>(v);
}

uint8_t RecordReader::U8(size_t offset) const {
    return Covers(offset, 1) ? m_data[offset] : 0;
}

std::u16string RecordReader::Text(size_t offset, size_t units) const {
    std::u16string text;
    if (!Covers(offset, units * 2)) {
        return text;
    }
    const uint8_t* p = m_data + offset;
    for (size_t i = 0; i < units; ++i) {
        char16_t c = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
        if (c == 0) {
            break;
        }
        text.push_back(c);
    }
    return text;
}

void RecordWriter::I32(size_t offset, int32_t value) {
    if (!Covers(offset, 4)) {
        m_ok = false;
        return;
    }
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        m_data[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

void RecordWriter::U8(size_t offset, uint8_t value) {
    if (!Covers(offset, 1)) {
        m_ok = false;
        return;
    }
    m_data[offset] = value;
}

void RecordWriter::Text(size_t offset, size_t units, const std::u16string& text) {
    if (units == 0 || !Covers(offset, units * 2)) {
        m_ok = false;
        return;
    }
    size_t count = text.size() < units ? text.size() : units - 1;
    uint8_t* p = m_data + offset;
    for (size_t i = 0; i < units; ++i) {
        char16_t c = i < count ? text[i] : u'\0';
        p[2 * i] = static_cast<uint8_t>(c & 0xFF);
        p[2 * i + 1] = static_cast<uint8_t>(c >> 8);
    }
}

}  // namespace common
