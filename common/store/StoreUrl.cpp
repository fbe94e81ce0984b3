// Splitting of store addresses.
#include "common/store/StoreUrl.h"

#include "common/text/TextUtil.h"

namespace common {

std::optional<StoreUrl> SplitStoreUrl(std::u16string_view url, std::u16string_view scheme, uint16_t defaultPort) {
    if (!StartsWithIgnoreCase(url, scheme)) {
        return std::nullopt;
    }
    std::u16string_view rest = url.substr(scheme.size());
    size_t slash = rest.find(u'/');
    std::u16string_view host = slash == std::u16string_view::npos ? rest : rest.substr(0, slash);
    StoreUrl result;
    result.port = defaultPort;
    if (slash != std::u16string_view::npos) {
        result.object = std::u16string(rest.substr(slash));
    }
    size_t colon = host.find(u':');
    if (colon != std::u16string_view::npos) {
        std::u16string_view digits = host.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) {
            return std::nullopt;
        }
        uint32_t port = 0;
        for (char16_t c : digits) {
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
            port = port * 10 + (c - u'0');
        }
        if (port == 0 || port > 65535) {
            return std::nullopt;
        }
        result.port = static_cast<uint16_t>(port);
        host = host.substr(0, colon);
    }
    result.host = std::u16string(host);
    return result;
}

}  // namespace common
