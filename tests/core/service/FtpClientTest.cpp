#include <algorithm>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/service/FtpClient.h"
#include "core/service/FtpReply.h"
#include "core/service/FtpFakeServer.h"

namespace vantrel {
namespace {

using test::FtpFakeServer;
using test::StandardLogin;

TEST(FtpReplyTest, AssemblesSingleAndMultiLineReplies) {
    struct Case {
        std::vector<std::string> lines;
        int code;
        std::string text;
    };
    const Case cases[] = {
        {{"220 ready"}, 220, "ready"},
        {{"200"}, 200, ""},
        {{"230-Welcome", "  to the server", "230-more", "230 done"}, 230, "Welcome\n  to the server\nmore\ndone"},
        // A line with another code inside a multi-line reply does not end it.
        {{"211-Features", "215 not the end", "211 End"}, 211, "Features\n215 not the end\nEnd"},
    };
    for (const auto& c : cases) {
        FtpReplyAssembler assembler;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            auto done = assembler.AddLine(c.lines[i]);
            ASSERT_TRUE(done.has_value()) << c.lines[i];
            EXPECT_EQ(*done, i + 1 == c.lines.size()) << c.lines[i];
        }
        EXPECT_EQ(assembler.Reply().code, c.code);
        EXPECT_EQ(assembler.Reply().text, c.text);
    }
    for (const char* bad : {"", "22 short", "abc text", "2200 x", "220x"}) {
        FtpReplyAssembler assembler;
        EXPECT_FALSE(assembler.AddLine(bad).has_value()) << bad;
    }
}

TEST(FtpReplyTest, ReplyCodeSets) {
    EXPECT_TRUE(IsFtpCodeIn(250, {200, 250}));
    EXPECT_FALSE(IsFtpCodeIn(257, {200, 250}));
    EXPECT_FALSE(IsFtpCodeIn(0, {}));
}

TEST(FtpReplyTest, ParsesPassiveReplies) {
    struct Case {
        std::string text;
        std::string host;
        int port;  // -1: refused
    };
    const Case cases[] = {
        {"Entering Passive Mode (127,0,0,1,4,1).", "127.0.0.1", 1025},
        {"Passive 9,9,9,9,1,1 then (10,0,0,2,255,255)", "10.0.0.2", 65535},
        {"Entering Passive Mode 192,168,1,20,0,21", "192.168.1.20", 21},
        {"=1,2,3,4,5,6", "", -1},  // after the last blank, "=" is not a number
        {"(1,2,3,4,5)", "", -1},
        {"(1,2,3,4,5,6,7)", "", -1},
        {"(1,2,3,256,5,6)", "", -1},
        {"(1,2,3,-4,5,6)", "", -1},
        {"(1,2,,4,5,6)", "", -1},
        {"(1, 2,3,4,5,6)", "", -1},
        {"Entering Passive Mode (1,2,3,4,5,6", "", -1},  // no ")": the text after the last blank
        {"", "", -1},
    };
    for (const auto& c : cases) {
        auto address = ParsePasvReply(c.text);
        if (c.port < 0) {
            EXPECT_FALSE(address.has_value()) << c.text;
        } else {
            ASSERT_TRUE(address.has_value()) << c.text << ": " << address.error();
            EXPECT_EQ(address->host, c.host) << c.text;
            EXPECT_EQ(address->port, c.port) << c.text;
        }
    }
}

TEST(FtpReplyTest, SplitsHostAndPort) {
    struct Case {
        std::string text;
        std::string host;
        int port;  // -1: refused
    };
    const Case cases[] = {
        {"ftp.example.net", "ftp.example.net", 21}, {"127.0.0.1:2121", "127.0.0.1", 2121},
        {"[::1]:2100", "::1", 2100},                {"::1", "::1", 21},
        {"host:", "", -1},                          {"host:0", "", -1},
        {"host:70000", "", -1},                     {"host:21x", "", -1},
        {"", "", -1},
    };
    for (const auto& c : cases) {
        auto endpoint = ParseFtpHost(c.text);
        if (c.port < 0) {
            EXPECT_FALSE(endpoint.has_value()) << c.text;
        } else {
            ASSERT_TRUE(endpoint.has_value()) << c.text;
            EXPECT_EQ(endpoint->host, c.host);
            EXPECT_EQ(endpoint->port, c.port);
        }
    }
}

class FtpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("ftp-client-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string MakeFile(const std::string& name, std::size_t size) {
        std::string path = (folder_ / name).string();
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 + i / 251));
        return path;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path folder_;
};

