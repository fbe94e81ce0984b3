// PNG writing for screenshots: 8-bit RGB, one IDAT, fixed-Huffman deflate. Portable (no Win32).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kdrive {

// CRC-32 as PNG chunks use it (reflected 0xEDB88320, pre- and post-inverted). Pass a previous result to continue.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// Adler-32 as the zlib trailer uses it.
uint32_t Adler32(const uint8_t* data, size_t size);

// A complete zlib stream (header, one fixed-Huffman deflate block, Adler-32 trailer).
std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size);

// rgb holds height rows of width * 3 bytes, top row first. Returns an empty vector for a zero-sized image,
// which PNG cannot express.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const uint8_t* rgb);

}  // namespace kdrive
