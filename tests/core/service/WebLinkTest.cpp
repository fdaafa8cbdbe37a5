#include <gtest/gtest.h>

#include "core/service/WebLink.h"

using namespace vantrel;

TEST(WebLink, OnlyHttpAndHttpsAddressesWithAHost) {
    const std::pair<const char*, bool> cases[] = {
        {"http://example.test/download", true},
        {"https://example.test/account?session=abc", true},
        {"HTTPS://Example.test", true},
        {"http://127.0.0.1:8080/advert?email=a@b.test", true},
        {"file:///etc/passwd", false},
        {"FILE:///etc/passwd", false},
        {"/etc/passwd", false},
        {"javascript:alert(1)", false},
        {"mailto:someone@example.test", false},
        {"smb://server/share", false},
        {"http:///etc/passwd", false},
        {"http://", false},
        {"https:example.test", false},
        {" http://example.test", false},
        {"http://example.test/a b", false},
        {"http://example.test/\n", false},
        {"httpx://example.test", false},
        {"", false},
    };
    for (const auto& [address, web] : cases) EXPECT_EQ(IsWebLink(address), web) << address;
}
