// Bounds-checked access to fixed-size little-endian records: the one place where record fields become bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace common {

// Reads fields of a record held in a byte buffer. A field that does not lie wholly inside the buffer
// reads as zero or empty text, so a short buffer can never be read past its end.
class RecordReader {
public:
    RecordReader(const void* data, size_t size) : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}

    bool Covers(size_t offset, size_t length) const { return offset <= m_size && length <= m_size - offset; }
    int32_t I32(size_t offset) const;
    uint8_t U8(size_t offset) const;
    // UTF-16 text of a field of `units` code units: up to the first NUL or the field's end.
    std::u16string Text(size_t offset, size_t units) const;

private:
    const uint8_t* m_data;
    size_t m_size;
};

// Writes fields into a zero-initialised byte buffer. Writes outside the buffer are dropped and reported
// through ok(); text is cut so that the field always keeps its terminating NUL.
class RecordWriter {
public:
    RecordWriter(void* data, size_t size) : m_data(static_cast<uint8_t*>(data)), m_size(size) {}

    void I32(size_t offset, int32_t value);
    void U8(size_t offset, uint8_t value);
    void Text(size_t offset, size_t units, const std::u16string& text);
    bool ok() const { return m_ok; }

private:
    bool Covers(size_t offset, size_t length) const { return offset <= m_size && length <= m_size - offset; }

    uint8_t* m_data;
    size_t m_size;
    bool m_ok = true;
};

}  // namespace common
