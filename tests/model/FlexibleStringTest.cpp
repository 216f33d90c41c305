#include "model/FlexibleString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quillane {
namespace {

std::string Bytes(const TFlexibleString& s) { return std::string(reinterpret_cast<const char*>(s.Data()), s.Length()); }

TEST(FlexibleString, CapacityFollowsTheBucketPolicy) {
    struct Step {
        int32_t length;
        int32_t capacity;
    };
    // One string taken through a sequence of lengths: buckets below 256,
    // a quarter extra above, no shrinking while large, memory given back
    // once it drops below 256, freed at 0.
    const Step steps[] = {{1, 16},    {16, 16},   {17, 32},   {100, 128}, {255, 256}, {256, 256},
                          {300, 375}, {321, 375}, {400, 500}, {260, 500}, {200, 256}, {20, 32},
                          {0, 0},     {300, 375}, {200, 256}, {0, 0}};
    TFlexibleString s;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.length);
        s.SetLength(step.length);
        EXPECT_EQ(step.length, s.Length());
        EXPECT_EQ(step.capacity, s.Capacity());
    }
    EXPECT_EQ(nullptr, s.Data());
}

// Text read from a file is given exactly its size; edits afterwards go
// back to the policy, keeping the bytes.
TEST(FlexibleString, ExactReservationThenThePolicy) {
    for (const int32_t size : {100, 300}) {
        SCOPED_TRACE(size);
        TFlexibleString s;
        s.ReserveExact(size);
        EXPECT_EQ(size, s.Capacity());
        const std::string text(static_cast<size_t>(size), 'x');
        s.AppendBytes(text.data(), size);
        EXPECT_EQ(size, s.Capacity());
        s.AppendByte('y');
        EXPECT_EQ(TFlexibleString::CapacityFor(size + 1, size), s.Capacity());
        EXPECT_EQ(text + "y", Bytes(s));
        s.ReserveExact(10);  // never shrinks
        EXPECT_EQ(size + 1, s.Length());
    }
}

TEST(FlexibleString, ResizeBufferAppliesTheSamePolicyToACallersPair) {
    TBufferPair buffer;
    TFlexibleString::ResizeBuffer(buffer, 300);
    EXPECT_EQ(375, buffer.Capacity);
    std::memset(buffer.Data.get(), 7, 300);
    TFlexibleString::ResizeBuffer(buffer, 100);
    EXPECT_EQ(128, buffer.Capacity);
    EXPECT_EQ(7, buffer.Data[99]);
    TFlexibleString::ResizeBuffer(buffer, 0);
    EXPECT_EQ(nullptr, buffer.Data.get());
}

TEST(FlexibleString, EditsMoveBytes) {
    TFlexibleString s;
    s.AppendBytes("hello", 5);
    s.InsertBytes(0, ">>", 2);
    s.InsertBytes(7, "!", 1);
    EXPECT_EQ(">>hello!", Bytes(s));
    s.DeleteBytes(2, 5);
    EXPECT_EQ(">>!", Bytes(s));
    s.AppendWord(0x0A0D);
    s.AppendInt(-2);
    EXPECT_EQ(std::string(">>!\r\n\xFE\xFF\xFF\xFF", 9), Bytes(s));
    char out[3];
    s.CopyOut(out, 0, 3);
    EXPECT_EQ(0, std::memcmp(out, ">>!", 3));
}

TEST(FlexibleString, AssignFromItsOwnBytesKeepsThem) {
    TFlexibleString s;
    std::string text(400, 'x');
    text += "tail";
    s.AssignBytes(text.data(), static_cast<int32_t>(text.size()));
    s.AssignBytes(s.Data() + 400, 4);  // shrinks the buffer while reading from it
    EXPECT_EQ("tail", Bytes(s));
}

TEST(FlexibleString, TagsHaveTheStoredLayout) {
    TFlexibleString s;
    s.AppendTag(13, 2);
    s.AppendByte('a');
    s.InsertTag(8, 1, 0x01020304);
    const uint8_t expected[] = {0, 13, 0, 2, 0, 0, 0, 1, 0, 1, 0, 4, 3, 2, 1, 1, 'a'};
    ASSERT_EQ(static_cast<int32_t>(sizeof expected), s.Length());
    EXPECT_EQ(0, std::memcmp(expected, s.Data(), sizeof expected));
}

TEST(FlexibleString, CopiesAreIndependentAndMovesEmptyTheSource) {
    TFlexibleString a;
    a.AppendBytes("abc", 3);
    TFlexibleString b = a;
    b[0] = 'X';
    EXPECT_EQ("abc", Bytes(a));
    TFlexibleString c = std::move(b);
    EXPECT_EQ("Xbc", Bytes(c));
    EXPECT_EQ(0, b.Length());  // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_EQ(0, b.Capacity());
}

}  // namespace
}  // namespace quillane
