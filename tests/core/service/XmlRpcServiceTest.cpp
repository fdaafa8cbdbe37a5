#include <gtest/gtest.h>

#include "core/TempFolder.h"

#include <filesystem>

#include "core/service/XmlRpcService.h"
#include "core/support/StandinService.h"

using namespace vantrel;
using Kind = RpcError::Kind;

namespace {

std::string Translate(std::string_view key) { return "[" + std::string(key) + "]"; }

}  // namespace

TEST(XmlRpcService, SessionLoginAlbumsAgainstTheStandin) {
    test::StandinService service;
    ASSERT_TRUE(service.ok()) << service.error();
    test::TempFolder work;
    HttpClient http;
    XmlRpcService rpc(http, service.scriptUrl(), work.Path());

    auto session = rpc.SessionNew();
    ASSERT_TRUE(session) << session.error().error;
    EXPECT_FALSE(session->code.empty());

    // A wrong password is a fault: false, nothing to show.
    auto refused = rpc.SessionLogin(session->objectId, session->code, "demo@vantrel.test", "wrong");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, Kind::Fault);
    EXPECT_EQ(refused.error().Message(Translate), "");

    // The session's cookie travels with the later calls; the stand-in refuses them without it.
    auto member = rpc.SessionLogin(session->objectId, session->code, "demo@vantrel.test", "demo");
    ASSERT_TRUE(member) << static_cast<int>(member.error().kind);
    EXPECT_EQ(*member, "1001");
    HttpClient noCookies;
    XmlRpcService stranger(noCookies, service.scriptUrl(), work.Path());
    EXPECT_EQ(stranger.MemberGetAlbumList(*member, session->code).error().kind, Kind::Fault);

    auto none = rpc.MemberGetAlbumList(*member, session->code);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    auto first = rpc.MemberCreateAlbum(*member, session->code, "Sea & Sun");
    auto second = rpc.MemberCreateAlbum(*member, session->code, "Sea & Sun");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    auto listed = rpc.MemberGetAlbumList(*member, session->code);
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 2u);
    EXPECT_EQ((*listed)[0].name, "Sea & Sun");
    EXPECT_EQ((*listed)[0].id, *first);
    EXPECT_EQ((*listed)[1].id, *second);
    EXPECT_TRUE(std::filesystem::exists(work.Path() + "Temp.xml"));

    ASSERT_TRUE(service.ExpireSessions());
    EXPECT_EQ(rpc.MemberGetAlbumList(*member, session->code).error().kind, Kind::Fault);
}

TEST(XmlRpcService, RefusalsAndBrokenAnswers) {
    test::StandinService service({"refuse-login"});
    ASSERT_TRUE(service.ok()) << service.error();
    test::TempFolder work;
    HttpClient http;
    XmlRpcService rpc(http, service.scriptUrl(), work.Path());

    auto session = rpc.SessionNew();
    ASSERT_TRUE(session);
    EXPECT_EQ(rpc.SessionLogin(session->objectId, session->code, "demo@vantrel.test", "demo").error().kind,
              Kind::Fault);

    ASSERT_TRUE(service.SetFault("rpc-http-500", true));
    auto failed = rpc.SessionNew();
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, Kind::Transport);
    EXPECT_TRUE(failed.error().Propagates());
    EXPECT_EQ(failed.error().Message(Translate), "[RPC_Error]");
    EXPECT_EQ(std::filesystem::file_size(work.Path() + "Temp.xml"), 0u);  // nothing of the error page kept
    ASSERT_TRUE(service.SetFault("rpc-http-500", false));

    ASSERT_TRUE(service.SetFault("rpc-html-200", true));
    auto html = rpc.SessionNew();
    ASSERT_FALSE(html);
    EXPECT_EQ(html.error().kind, Kind::NotXml);
    EXPECT_EQ(html.error().Message(Translate).rfind("[RPC_RequestErr] ", 0), 0u);

    XmlRpcService nowhere(http, "http://127.0.0.1:1/xmlrpc", work.Path());
    EXPECT_EQ(nowhere.SessionNew().error().kind, Kind::Transport);
}
