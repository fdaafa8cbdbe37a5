#include <gtest/gtest.h>

#include "core/service/LocalDateTime.h"
#include "core/service/XmlRpcService.h"
#include "core/service/XmlRpcRequest.h"

using namespace vantrel;

namespace {

// The frame every request shares around its two params.
std::string Call(const std::string& method, const std::string& metaMembers, const std::string& argument) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<methodCall>\n"
           "  <methodName>" + method + "</methodName>\n"
           "  <params>\n"
           "    <param>\n"
           "      <value>\n"
           "        <struct>\n"
           "          <member>\n"
           "            <name>__meta</name>\n"
           "            <value>\n"
           "              <struct>\n" + metaMembers +
           "              </struct>\n"
           "            </value>\n"
           "          </member>\n"
           "        </struct>\n"
           "      </value>\n"
           "    </param>\n"
           "    <param>\n" + argument +
           "    </param>\n"
           "  </params>\n"
           "</methodCall>\n";
}

std::string MetaMember(const std::string& name, const std::string& type, const std::string& text) {
    return "                <member>\n"
           "                  <name>" + name + "</name>\n"
           "                  <value><" + type + ">" + text + "</" + type + "></value>\n"
           "                </member>\n";
}

std::string StructArgument(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out = "      <value>\n        <struct>\n";
    for (const auto& [name, text] : members) {
        out += "          <member>\n            <name>" + name + "</name>\n            <value><string>" + text +
               "</string></value>\n          </member>\n";
    }
    return out + "        </struct>\n      </value>\n";
}

}  // namespace

TEST(XmlRpcRequest, DocumentsByteForByte) {
    EXPECT_EQ(BuildSessionNewRequest("2008-01-01 23:30:00"),
              Call("Community.Session.New", MetaMember("clientid", "int", "1"),
                   StructArgument({{"expiry", "2008-01-01 23:30:00"}})));
    EXPECT_EQ(BuildSessionLoginRequest("c0de", "77", "a&b@x.test", "p<w>"),
              Call("Community.Session.Login",
                   MetaMember("sessioncode", "string", "c0de") + MetaMember("objectid", "string", "77"),
                   StructArgument({{"email", "a&amp;b@x.test"}, {"password", "p&lt;w&gt;"}})));
    EXPECT_EQ(BuildMemberGetAlbumListRequest("1001", "c0de"),
              Call("Community.Member.GetAlbumList",
                   MetaMember("objectid", "string", "1001") + MetaMember("sessioncode", "string", "c0de"),
                   "      <value><string>1001</string></value>\n"));
    EXPECT_EQ(BuildMemberCreateAlbumRequest("1001", "c0de", "Sea & Sun \xC3\xA9t\xC3\xA9"),
              Call("Community.Member.CreateAlbum",
                   MetaMember("objectid", "string", "1001") + MetaMember("sessioncode", "string", "c0de"),
                   StructArgument({{"name", "Sea &amp; Sun \xC3\xA9t\xC3\xA9"}})));
}

TEST(XmlRpcRequest, EscapedText) {
    const std::pair<std::string, std::string> cases[] = {
        {"Sea & Sun", "Sea &amp; Sun"},
        {"<b>\"'", "&lt;b&gt;\"'"},
        {"\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},                // valid UTF-8 kept
        {"caf\xE9", "caf\xEF\xBF\xBD"},                     // a stray Latin-1 byte becomes U+FFFD
        {"a\x01" "b\tc\n", "ab\tc\n"},                      // control characters XML forbids are dropped
        {"\xF0\x9F\x93\xB7", "\xF0\x9F\x93\xB7"},           // four-byte sequence
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // encoded surrogate is not UTF-8
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(XmlEscapeText(in), out) << in;
}

TEST(XmlRpcRequest, ExpiryIsTheSameTimeNextDay) {
    struct Case {
        LocalDateTime now;
        const char* expiry;
    };
    const Case cases[] = {
        {{2007, 12, 31, 23, 30, 0}, "2008-01-01 23:30:00"},
        {{2008, 2, 28, 8, 5, 9}, "2008-02-29 08:05:09"},
        {{2008, 2, 29, 0, 0, 0}, "2008-03-01 00:00:00"},
        {{2007, 2, 28, 12, 0, 59}, "2007-03-01 12:00:59"},
        {{2009, 4, 30, 1, 2, 3}, "2009-05-01 01:02:03"},
    };
    for (const auto& c : cases) EXPECT_EQ(SessionExpiry(c.now), c.expiry);
}