TEST_F(FtpClientTest, LogsInWithOrWithoutPassword) {
    for (bool direct : {false, true}) {
        FtpFakeServer server(
            [direct](FtpFakeServer&, const std::string& command) -> std::string {
                if (direct && command.rfind("USER ", 0) == 0) return "230 no password needed\r\n";
                if (command == "SYST") return "500 not understood\r\n";  // accepted too
                return StandardLogin(command);
            },
            "220-Welcome\r\n220-to the test\r\n220 ready\r\n");
        FtpClient client({server.Host(), "anna", "secret", {}});
        client.FtpConnect();
        EXPECT_TRUE(client.FtpConnected());
        std::vector<std::string> expected = {"USER anna", "PASS secret", "TYPE I", "SYST"};
        if (direct) expected.erase(expected.begin() + 1);
        EXPECT_EQ(server.Commands(), expected);
        client.FtpDisconnect();
        EXPECT_FALSE(client.FtpConnected());
    }
}

TEST_F(FtpClientTest, RefusedLoginFailsAndCloses) {
    FtpFakeServer server([](FtpFakeServer&, const std::string& command) -> std::string {
        if (command.rfind("PASS ", 0) == 0) return "530 Login incorrect\r\n";
        return StandardLogin(command);
    });
    FtpClient client({server.Host(), "anna", "wrong", {}});
    EXPECT_THROW(client.FtpConnect(), FtpError);
    EXPECT_FALSE(client.FtpConnected());
    EXPECT_EQ(client.LastReply().code, 530);
}

TEST_F(FtpClientTest, NeverSendsLineBreaksFromData) {
    FtpFakeServer server([](FtpFakeServer&, const std::string& command) -> std::string {
        if (auto login = StandardLogin(command); !login.empty()) return login;
        return "200 ok\r\n";
    });
    {
        FtpClient client({server.Host(), "anna\r\nDELE x", "secret", {}});
        EXPECT_THROW(client.FtpConnect(), FtpError);
    }
    FtpClient client({server.Host(), "anna", "secret", {}});
    client.FtpConnect();
    std::string file = MakeFile("a.jpg", 10);
    EXPECT_THROW(client.FtpQuote("site CHECKSUM a\r\nDELE b"), FtpError);
    EXPECT_THROW(client.FtpMakeDir(std::string("x\0y", 3)), FtpError);
    EXPECT_THROW(client.FtpChangeDir("x\ny"), FtpError);
    EXPECT_THROW(client.FtpStore(file, "a.jpg\rDELE b"), FtpError);
    EXPECT_EQ(client.FtpQuote("NOOP").code, 200);  // the connection is still in step
    for (const auto& command : server.Commands()) EXPECT_EQ(command.find("DELE"), std::string::npos) << command;
}

TEST_F(FtpClientTest, MakesAndEntersFolders) {
    FtpFakeServer server([](FtpFakeServer&, const std::string& command) -> std::string {
        if (auto login = StandardLogin(command); !login.empty()) return login;
        if (command == "MKD new") return "257 \"new\" created\r\n";
        if (command == "MKD taken") return "550 exists\r\n";
        if (command == "CWD new") return "250 ok\r\n";
        if (command == "CWD other") return "200 ok\r\n";
        return "550 no\r\n";
    });
    FtpClient client({server.Host(), "u", "p", {}});
    client.FtpConnect();
    client.FtpMakeDir("new");
    EXPECT_THROW(client.FtpMakeDir("taken"), FtpError);
    EXPECT_EQ(client.LastReply().code, 550);
    client.FtpChangeDir("new");
    client.FtpChangeDir("other");
    EXPECT_THROW(client.FtpChangeDir("missing"), FtpError);
    EXPECT_TRUE(client.FtpConnected());
}

