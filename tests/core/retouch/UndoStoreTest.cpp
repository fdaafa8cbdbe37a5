#include <gtest/gtest.h>

#include <vector>

#include "core/retouch/ColourOps.h"
#include "core/retouch/TBitmap32Undo.h"
#include "core/retouch/CropFrame.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

// The two stores of the dialog and its photo, driven as its commands drive them.
struct Editor {
    Bitmap32 photo;
    TBitmap32Undo undo, redo;

    template <typename Operation>
    void Apply(Operation op) {
        undo.Save(photo);
        op(photo);
    }
    bool Undo() {
        if (!undo.CanRestore()) return false;
        redo.Save(photo);
        return undo.Restore(photo);
    }
    bool Redo() {
        if (!redo.CanRestore()) return false;
        undo.Save(photo);
        return redo.Restore(photo);
    }
};

Bitmap32 Numbered(int n) { return Bitmap32(5, 4, test::Grey(n)); }

TEST(RetouchUndoStore, KeepsTheTenNewestSnapshots) {
    Editor e{Numbered(0), {}, {}};
    EXPECT_EQ(e.undo.Levels(), 10);
    for (int n = 1; n <= 11; ++n) e.Apply([n](Bitmap32& p) { p = Numbered(n); });
    EXPECT_EQ(e.undo.Count(), 10);

    for (int i = 0; i < 10; ++i) ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(test::SamePixels(e.photo, Numbered(1)));  // as it was after the first operation
    EXPECT_FALSE(e.undo.CanRestore());
    EXPECT_FALSE(e.Undo());
    EXPECT_EQ(e.redo.Count(), 10);

    for (int i = 0; i < 10; ++i) ASSERT_TRUE(e.Redo());
    EXPECT_TRUE(test::SamePixels(e.photo, Numbered(11)));
}

TEST(RetouchUndoStore, RestoreOnAnEmptyStoreChangesNothing) {
    TBitmap32Undo store;
    Bitmap32 photo = Numbered(7);
    EXPECT_FALSE(store.Restore(photo));
    EXPECT_TRUE(test::SamePixels(photo, Numbered(7)));

    TBitmap32Undo none(0);
    none.Save(photo);
    EXPECT_FALSE(none.CanRestore());
}

TEST(RetouchUndoStore, NewOperationsKeepRedoUntilThePhotoIsLeft) {
    Editor e{Numbered(0), {}, {}};
    e.Apply([](Bitmap32& p) { p = Numbered(1); });
    e.Apply([](Bitmap32& p) { p = Numbered(2); });
    ASSERT_TRUE(e.Undo());
    e.Apply([](Bitmap32& p) { p = Numbered(3); });
    EXPECT_TRUE(e.redo.CanRestore());  // a new operation does not clear redo
    ASSERT_TRUE(e.Redo());
    EXPECT_TRUE(test::SamePixels(e.photo, Numbered(2)));

    // Leaving the photo clears both stores.
    e.undo.Clear();
    e.redo.Clear();
    EXPECT_FALSE(e.undo.CanRestore());
    EXPECT_FALSE(e.redo.CanRestore());
    EXPECT_EQ(e.undo.BytesHeld(), 0u);
}

TEST(RetouchUndoStore, UndoOfACropRestoresTheWholePhotoAndRedoCropsAgain) {
    const Bitmap32 original = test::NoisePhoto(30, 20, 3);
    Editor e{original, {}, {}};
    CropFrame frame(30, 20);
    e.Apply([&](Bitmap32& p) { p = CropPhoto(p, frame.CropRect()); });
    const Bitmap32 cropped = e.photo;
    EXPECT_EQ(cropped.Width(), 27);

    ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(test::SamePixels(e.photo, original));
    ASSERT_TRUE(e.Redo());
    EXPECT_TRUE(test::SamePixels(e.photo, cropped));
}

TEST(RetouchUndoStore, SnapshotsRoundTripExactly) {
    // Random alpha (stored whole), opaque (stored without alpha), odd sizes and an empty photo.
    const Bitmap32 photos[] = {test::NoisePhoto(17, 35, 1, true), test::NoisePhoto(33, 16, 2), Bitmap32(),
                               Bitmap32(1, 1, 0x00FFFFFFu)};
    TBitmap32Undo store;
    for (const Bitmap32& p : photos) store.Save(p);
    for (int i = int(std::size(photos)) - 1; i >= 0; --i) {
        Bitmap32 out(3, 3);
        ASSERT_TRUE(store.Restore(out));
        EXPECT_TRUE(test::SamePixels(out, photos[i])) << i;
    }
}

TEST(RetouchUndoStore, SmallChangesCostLittleMemory) {
    Bitmap32 photo = test::NoisePhoto(200, 160, 9);
    const std::size_t full = 200u * 160u * 3u;  // opaque: three bytes a pixel
    TBitmap32Undo store;
    store.Save(photo);
    EXPECT_EQ(store.BytesHeld(), full);
    photo.SetPixel(50, 50, test::Rgb(1, 2, 3));  // a red-eye sized change
    store.Save(photo);
    EXPECT_LT(store.BytesHeld(), full + full / 5);
    MakeNegative(photo);  // a whole-photo change
    store.Save(photo);
    EXPECT_GE(store.BytesHeld(), 2 * full);

    Bitmap32 out;
    ASSERT_TRUE(store.Restore(out));
    ASSERT_TRUE(store.Restore(out));
    MakeNegative(photo);
    EXPECT_TRUE(test::SamePixels(out, photo));
}

}  // namespace
}  // namespace vantrel
