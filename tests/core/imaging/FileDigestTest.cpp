#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "core/imaging/FileDigest.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {
constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";
}

// The test suite of RFC 1321, through both a byte string and a file; the last case crosses
// many 64-byte blocks with a length that is not a multiple of the block.
TEST(ImagingDigest, Rfc1321Suite) {
    const std::pair<std::string, std::string> suite[] = {
        {"", kEmptyDigest},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    TempFolder dir;
    for (const auto& [input, hex] : suite) {
        EXPECT_EQ(DigestToHex(DigestBytes(input)), hex) << input;
        EXPECT_EQ(DigestToHex(DigestFile(dir.Write("f", input))), hex) << input;
    }
}

TEST(ImagingDigest, UnreadableFilesGiveTheEmptyDigest) {
    TempFolder dir;
    EXPECT_EQ(DigestToHex(DigestFile(dir.File("missing"))), kEmptyDigest);
    EXPECT_EQ(DigestToHex(DigestFile(dir.Write("empty", ""))), kEmptyDigest);
    EXPECT_EQ(DigestToHex(DigestFile(dir.File(""))), kEmptyDigest);  // a folder cannot be read as a file
}

TEST(ImagingDigest, HexIsLowerCaseHighNibbleFirst) {
    Md5Digest digest{};
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(i * 17 + (i == 0 ? 0xA0 : 0));
    EXPECT_EQ(DigestToHex(digest), "a0112233445566778899aabbccddeeff");
}

// Files are read a chunk at a time; the chunks must join without a gap or overlap.
TEST(ImagingDigest, ChunkedReadsCoverTheWholeFile) {
    TempFolder dir;
    std::string content;
    for (int i = 0; i < 3 * 4096 + 123; ++i) content += static_cast<char>(i * 31 + i / 4096);
    const std::string path = dir.Write("w", content);
    const std::string expected = DigestToHex(DigestBytes(content));
    for (std::size_t chunk : {1u, 4096u, 4097u, 65536u}) EXPECT_EQ(DigestToHex(DigestFileInChunks(path, chunk)), expected);
}
