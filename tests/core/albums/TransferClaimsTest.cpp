// What a run beside the window may send and what the user may change meanwhile.
#include <gtest/gtest.h>

#include "core/albums/TransferClaims.h"

namespace vantrel {
namespace {

using Claim = TransferClaims::Claim;
const std::vector<std::string> kAlbum{"/w/a.jpg", "/w/b.jpg"};
const std::vector<std::string> kOther{"/w/c.jpg", "/w/d.jpg"};

TEST(TransferClaims, AClaimedAlbumRefusesEveryChangeUntilItsPhotosAreReleased) {
    TransferClaims claims;
    ASSERT_EQ(claims.ClaimPhotos(kAlbum).size(), 2u);
    EXPECT_FALSE(claims.MayChange(kAlbum));
    EXPECT_FALSE(claims.Withdraw(kAlbum, {"/w/b.jpg"}));  // another photo of the album is claimed
    EXPECT_FALSE(claims.Hold(kAlbum, {"/w/a.jpg"}));
    EXPECT_TRUE(claims.MayChange(kOther));
    claims.Release({"/w/a.jpg"});
    EXPECT_FALSE(claims.MayChange(kAlbum));
    claims.Release({"/w/b.jpg"});
    EXPECT_TRUE(claims.MayChange(kAlbum));
    // A refused withdrawal left nothing behind: the photo is sent when claimed again.
    EXPECT_EQ(claims.ClaimPhotos({"/w/b.jpg"})[0].claim, Claim::Claimed);
}

TEST(TransferClaims, WhatTheUserChangedBeforeTheRunReachedItIsHonoured) {
    TransferClaims claims;
    ASSERT_TRUE(claims.Withdraw(kOther, {"/w/c.jpg"}));
    ASSERT_TRUE(claims.Hold(kAlbum, kAlbum));
    ASSERT_TRUE(claims.Hold(kAlbum, {"/w/a.jpg"}));  // holds nest
    claims.Rewritten("/w/d.jpg", {400, 600, 12345});
    const auto other = claims.ClaimPhotos(kOther);
    EXPECT_EQ(other[0].claim, Claim::LeftOut);
    EXPECT_EQ(other[1].claim, Claim::Claimed);
    ASSERT_TRUE(other[1].rewritten);
    EXPECT_EQ(other[1].rewritten->width, 400);
    EXPECT_EQ(other[1].rewritten->bytes, 12345);
    claims.Unhold(kAlbum);
    EXPECT_EQ(claims.ClaimPhotos({"/w/a.jpg"})[0].claim, Claim::LeftOut);
    EXPECT_EQ(claims.ClaimPhotos({"/w/b.jpg"})[0].claim, Claim::Claimed);  // a turn holds its photo alone
    claims.Unhold({"/w/a.jpg"});
    EXPECT_EQ(claims.ClaimPhotos({"/w/a.jpg"})[0].claim, Claim::Claimed);
    // Renames follow one another; an album never renamed keeps its name.
    claims.Renamed("Holidays", "Summer");
    claims.Renamed("Summer", "Summer 2026");
    EXPECT_EQ(claims.CurrentName("Holidays"), "Summer 2026");
    EXPECT_EQ(claims.CurrentName("Zoo"), "Zoo");
    // A new run starts afresh: the photo withdrawn from the last one is sent.
    claims.Reset();
    EXPECT_EQ(claims.ClaimPhotos({"/w/c.jpg"})[0].claim, Claim::Claimed);
    EXPECT_EQ(claims.CurrentName("Holidays"), "Holidays");
}

}  // namespace
}  // namespace vantrel
