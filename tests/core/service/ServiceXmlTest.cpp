#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>

#include "core/TempFolder.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/ServiceXml.h"
#include "core/service/XmlRpcResponse.h"

using namespace vantrel;

namespace {

// Runs `work` on a thread with a small stack, as a worker thread may have: a reader that
// recursed once per level of nesting would overflow it long before 50,000 levels.
void RunOnSmallStack(const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

std::string Nested(const std::string& tag, int depth, const std::string& inner) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) open += "<" + tag + ">", close += "</" + tag + ">";
    return open + inner + close;
}

std::string Translate(std::string_view key) { return "[" + std::string(key) + "]"; }

}  // namespace

TEST(ServiceXml, DescendantTextInDocumentOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"<v/>", ""},
        {"<v>plain</v>", "plain"},
        {"<v><string>a<b>b</b>c</string><i>d</i></v>", "abcd"},
        {"<v><![CDATA[<x>]]><e/>y<e><e>z</e></e></v>", "<x>yz"},
        {"<v><a><b><c>deep</c></b></a>after</v>", "deepafter"},
    };
    for (const auto& [xml, text] : cases) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(xml)) << xml;
        EXPECT_EQ(DescendantText(doc.first_child()), text) << xml;
        // Text outside the node is never reached, even when the walk climbs back up.
        pugi::xml_document wrapped;
        ASSERT_TRUE(wrapped.load_string(("<w>before" + std::string(xml) + "after</w>").c_str()));
        EXPECT_EQ(DescendantText(wrapped.first_child().first_child().next_sibling()), text) << xml;
    }
}

TEST(ServiceXml, DeeplyNestedAnswersAreReadWithoutRecursion) {
    test::TempFolder dir;
    const std::string member = "<member><name>code</name><value>" + Nested("value", 50'000, "bottom") +
                               "</value></member><member><name>objectid</name><value>7</value></member>";
    const std::string answer = "<methodResponse><params><param><value><struct>" + member +
                               "</struct></value></param></params></methodResponse>";
    const std::string settings = "<plist><dict><key>com.vantrel2.uploader_pc</key><dict><key>ftp_host</key>" +
                                 Nested("string", 50'000, "h") + "</dict></dict></plist>";
    const std::string rpcPath = dir.Write("deep.xml", answer);
    const std::string settingsPath = dir.Write("deep.plist", settings);
    std::string code;
    RemoteSettingsResult settingsResult;
    RunOnSmallStack([&] {
        auto session = ReadSessionNewResponse(rpcPath);
        if (session) code = session->code;
        TRemoteSettings remote;
        settingsResult = ReadRemoteSettingsFile(settingsPath, "GB", remote);
    });
    EXPECT_EQ(code, "bottom");
    EXPECT_TRUE(settingsResult.ok());
}

TEST(ServiceXml, ExcerptKeepsMessagesShort) {
    const std::string shortLine(kExcerptLimit, 'a');
    EXPECT_EQ(Excerpt(shortLine, 50), shortLine);

    std::string line(10'000, 'x');
    line.replace(5'000, 5, "ERROR");
    const std::string middle = Excerpt(line, 5'000);
    EXPECT_EQ(middle.size(), kExcerptLimit + 6);
    EXPECT_EQ(middle.rfind("...", 0), 0u);
    EXPECT_NE(middle.find("ERROR"), std::string::npos);
    EXPECT_EQ(middle.substr(middle.size() - 3), "...");

    EXPECT_EQ(Excerpt(line, 0).rfind(std::string(kExcerptLimit, 'x') + "...", 0), 0u);
    EXPECT_EQ(Excerpt(line, line.size()).substr(0, 3), "...");
    EXPECT_EQ(Excerpt(line, line.size()).size(), kExcerptLimit + 3);

    // Two-byte characters everywhere: the cut never splits one.
    std::string accents;
    for (int i = 0; i < 500; ++i) accents += "\xC3\xA9";
    for (std::size_t at : {0u, 1u, 333u, 999u}) {
        std::string cut = Excerpt(accents, at);
        if (cut.rfind("...", 0) == 0) cut.erase(0, 3);
        if (cut.ends_with("...")) cut.resize(cut.size() - 3);
        EXPECT_LE(cut.size(), kExcerptLimit);
        EXPECT_EQ(cut.size() % 2, 0u) << at;
        EXPECT_EQ(cut.substr(0, 2), "\xC3\xA9") << at;
    }
}

TEST(ServiceXml, ErrorTextsQuoteOnlyAnExcerptOfHugeLines) {
    test::TempFolder dir;
    // A one-line document of 4 MB that breaks near its end.
    const std::string huge = "<methodResponse>" + std::string(4'000'000, 'p') + "<broken</methodResponse>";
    auto loaded = ReadSessionNewResponse(dir.Write("huge.xml", huge));
    ASSERT_FALSE(loaded);
    const std::string message = loaded.error().Message(Translate);
    EXPECT_LT(message.size(), 400u);
    EXPECT_EQ(message.rfind("[RPC_RequestErr] ...ppp", 0), 0u) << message;
    EXPECT_NE(message.find("<broken"), std::string::npos) << message;

    const auto number = ParseWholeNumber(std::string(1'000'000, '7'));
    ASSERT_FALSE(number);
    EXPECT_LT(number.error().size(), 200u);
    EXPECT_EQ(number.error().rfind("'777", 0), 0u);
    EXPECT_EQ(number.error().substr(number.error().size() - 33), "...' is not a valid integer value");
}
