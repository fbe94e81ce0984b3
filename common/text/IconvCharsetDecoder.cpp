// Page decoding through iconv (native build only; the Windows build decodes through its code pages).
#include "common/text/IconvCharsetDecoder.h"

#if !defined(_WIN32)

#include <cerrno>
#include <iconv.h>

#include <cstring>

#include "common/text/Utf.h"

namespace common {

namespace {

std::string LowerBytes(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Closes the descriptor on every way out.
class Converter {
public:
    explicit Converter(const char* from) : m_handle(iconv_open("UTF-16LE", from)) {}
    ~Converter() {
        if (IsOpen()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

void AppendUtf16Le(std::u16string& out, const char* data, size_t size) {
    for (size_t i = 0; i + 1 < size; i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<uint8_t>(data[i]) | (static_cast<uint8_t>(data[i + 1]) << 8)));
    }
}

}  // namespace

const char* IconvCharsetName(std::string_view charset) {
    std::string name = LowerBytes(charset);
    if (name == "utf-8" || name == "utf8") {
        return "UTF-8";
    }
    if (name == "euc-kr" || name == "euc_kr" || name == "euckr" || name == "cp949" || name == "ks_c_5601-1987" ||
        name == "ks_c_5601" || name == "ksc5601" || name == "x-windows-949" || name == "windows-949" ||
        name == "uhc" || name == "ms949") {
        return "CP949";
    }
    return nullptr;
}

std::optional<std::u16string> IconvCharsetDecoder::Decode(std::string_view bytes, std::string_view charset) {
    const char* name = IconvCharsetName(charset);
    if (name == nullptr) {
        return std::nullopt;
    }
    if (std::strcmp(name, "UTF-8") == 0) {
        return Utf8ToUtf16(bytes);
    }
    Converter converter(name);
    if (!converter.IsOpen()) {
        return std::nullopt;
    }
    std::u16string out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(converter.Handle(), &in, &inLeft, &outAt, &outLeft);
        AppendUtf16Le(out, buffer, sizeof buffer - outLeft);
        if (result != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // A byte that does not start a character here (EILSEQ), or a sequence cut off by the end (EINVAL):
        // one replacement character, and decoding goes on at the next byte.
        out.push_back(kReplacementChar);
        ++in;
        --inLeft;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace common

#endif
