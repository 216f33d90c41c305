#include "formats/word/WordCharPropsCache.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillane {
namespace {

// A run's properties come back only for the same SPRM bytes under the
// same paragraph style and piece modifier.
TEST(WordCharPropsCache, HitsOnlyWhatWasStored) {
    const std::vector<uint8_t> bold = {0x35, 0x08, 0x01};
    const std::vector<uint8_t> italic = {0x36, 0x08, 0x01};
    const std::vector<uint8_t> longList(65, 0x11);
    TWordCharPropsCache cache;
    TWordCharProps props;
    props.Attrs[caBold] = 1;
    cache.Store(TByteView(bold), 3, 0, props);
    cache.Store(TByteView(longList), 3, 0, props);
    const TWordCharProps* found = cache.Find(TByteView(bold), 3, 0);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(1, found->Attrs[caBold]);
    EXPECT_EQ(nullptr, cache.Find(TByteView(italic), 3, 0));
    EXPECT_EQ(nullptr, cache.Find(TByteView(bold), 4, 0));
    EXPECT_EQ(nullptr, cache.Find(TByteView(bold), 3, 1));
    EXPECT_EQ(nullptr, cache.Find(TByteView(bold.data(), 2), 3, 0));
    EXPECT_EQ(nullptr, cache.Find(TByteView(longList), 3, 0));  // too long to keep
}

}  // namespace
}  // namespace quillane
