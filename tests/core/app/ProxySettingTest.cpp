#include <gtest/gtest.h>

#include "core/app/ProxySetting.h"
#include "core/app/UserSettings.h"

namespace vantrel {
namespace {

TEST(ProxySetting, OnlyATickedProxyWithAnAddressIsUsed) {
    const struct {
        bool used;
        const char* address;
        const char* port;
        const char* expected;
    } cases[] = {{true, "proxy.lan", "3128", "proxy.lan:3128"},
                 {true, "proxy.lan", "", "proxy.lan:8080"},
                 {true, "", "3128", ""},
                 {false, "proxy.lan", "3128", ""}};
    for (const auto& c : cases) {
        UserSettings settings;
        settings.ProxyIsUsed = c.used;
        settings.ProxyAddr = c.address;
        settings.ProxyPort = c.port;
        EXPECT_EQ(ProxyAddressOf(settings), c.expected) << c.address << " " << c.port << " " << c.used;
    }
}

}  // namespace
}  // namespace vantrel
