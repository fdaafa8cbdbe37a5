#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/service/XmlRpcResponse.h"

using namespace vantrel;
using Kind = RpcError::Kind;

namespace {

struct TempFile {
    std::string path = (std::filesystem::temp_directory_path() / ("vantrel-rpc-" + std::to_string(::getpid()) + ".xml")).string();
    ~TempFile() { std::filesystem::remove(path); }
    const std::string& Write(const std::string& content) const {
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
};

std::string Members(const std::string& members) {
    return "<?xml version=\"1.0\"?>\n<methodResponse><params><param><value><struct>\n" + members +
           "\n</struct></value></param></params></methodResponse>\n";
}

std::string Member(const std::string& name, const std::string& value) {
    return "<member><name>" + name + "</name><value>" + value + "</value></member>";
}

std::string Albums(const std::string& entries) {
    return "<?xml version=\"1.0\"?>\n<methodResponse><params><param><value><array><data>\n" + entries +
           "\n</data></array></value></param></params></methodResponse>\n";
}

std::string Album(const std::string& name, const std::string& id) {
    return "<value><struct>" + Member("name", "<string>" + name + "</string>") + id + "</struct></value>";
}

const std::string kFault =
    "<?xml version=\"1.0\"?>\n<methodResponse><fault><value><struct>" + Member("faultCode", "<int>10</int>") +
    Member("faultString", "<string>Wrong password</string>") + "</struct></value></fault></methodResponse>";

std::string Translate(std::string_view key) { return "[" + std::string(key) + "]"; }

}  // namespace

TEST(XmlRpcResponse, SessionNew) {
    TempFile f;
    auto both = ReadSessionNewResponse(f.Write(Members(Member("code", "<string>abc</string>") +
                                                       Member("objectid", "<string>77</string>"))));
    ASSERT_TRUE(both);
    EXPECT_EQ(both->code, "abc");
    EXPECT_EQ(both->objectId, "77");

    auto later = ReadSessionNewResponse(f.Write(Members(Member("objectid", "<int>1</int>") + Member("code", "x") +
                                                        Member("objectid", "2"))));
    ASSERT_TRUE(later);
    EXPECT_EQ(later->objectId, "2");

    const std::pair<std::string, Kind> failures[] = {
        {Members(Member("objectid", "<string>77</string>")), Kind::Missing},
        {Members(Member("Code", "a") + Member("objectid", "1")), Kind::Missing},
        {kFault, Kind::Fault},
        {"", Kind::NotXml},
        {"<html><body><p>Maintenance<br></p></body></html>", Kind::NotXml},
    };
    for (const auto& [content, kind] : failures) {
        auto r = ReadSessionNewResponse(f.Write(content));
        ASSERT_FALSE(r) << content;
        EXPECT_EQ(r.error().kind, kind) << content;
        EXPECT_FALSE(r.error().Propagates());
    }
    EXPECT_EQ(ReadSessionNewResponse(f.Write("")).error().Message(Translate), "[RPC_NoFile]");
    EXPECT_EQ(ReadSessionNewResponse(f.Write("<html><body><p>Maintenance<br></p></body></html>"))
                  .error().Message(Translate).rfind("[RPC_RequestErr] <html><body><p>Maintenance<br></p></body></html>\r\n", 0),
              0u);
    EXPECT_EQ(ReadSessionNewResponse(f.Write(kFault)).error().Message(Translate), "");
}

TEST(XmlRpcResponse, SessionLoginTakesTheFirstMemberId) {
    TempFile f;
    auto r = ReadSessionLoginResponse(f.Write(Members(Member("member_id", "<string>1001</string>") +
                                                      Member("member_id", "<string>2002</string>"))));
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, "1001");
    EXPECT_EQ(ReadSessionLoginResponse(f.Write(Members(Member("member", "1")))).error().kind, Kind::Missing);
    EXPECT_EQ(ReadSessionLoginResponse(f.Write(kFault)).error().kind, Kind::Fault);
}

TEST(XmlRpcResponse, AlbumList) {
    TempFile f;
    auto empty = ReadAlbumListResponse(f.Write(Albums("")));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    auto twins = ReadAlbumListResponse(f.Write(Albums(Album("Sea &amp; Sun", Member("id", "<int>5</int>")) +
                                                      Album("Sea &amp; Sun", Member("id", "6")) +
                                                      Album("Caf\xC3\xA9", Member("id", "<i4> -7 </i4>")))));
    ASSERT_TRUE(twins);
    ASSERT_EQ(twins->size(), 3u);
    EXPECT_EQ((*twins)[0].name, "Sea & Sun");
    EXPECT_EQ((*twins)[0].id, 5);
    EXPECT_EQ((*twins)[1].id, 6);
    EXPECT_EQ((*twins)[2].name, "Caf\xC3\xA9");
    EXPECT_EQ((*twins)[2].id, -7);

    for (const std::string& bad : {Album("a", ""), Album("a", Member("id", "<string>x1</string>")),
                                   Album("a", Member("id", "<int>99999999999</int>"))}) {
        auto r = ReadAlbumListResponse(f.Write(Albums(bad)));
        ASSERT_FALSE(r) << bad;
        EXPECT_EQ(r.error().kind, Kind::Conversion);
        EXPECT_TRUE(r.error().Propagates());
    }
    EXPECT_EQ(ReadAlbumListResponse(f.Write(kFault)).error().kind, Kind::Fault);
}

TEST(XmlRpcResponse, CreateAlbum) {
    TempFile f;
    auto r = ReadCreateAlbumResponse(f.Write(Members(Member("id", "<int>42</int>") + Member("id", "<int>43</int>"))));
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, 42);
    for (const std::string& bad : {Members(Member("name", "x")), Members(Member("id", "<string>4 2</string>"))}) {
        auto failed = ReadCreateAlbumResponse(f.Write(bad));
        ASSERT_FALSE(failed) << bad;
        EXPECT_EQ(failed.error().kind, Kind::Missing);
        EXPECT_FALSE(failed.error().Propagates());
    }
}
