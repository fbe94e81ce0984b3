// Store addresses: a wrong split sends a request to the wrong host, port or object.
#include "common/store/StoreUrl.h"

#include <gtest/gtest.h>

namespace {

using common::SplitStoreUrl;

TEST(StoreUrl, SplitsHostPortAndObject) {
    const struct {
        const char16_t* url;
        const char16_t* host;
        uint16_t port;
        const char16_t* object;
    } cases[] = {
        {u"HTTP://store.example/apps/Profile.xml", u"store.example", 80, u"/apps/Profile.xml"},
        {u"http://store.example/a", u"store.example", 80, u"/a"},
        {u"Http://127.0.0.1:18080/x/y.xml?q=1", u"127.0.0.1", 18080, u"/x/y.xml?q=1"},
        {u"HTTP://hostonly", u"hostonly", 80, u""},
        {u"HTTP://host:65535", u"host", 65535, u""},
        {u"HTTP://host/path:with:colons", u"host", 80, u"/path:with:colons"},
    };
    for (const auto& c : cases) {
        auto url = SplitStoreUrl(c.url, u"HTTP://", 80);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->host, c.host);
        EXPECT_EQ(url->port, c.port);
        EXPECT_EQ(url->object, c.object);
    }
}

TEST(StoreUrl, RefusesOtherSchemesAndBadPorts) {
    for (const char16_t* url :
         {u"FTP://host/a", u"HTTPS://host/a", u"HTTP:/host", u"", u"HTTP://host:0/a", u"HTTP://host:65536/a",
          u"HTTP://host:/a", u"HTTP://host:8o/a", u"HTTP://host:123456/"}) {
        EXPECT_FALSE(SplitStoreUrl(url, u"HTTP://", 80).has_value()) << static_cast<int>(url[0]);
    }
    auto ftp = SplitStoreUrl(u"ftp://files.example:2121/pub/a.bin", u"FTP://", 21);
    ASSERT_TRUE(ftp.has_value());
    EXPECT_EQ(ftp->port, 2121);
}

}  // namespace
