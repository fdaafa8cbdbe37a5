#include <gtest/gtest.h>

#include "core/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/service/RemoteSettingsLoader.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/support/StandinService.h"

using namespace vantrel;
using Status = RemoteSettingsResult::Status;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A settings document whose client entry holds `entry` (key/value elements).
std::string Document(const std::string& entry, const std::string& clientKey = "com.vantrel2.uploader_pc") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "  <key>com.vantrel2.uploader_mac</key>\n  <dict><key>ftp_host</key><string>mac.host</string></dict>\n"
           "  <key>" + clientKey + "</key>\n  <dict>\n" + entry + "\n  </dict>\n</dict>\n</plist>\n";
}

std::string Versions(const std::string& first, const std::string& firstVersion, const std::string& second,
                     const std::string& secondVersion) {
    auto region = [](const std::string& key, const std::string& version) {
        return "<key>" + key + "</key><dict><key>current_version</key><string>" + version +
               "</string><key>update_url</key><string>http://u/" + key + "</string></dict>";
    };
    return "<key>versions</key><dict>" + region(first, firstVersion) + region(second, secondVersion) + "</dict>";
}

std::string Translate(std::string_view key) { return "[" + std::string(key) + "]"; }

}  // namespace

TEST(RemoteSettingsReader, ReadsTheClientEntry) {
    test::TempFolder dir;
    const std::string entry = R"(
    <key>ftp_host</key><string>ftp.example:2121</string>
    <key>ftp_login</key><string>user</string>
    <key>ftp_password</key><string>p&amp;w</string>
    <key>script_url</key><string>http://rpc.example/x</string>
    <key>picture_minsize</key><integer>30</integer>
    <key>picture_maxsize</key><integer>12</integer>
    <key>size_thumbnail</key><integer>160</integer>
    <key>size_scaled</key><integer> 1024 </integer>
    <key>rejected_errors</key><string>116,117</string>
    <key>unknown_key</key><string>ignored</string>
    <key>passthru_name</key><string>partner</string>
    <key>passthru_value</key><string>value</string>
    <key>specific_url</key><dict>
      <key>Default</key><dict><key>advert_url</key><string>http://ad/[email]</string>
        <key>website_url</key><string>http://web/</string><key>current_version</key><string>9.9.9</string>
        <key>autologin_url</key><string>http://login/[id_session]</string></dict>
    </dict>)";
    TRemoteSettings s;
    auto result = ReadRemoteSettingsFile(dir.Write("a.plist", Document(entry + Versions("Default", "3.2.6", "XX", "4.0.0"))), "GB", s);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(s.ftp_host, "ftp.example:2121");
    EXPECT_EQ(s.ftp_login, "user");
    EXPECT_EQ(s.ftp_password, "p&w");
    EXPECT_EQ(s.script_url, "http://rpc.example/x");
    EXPECT_EQ(s.picture_minsize, 30);
    EXPECT_EQ(s.picture_maxsize, 12);
    EXPECT_EQ(s.size_thumbnail, 160);
    EXPECT_EQ(s.size_scaled, 1024);
    EXPECT_EQ(s.rejected_errors, "116,117");
    EXPECT_EQ(s.passthru_name, "partner");
    EXPECT_EQ(s.passthru_value, "value");
    EXPECT_EQ(s.advert_url, "http://ad/[email]");
    EXPECT_EQ(s.website_url, "http://web/");
    EXPECT_EQ(s.autologin_url, "http://login/[id_session]");
    EXPECT_EQ(s.current_version, "3.2.6");  // a version key inside specific_url is not read
    EXPECT_EQ(s.update_url, "http://u/Default");
}

TEST(RemoteSettingsReader, EdgeCases) {
    struct Case {
        const char* name;
        std::string entry;
        std::string country;
        std::string version;   // expected current_version
        int maxsize;           // expected picture_maxsize
        std::string passthru;  // expected passthru_value
    };
    const Case cases[] = {
        {"key given twice: last wins", "<key>picture_maxsize</key><integer>10</integer>"
                                       "<key>picture_maxsize</key><integer>15</integer>", "FR", "3.2.5", 15, "cached"},
        {"Default then FR, French user", Versions("Default", "3.2.6", "FR", "3.3.0"), "FR", "3.3.0", 10, "cached"},
        {"FR then Default, French user", Versions("FR", "3.3.0", "Default", "3.2.6"), "FR", "3.2.6", 10, "cached"},
        {"Default then FR, German user", Versions("Default", "3.2.6", "FR", "3.3.0"), "DE", "3.2.6", 10, "cached"},
        {"FR then Default, German user", Versions("FR", "3.3.0", "Default", "3.2.6"), "DE", "3.2.6", 10, "cached"},
        {"lower-case region key", Versions("Default", "3.2.6", "fr", "3.3.0"), "FR", "3.3.0", 10, "cached"},
        {"lower-case user country", Versions("Default", "3.2.6", "FR", "3.3.0"), "fr", "3.3.0", 10, "cached"},
        {"integer given as string", "<key>picture_maxsize</key><string>20</string>", "GB", "3.2.5", 20, "cached"},
        {"key without value at the end", "<key>passthru_value</key>", "GB", "3.2.5", 10, ""},
        {"value element without children", "<key>passthru_value</key><string/>", "GB", "3.2.5", 10, ""},
        {"key case matters", "<key>Picture_MaxSize</key><integer>99</integer>", "GB", "3.2.5", 10, "cached"},
    };
    test::TempFolder dir;
    for (const auto& c : cases) {
        TRemoteSettings s;
        s.passthru_value = "cached";
        auto result = ReadRemoteSettingsFile(dir.Write("e.plist", Document(c.entry)), c.country, s);
        EXPECT_TRUE(result.ok()) << c.name;
        EXPECT_EQ(s.current_version, c.version) << c.name;
        EXPECT_EQ(s.picture_maxsize, c.maxsize) << c.name;
        EXPECT_EQ(s.passthru_value, c.passthru) << c.name;
    }
}