// The server's STOR behaviour: its first reply, and the final replies after the data.
struct StoreScript {
    std::string passiveHost = "127,0,0,1";
    std::string first = "150 go\r\n";
    std::string final = "226 done\r\n";
};

std::string StoreHandler(FtpFakeServer& server, const std::string& command, const StoreScript& script,
                         std::string* stored) {
    if (auto login = StandardLogin(command); !login.empty()) return login;
    if (command == "PASV") return server.PassiveReply(script.passiveHost);
    if (command.rfind("STOR ", 0) == 0) {
        server.Send(script.first);
        if (script.first[0] != '1') {
            server.ReceiveData();
            return "200 ignored\r\n";
        }
        *stored = server.ReceiveData();
        return script.final;
    }
    if (command.rfind("site CHECKSUM ", 0) == 0) return "200 abc " + command.substr(14) + "\r\n";
    return "502 no\r\n";
}

TEST_F(FtpClientTest, StoresFilesWithProgressReports) {
    std::string stored;
    StoreScript script;
    script.passiveHost = "10,9,8,7";  // another host: the data still goes to the peer
    FtpFakeServer server([&](FtpFakeServer& s, const std::string& c) { return StoreHandler(s, c, script, &stored); });
    FtpClient client({server.Host(), "u", "p", {}});
    std::vector<std::string> reports;
    client.SetWorkHandlers({[&](WorkMode mode, std::int64_t size) {
                                EXPECT_EQ(mode, WorkMode::wmWrite);
                                reports.push_back("begin " + std::to_string(size));
                            },
                            [&](WorkMode, std::int64_t bytes) { reports.push_back(std::to_string(bytes)); },
                            [&](WorkMode) { reports.push_back("end"); }});
    client.FtpConnect();
    std::string file = MakeFile("photo.jpg", 100000);
    client.FtpStore(file, "0.jpg");
    EXPECT_EQ(stored, Contents(file));
    EXPECT_EQ(client.LastReply().code, 226);
    // The bytes that left the send buffer, growing, and the whole file once the server had it.
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), "begin 100000");
    EXPECT_EQ(std::count(reports.begin(), reports.end(), "end"), 1);
    std::vector<std::int64_t> counts;
    for (const auto& report : reports)
        if (!report.starts_with("begin") && report != "end") counts.push_back(std::stoll(report));
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), 100000);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_EQ(std::adjacent_find(counts.begin(), counts.end()), counts.end());  // no report twice
    EXPECT_EQ(client.FtpQuote("site CHECKSUM 0.jpg").text, "abc 0.jpg");

    reports.clear();
    client.ClearWorkHandlers();
    std::string empty = MakeFile("empty.inf", 0);
    client.FtpStore(empty, "0.inf");
    EXPECT_EQ(stored, "");
    EXPECT_TRUE(reports.empty());
}

TEST_F(FtpClientTest, StoreReplyCodes) {
    struct Case {
        std::string first, final;
        bool ok;
    };
    const Case cases[] = {
        {"125 open\r\n", "250 ok\r\n", true},
        {"150 go\r\n", "426 aborted\r\n226 closed\r\n", true},  // the checksum decides later
        {"150 go\r\n", "450 busy\r\n225 closed\r\n", true},
        {"150 go\r\n", "426 aborted\r\n451 failed\r\n", false},
        {"150 go\r\n", "451 local error\r\n", false},
        {"553 not allowed\r\n", "", false},
    };
    for (const auto& c : cases) {
        std::string stored;
        StoreScript script{"127,0,0,1", c.first, c.final};
        FtpFakeServer server(
            [&](FtpFakeServer& s, const std::string& command) { return StoreHandler(s, command, script, &stored); });
        FtpClient client({server.Host(), "u", "p", {}});
        client.FtpConnect();
        std::string file = MakeFile("p.jpg", 5000);
        if (c.ok) {
            EXPECT_NO_THROW(client.FtpStore(file, "1.jpg")) << c.first << c.final;
            EXPECT_EQ(stored.size(), 5000u);
        } else {
            EXPECT_THROW(client.FtpStore(file, "1.jpg"), FtpError) << c.first << c.final;
        }
    }
}

