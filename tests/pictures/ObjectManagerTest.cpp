#include "pictures/ObjectManager.h"

#include <gtest/gtest.h>

#include "model/Document.h"
#include "pictures/PictureBudget.h"
#include "pictures/PngFixtures.h"
#include "pictures/PngHeader.h"

namespace quillane {
namespace {

TBitmap Pixels(int32_t width, int32_t height) {
    TBitmap b(width, height, 24);
    b.Row(0)[0] = 9;
    return b;
}

// Adds an unpacked picture and returns it.
TDocObject& AddBitmap(TObjectManager& objects) {
    const int32_t id = objects.AddObject(MakeBitmapPicture(Pixels(8, 8)));
    return *objects.Find(id);
}

TBytes MetafileBits(size_t size) {
    TBytes b(size, 0);
    b[0] = 1;
    return b;
}

TEST(ObjectManager, IdsFindAndRemove) {
    TDocument document;
    TObjectManager& objects = document.Objects();
    const int32_t first = objects.AddObject(MakePngPicture({}));
    const int32_t second = objects.AddObject(std::make_unique<TDocOLEObject>(nullptr));
    const int32_t third = objects.AddObject(MakePngPicture({}));
    EXPECT_EQ(1, first);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(&document, objects.Find(second)->Document);
    EXPECT_TRUE(objects.Find(second)->IsOLEObject());
    EXPECT_EQ(nullptr, objects.Find(0));
    EXPECT_EQ(nullptr, objects.Find(99));
    objects.RemoveObject(second);
    EXPECT_EQ(nullptr, objects.Find(second));
    EXPECT_EQ(third, objects.Find(third)->Id());
    EXPECT_EQ(2, objects.ObjectCount());
    objects.RemoveObject(second);  // already gone: nothing happens
    EXPECT_THROW(objects.AddObject(nullptr), std::logic_error);
}

TEST(ObjectManager, MetafilesAreCompressedOnceTheDocumentHoldsMoreThan8MB) {
    // Metafiles of 1 MiB: the ninth pushes the sum past 8 MiB and is itself
    // compressed; every one after that finds 8 MiB already there.
    struct Case {
        const char* what;
        int already;
        bool compressed;
    };
    const Case cases[] = {{"7 MB before", 7, false}, {"9 MB before", 9, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TObjectManager objects;
        for (int i = 0; i < c.already; ++i) {
            const int32_t id = objects.AddObject(MakeMetafilePicture(MetafileBits(1u << 20), std::nullopt));
            EXPECT_EQ(i == 8, objects.Find(id)->Image().Compressed) << i;
        }
        const int32_t id = objects.AddObject(MakeMetafilePicture(MetafileBits(4096), std::nullopt));
        const TDocObjectImage& image = objects.Find(id)->Image();
        EXPECT_EQ(c.compressed, image.Compressed);
        if (c.compressed) {
            EXPECT_EQ(4096u, image.UncompressedSize);
            EXPECT_LT(image.Stored.size(), 4096u);
        }
        // Compressed or not, it unpacks to the same bits.
        TDocObjectImage& same = objects.Find(id)->Image();
        ASSERT_TRUE(same.Unpack());
        EXPECT_TRUE(same.MetafileBits() == MetafileBits(4096));
    }
}

TEST(PictureBudget, TheTwentyFifthPictureIsPackedAtOnce) {
    TPictureBudget budget;
    TObjectManager first(nullptr, &budget);
    TObjectManager second(nullptr, &budget);
    for (int i = 0; i < 12; ++i) {
        AddBitmap(first);
        AddBitmap(second);
    }
    EXPECT_EQ(24, budget.UnpackedCount());
    EXPECT_FALSE(budget.PictureBudgetExceeded());
    // The newcomer, never drawn, is the least drawn picture of all.
    TDocObject& newcomer = AddBitmap(first);
    EXPECT_TRUE(newcomer.Image().Packed());
    EXPECT_EQ(24, budget.UnpackedCount());
    EXPECT_EQ(24 * 8 * 8 * 3, budget.UnpackedBytes());
}

TEST(PictureBudget, UnpackingWaitsWhileExceededUnlessForced) {
    TPictureBudget budget(1);
    TObjectManager objects(nullptr, &budget);
    TDocObject& a = AddBitmap(objects);
    a.Image().Pack();
    TDocObject& b = AddBitmap(objects);
    TDocObject& c = AddBitmap(objects);  // over the limit of 1: packed
    EXPECT_TRUE(c.Image().Packed());
    EXPECT_FALSE(b.Image().Packed());
    ASSERT_TRUE(a.Image().Unpack());      // 2 > 1 now
    EXPECT_FALSE(c.Image().Unpack());     // skipped
    EXPECT_TRUE(objects.PrepareForDrawing(c));  // drawing forces it
    EXPECT_EQ(3, budget.UnpackedCount());
}

TEST(PictureBudget, ByteLimit) {
    TPictureBudget budget;
    TObjectManager objects(nullptr, &budget);
    TDocObject& small = AddBitmap(objects);
    EXPECT_FALSE(budget.PictureBudgetExceeded());
    // 2400 x 2400 x 3 bytes is more than 16 MiB.
    const TBytes rows(2400 * (1 + 2400 * 3), 0);
    const int32_t id =
        objects.AddObject(MakePngPicture(test::MakePng({test::Ihdr(2400, 2400, 8, ctRgb), test::Idat(rows), test::Iend()})));
    TDocObject& large = *objects.Find(id);
    EXPECT_TRUE(objects.PrepareForDrawing(large));
    EXPECT_TRUE(budget.PictureBudgetExceeded());
    // Drawn, it takes the small picture's place... which is not enough, but
    // room was made, so it stays.
    objects.FinishDrawing(large);
    EXPECT_TRUE(small.Image().Packed());
    EXPECT_FALSE(large.Image().Packed());
    EXPECT_EQ(&large.Image(), budget.LastDrawn());
}

TEST(PictureBudget, MakeRoomForPicture) {
    TPictureBudget budget(2);
    TObjectManager one(nullptr, &budget);
    TObjectManager two(nullptr, &budget);
    TDocObject& a = AddBitmap(one);
    TDocObject& b = AddBitmap(two);
    a.Image().DrawCount = 5;
    b.Image().DrawCount = 3;
    // Not exceeded: room enough.
    EXPECT_TRUE(budget.MakeRoomForPicture(a.Image()));

    TDocObject& c = AddBitmap(two);  // packed on arrival (3 > 2)
    ASSERT_TRUE(one.PrepareForDrawing(c));
    c.Image().DrawCount = 1;
    // c has been drawn less often than the least drawn other picture (b, 3
    // draws) and is not the one drawn last: it must give way.
    EXPECT_FALSE(budget.MakeRoomForPicture(c.Image()));
    EXPECT_FALSE(b.Image().Packed());
    // Drawn more often than b, it takes b's place.
    c.Image().DrawCount = 4;
    EXPECT_TRUE(budget.MakeRoomForPicture(c.Image()));
    EXPECT_TRUE(b.Image().Packed());
    EXPECT_FALSE(a.Image().Packed());

    // The picture drawn last keeps its place even against more drawn ones.
    ASSERT_TRUE(two.PrepareForDrawing(b));  // 3 unpacked again
    b.Image().DrawCount = 0;
    budget.FinishDrawing(b.Image());         // b: 1 draw; least other: c (4) -> b packed
    EXPECT_TRUE(b.Image().Packed());
    EXPECT_EQ(&b.Image(), budget.LastDrawn());
    ASSERT_TRUE(two.PrepareForDrawing(b));
    // Drawn last, b gets room from a (5 draws). Document two offers no
    // candidate: its least drawn picture is b itself.
    EXPECT_TRUE(budget.MakeRoomForPicture(b.Image()));
    EXPECT_TRUE(a.Image().Packed());
    EXPECT_FALSE(c.Image().Packed());
}

TEST(PictureBudget, OnTiesTheFirstDocumentGivesWay) {
    TPictureBudget budget(2);
    TObjectManager one(nullptr, &budget);
    TObjectManager two(nullptr, &budget);
    TDocObject& a = AddBitmap(one);
    TDocObject& b = AddBitmap(two);
    TDocObject& c = AddBitmap(two);
    ASSERT_TRUE(two.PrepareForDrawing(c));
    c.Image().DrawCount = 1;
    EXPECT_TRUE(budget.MakeRoomForPicture(c.Image()));
    EXPECT_TRUE(a.Image().Packed());
    EXPECT_FALSE(b.Image().Packed());
}

TEST(PictureBudget, LifetimesLeaveNothingBehind) {
    TPictureBudget budget;
    {
        TObjectManager objects(nullptr, &budget);
        TDocObject& a = AddBitmap(objects);
        objects.FinishDrawing(a);
        EXPECT_EQ(&a.Image(), budget.LastDrawn());
        objects.RemoveObject(a.Id());
        EXPECT_EQ(nullptr, budget.LastDrawn());
        AddBitmap(objects);
        AddBitmap(objects);
        EXPECT_EQ(2, budget.UnpackedCount());
    }
    EXPECT_EQ(0, budget.UnpackedCount());
    EXPECT_EQ(0, budget.UnpackedBytes());

    // A document that outlives the budget is detached from it.
    TObjectManager survivor;
    {
        TPictureBudget shortLived;
        survivor.SetBudget(&shortLived);
        AddBitmap(survivor);
        EXPECT_EQ(1, shortLived.UnpackedCount());
    }
    EXPECT_EQ(nullptr, survivor.Budget());
    EXPECT_EQ(nullptr, survivor.Object(0).Image().Budget());
    survivor.Object(0).Image().Pack();  // must not reach the budget

    // Moving a document to another budget moves its counts.
    TPictureBudget other;
    ASSERT_TRUE(survivor.Object(0).Image().Unpack());
    survivor.SetBudget(&other);
    EXPECT_EQ(1, other.UnpackedCount());
    TPictureBudget doubled;
    doubled.DoubleCountLimit();
    EXPECT_EQ(48, doubled.CountLimit());
}

// A window that records what it is asked to draw.
class TFakeWindow final : public TRepaintWindow {
public:
    bool ReadyForRepaints() const override { return Ready; }
    int32_t Zoom() const override { return CurrentZoom; }
    TPixelPoint WindowOffset() const override { return Offset; }
    TPixelRect ClientArea() const override { return {0, 0, 500, 400}; }
    TPixelRect PageRect(int32_t page) const override { return {0, page * 1000, 600, page * 1000 + 900}; }
    void DrawObject(TDocObject& object, const TDrawRequest& request) override {
        Drawn.push_back({object.Id(), request.Target});
        if (QueueAgain != nullptr) {
            QueueAgain->QueueRepaint(request, CurrentZoom);
        }
    }

    bool Ready = true;
    int32_t CurrentZoom = 100;
    TPixelPoint Offset;
    TObjectManager* QueueAgain = nullptr;
    std::vector<std::pair<int32_t, TPixelRect>> Drawn;
};

TDrawRequest Request(int32_t id, TPixelRect target, int32_t paragraph = 0, int32_t position = 0, int32_t page = 0) {
    TDrawRequest r;
    r.ObjectId = id;
    r.Target = target;
    r.Paragraph = paragraph;
    r.Position = position;
    r.Page = page;
    return r;
}

TEST(Repaints, QueueKeepsOneCommandPerObjectAtTheZoomOfTheRequest) {
    TObjectManager objects;
    const int32_t a = objects.AddObject(MakePngPicture({}));
    const int32_t b = objects.AddObject(MakePngPicture({}));
    objects.QueueRepaint(Request(a, {0, 0, 10, 10}), 100);
    objects.QueueRepaint(Request(b, {0, 0, 10, 10}), 100);
    objects.QueueRepaint(Request(a, {5, 5, 20, 20}), 150);
    ASSERT_EQ(2u, objects.Repaints().size());
    EXPECT_EQ(b, objects.Repaints()[0].ObjectId);
    EXPECT_EQ(a, objects.Repaints()[1].ObjectId);
    EXPECT_EQ(150, objects.Repaints()[1].Zoom);
    EXPECT_EQ((TPixelRect{5, 5, 20, 20}), objects.Repaints()[1].Target);
}

TEST(Repaints, ProcessingDrawsWhatIsStillVisible) {
    TObjectManager objects;
    std::vector<int32_t> ids;
    for (int i = 0; i < 6; ++i) {
        ids.push_back(objects.AddObject(MakePngPicture({})));
    }
    objects.QueueRepaint(Request(ids[0], {10, 10, 50, 50}), 100);                // visible
    objects.QueueRepaint(Request(ids[1], {10, 10, 50, 50}), 200);                // made at another zoom
    objects.QueueRepaint(Request(ids[2], {600, 10, 650, 50}), 100);              // right of the client area
    objects.QueueRepaint(Request(ids[3], {10, 950, 50, 990}), 100);              // between pages
    objects.QueueRepaint(Request(ids[4], {10, 1010, 50, 1050}, 0, 0, 1), 100);   // on page 1, scrolled into view
    objects.QueueRepaint(Request(ids[5], {10, 10, 50, 50}), 100);
    objects.RemoveObject(ids[5]);                                                 // gone: its command too
    EXPECT_EQ(5u, objects.Repaints().size());

    TFakeWindow window;
    window.Ready = false;
    objects.ProcessRepaints(window);
    EXPECT_TRUE(window.Drawn.empty());
    EXPECT_EQ(5u, objects.Repaints().size());  // kept for later

    window.Ready = true;
    window.Offset = {0, -700};  // scrolled down 700 pixels
    objects.ProcessRepaints(window);
    ASSERT_EQ(1u, window.Drawn.size());
    EXPECT_EQ(ids[4], window.Drawn[0].first);
    EXPECT_EQ((TPixelRect{10, 310, 50, 350}), window.Drawn[0].second);
    EXPECT_TRUE(objects.Repaints().empty());

    // Without scrolling the first one shows; a drawing that queues again
    // leaves its new command in the queue.
    objects.QueueRepaint(Request(ids[0], {10, 10, 50, 50}), 100);
    window.Offset = {};
    window.QueueAgain = &objects;
    objects.ProcessRepaints(window);
    EXPECT_EQ(ids[0], window.Drawn.back().first);
    EXPECT_EQ(1u, objects.Repaints().size());
}

TEST(Repaints, DroppedByParagraphAndPosition) {
    TObjectManager objects;
    for (int i = 0; i < 4; ++i) {
        const int32_t id = objects.AddObject(MakePngPicture({}));
        objects.QueueRepaint(Request(id, {0, 0, 1, 1}, i, 3), 100);
    }
    objects.DropRepaintFor(1, 3);
    objects.DropRepaintFor(2, 4);  // no such position
    EXPECT_EQ(3u, objects.Repaints().size());
    objects.DropRepaintsFrom(2);
    ASSERT_EQ(1u, objects.Repaints().size());
    EXPECT_EQ(0, objects.Repaints()[0].Paragraph);
    objects.ClearRepaints();
    EXPECT_TRUE(objects.Repaints().empty());
}

}  // namespace
}  // namespace quillane