TEST(RemoteSettingsReader, EntryMissingOrBehindOtherValues) {
    test::TempFolder dir;
    TRemoteSettings s;
    s.ftp_host = "cached.host";
    auto none = ReadRemoteSettingsFile(dir.Write("n.plist", Document("<key>ftp_host</key><string>x</string>", "com.other")), "GB", s);
    EXPECT_TRUE(none.ok());
    EXPECT_EQ(s.ftp_host, "cached.host");

    // The entry's dict is the one that follows its key, even when plain values come before it.
    const std::string doc = "<plist><dict><key>motd</key><string>hello</string>"
                            "<key>com.vantrel2.uploader_pc</key><dict><key>ftp_host</key><string>right</string></dict>"
                            "</dict></plist>";
    auto behind = ReadRemoteSettingsFile(dir.Write("b.plist", doc), "GB", s);
    EXPECT_TRUE(behind.ok());
    EXPECT_EQ(s.ftp_host, "right");
}

TEST(RemoteSettingsReader, NonNumberStopsWithAConversionError) {
    test::TempFolder dir;
    TRemoteSettings s;
    const std::string entry = "<key>ftp_host</key><string>stored</string>"
                              "<key>size_scaled</key><integer>12x</integer>"
                              "<key>ftp_login</key><string>not reached</string>";
    auto result = ReadRemoteSettingsFile(dir.Write("c.plist", Document(entry)), "GB", s);
    EXPECT_EQ(result.status, Status::ConversionError);
    EXPECT_EQ(result.Message(Translate), "'12x' is not a valid integer value");
    EXPECT_EQ(s.ftp_host, "stored");
    EXPECT_EQ(s.ftp_login, "");
    EXPECT_EQ(s.size_scaled, 0);
}

TEST(RemoteSettingsReader, DocumentThatDoesNotParse) {
    test::TempFolder dir;
    TRemoteSettings s;
    auto empty = ReadRemoteSettingsFile(dir.Write("empty.plist", ""), "GB", s);
    EXPECT_EQ(empty.status, Status::NotXml);
    EXPECT_EQ(empty.Message(Translate), "[Parm_NoFile]");

    auto broken = ReadRemoteSettingsFile(dir.Write("broken.plist", "<plist>\n<dict><key>a</dict>\n</plist>\n"), "GB", s);
    EXPECT_EQ(broken.status, Status::NotXml);
    const std::string message = broken.Message(Translate);
    EXPECT_EQ(message.rfind("[Parm_RequestErr] <dict><key>a</dict>\r\n", 0), 0u) << message;
    EXPECT_GT(message.size(), std::string("[Parm_RequestErr] <dict><key>a</dict>\r\n").size());
}

TEST(RemoteSettingsLoader, BaseAddresses) {
    EXPECT_EQ(SettingsBaseAddresses(""), (std::vector<std::string>{"http://www.vantrel.com/common/",
                                                                    "http://static.vantrel.com/sg/common/"}));
    EXPECT_EQ(SettingsBaseAddresses("http://127.0.0.1:8080/common/"),
              (std::vector<std::string>{"http://127.0.0.1:8080/common/"}));
    EXPECT_EQ(SettingsBaseAddresses("http://a/common/, http://b/sg/common"),
              (std::vector<std::string>{"http://a/common/", "http://b/sg/common/"}));
}

TEST(RemoteSettingsLoader, AgainstTheStandin) {
    test::StandinService service({"settings-404-first"});
    ASSERT_TRUE(service.ok()) << service.error();
    const auto bases = SettingsBaseAddresses(service.settingsBase());
    HttpClient client;
    test::TempFolder work;

    // First base answers 404: the second's document is read, and the file holds exactly it.
    TRemoteSettings s;
    auto loaded = LoadRemoteSettings(client, work.Path(), "GB", s, bases);
    ASSERT_TRUE(loaded.ok()) << loaded.Message(Translate);
    EXPECT_EQ(s.ftp_host, "127.0.0.1:" + std::to_string(service.ftpPort()));
    EXPECT_EQ(s.script_url, service.scriptUrl());
    EXPECT_EQ(s.picture_minsize, 20);
    EXPECT_EQ(s.picture_maxsize, 10);
    EXPECT_GT(s.size_scaled, 0);
    EXPECT_EQ(ReadFile(work.Path() + "uploader_settings.plist"), service.Get("/sg/common/uploader_settings.plist").body);

    // A document that is not XML: the parse message, result false.
    ASSERT_TRUE(service.SetFault("broken-plist", true));
    TRemoteSettings broken;
    auto notXml = LoadRemoteSettings(client, work.Path(), "GB", broken, bases);
    EXPECT_EQ(notXml.status, Status::NotXml);
    EXPECT_EQ(notXml.Message(Translate).rfind("[Parm_RequestErr] ", 0), 0u);

    // Nobody answers: false, nothing to show, the record untouched, the file empty.
    TRemoteSettings untouched;
    untouched.ftp_host = "cached";
    auto none = LoadRemoteSettings(client, work.Path(), "GB", untouched,
                                   SettingsBaseAddresses("http://127.0.0.1:1/common/,http://127.0.0.1:1/sg/common/"));
    EXPECT_EQ(none.status, Status::NotDownloaded);
    EXPECT_EQ(none.Message(Translate), "");
    EXPECT_EQ(untouched.ftp_host, "cached");
    EXPECT_EQ(ReadFile(work.Path() + "uploader_settings.plist"), "");
}