TEST_F(FtpClientTest, DisconnectFromThePumpEndsAWaitingStore) {
    // The server takes the data and then never answers: only the pump can end the wait.
    FtpFakeServer server([](FtpFakeServer& s, const std::string& command) -> std::string {
        if (auto login = StandardLogin(command); !login.empty()) return login;
        if (command == "PASV") return s.PassiveReply();
        if (command.rfind("STOR ", 0) == 0) {
            s.Send("150 go\r\n");
            s.ReceiveData();
            s.WaitForHangUp();
            return "";
        }
        return "502 no\r\n";
    });
    FtpClient* target = nullptr;
    int pumps = 0;
    bool ended = false;
    FtpClient client({server.Host(), "u", "p", {}}, [&] {
        ++pumps;
        if (target && !ended && pumps > 3) {
            ended = true;
            target->FtpDisconnect();
        }
    });
    client.FtpConnect();
    pumps = 0;
    target = &client;
    std::string file = MakeFile("p.jpg", 200000);
    int works = 0;
    client.SetWorkHandlers({{}, [&](WorkMode, std::int64_t) { ++works; }, {}});
    EXPECT_THROW(client.FtpStore(file, "1.jpg"), FtpError);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(client.FtpConnected());
    EXPECT_GT(works, 0);
}

// A reply that breaks the protocol is no dropped connection: it fails with FtpProtocolError (a
// refusal, so the run does not wait for the network) and closes the connection.
TEST_F(FtpClientTest, RepliesThatBreakTheProtocolAreRefusals) {
    std::string endlessGreeting = "220-welcome\r\n";
    while (endlessGreeting.size() < 100000) endlessGreeting += "220-" + std::string(996, 'w') + "\r\n";
    const struct Case {
        const char* what;
        std::string greeting;
        std::string reply;  // to NOOP, or to PASV when `store`
        bool store;
    } cases[] = {
        {"greeting of 100,000 characters", "220 " + std::string(100000, 'x') + "\r\n", "", false},
        {"greeting without a code", "hello there\r\n", "", false},
        {"multi-line greeting without end", endlessGreeting, "", false},
        {"reply line of 100,000 characters", "220 ready\r\n", "200 " + std::string(100000, 'x') + "\r\n", false},
        {"reply with a code of two digits", "220 ready\r\n", "20 fine\r\n", false},
        {"passive address without six numbers", "220 ready\r\n", "227 Entering Passive Mode (1,2,3)\r\n", true},
    };
    const std::string file = MakeFile("p.jpg", 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FtpFakeServer server(
            [&c](FtpFakeServer&, const std::string& command) -> std::string {
                if (auto login = StandardLogin(command); !login.empty()) return login;
                return c.reply;
            },
            c.greeting);
        FtpClient client({server.Host(), "u", "p", {}});
        try {
            client.FtpConnect();
            if (c.store) client.FtpStore(file, "p.jpg");
            else client.FtpQuote("NOOP");
            ADD_FAILURE() << "no error";
        } catch (const FtpProtocolError& error) {
            EXPECT_NE(std::string(error.what()).find("the server's answer could not be understood"), std::string::npos)
                << error.what();
        }
        EXPECT_FALSE(client.FtpConnected());
    }
}

}  // namespace
}  // namespace vantrel
