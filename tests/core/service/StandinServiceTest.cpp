#include <gtest/gtest.h>

#include <filesystem>

#include "core/support/StandinService.h"

using vantrel::test::StandinService;

TEST(StandinService, ServesTheSettingsDocumentOnBothPaths) {
    StandinService service;
    ASSERT_TRUE(service.ok()) << service.error();
    EXPECT_TRUE(std::filesystem::is_directory(service.ftpFolder()));
    for (const char* path : {"/common/uploader_settings.plist", "/sg/common/uploader_settings.plist"}) {
        auto reply = service.Get(path);
        EXPECT_EQ(reply.status, 200) << path;
        EXPECT_NE(reply.body.find("<key>com.vantrel2.uploader_pc</key>"), std::string::npos);
        EXPECT_NE(reply.body.find("127.0.0.1:" + std::to_string(service.ftpPort())), std::string::npos);
        EXPECT_NE(reply.body.find(service.scriptUrl()), std::string::npos);
    }
}

TEST(StandinService, FaultsSwitchAtStartAndAtRunTime) {
    StandinService service({"settings-404-first"});
    ASSERT_TRUE(service.ok()) << service.error();
    EXPECT_EQ(service.Get("/common/uploader_settings.plist").status, 404);
    EXPECT_EQ(service.Get("/sg/common/uploader_settings.plist").status, 200);
    ASSERT_TRUE(service.SetFault("settings-404-first", false));
    EXPECT_EQ(service.Get("/common/uploader_settings.plist").status, 200);
    EXPECT_FALSE(service.SetFault("no-such-fault", true));
}
