#include "model/TabTable.h"

#include <gtest/gtest.h>

#include "model/Document.h"
#include "model/TabManager.h"

namespace quillane {
namespace {

TEST(TabStop, FieldsStayInTheirBits) {
    struct Case {
        int64_t position;
        uint32_t kind, leader;
        int32_t expectPosition;
        uint32_t expectKind, expectLeader;
    };
    const Case cases[] = {
        {720, tkRight, tlDots, 720, tkRight, tlDots},
        {5, tkLeft, tlNone, 15, tkLeft, tlNone},               // below the smallest position
        {-3000, tkBar, tlNone, 15, tkBar, tlNone},
        {0x1000000, tkCentred, tlHyphens, MaxTabPosition, tkCentred, tlHyphens},  // would spill into the kind
        {int64_t{1} << 40, tkDecimal, tlUnderline, MaxTabPosition, tkDecimal, tlUnderline},
        {1440, 9, 7, 1440, tkLeft, tlNone},                    // unknown kind and leader
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << "/" << c.kind << "/" << c.leader);
        const TTabStop stop = TTabStop::Make(c.position, c.kind, c.leader);
        EXPECT_EQ(c.expectPosition, stop.Position());
        EXPECT_EQ(c.expectKind, stop.Kind());
        EXPECT_EQ(c.expectLeader, stop.Leader());
    }
    // A packed word from a file with a damaged kind nibble.
    const TTabStop read = TTabStop::FromPacked(0x2F000100u);
    EXPECT_EQ(0x100, read.Position());
    EXPECT_EQ(uint32_t{tkLeft}, read.Kind());
    EXPECT_EQ(uint32_t{tlHyphens}, read.Leader());
}

TEST(TabTable, HoldsAtMostFiftyStops) {
    TTabTable table;
    for (int32_t i = 1; i <= 51; ++i) {
        table.Add(TTabStop::Make(i * 100));
    }
    EXPECT_EQ(MaxTabStops, table.StopCount());
    EXPECT_EQ(5000, table.Stop(49).Position());
    EXPECT_FALSE(table.Contains(5100));
}

TEST(TabTable, FindRemoveAndSort) {
    TTabTable table;
    table.Add(TTabStop::Make(1440, tkRight));
    table.Add(TTabStop::Make(720));
    table.Add(TTabStop::Make(1440, tkCentred));
    EXPECT_EQ(2, table.Find(1440));  // searched from the end
    EXPECT_EQ(-1, table.Find(100));
    table.RemoveAt(1440);
    EXPECT_EQ(uint32_t{tkRight}, table.Stop(table.Find(1440)).Kind());
    table.Delete(7);  // out of range: ignored
    EXPECT_EQ(2, table.StopCount());
    table.SortByPosition();
    EXPECT_EQ(720, table.Stop(0).Position());
    EXPECT_EQ(1440, table.Stop(1).Position());
}

TEST(TabTable, NextStopSkipsBarsAndHonoursInclusive) {
    TTabTable table;
    table.Add(TTabStop::Make(720));
    table.Add(TTabStop::Make(1080, tkBar));
    table.Add(TTabStop::Make(1440, tkRight));
    struct Case {
        int32_t x;
        bool inclusive;
        int32_t expect;  // -1: none
    };
    const Case cases[] = {
        {720, true, 720}, {720, false, 1440}, {0, false, 720}, {1000, true, 1440},
        {1440, true, 1440}, {1440, false, -1}, {5000, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << (c.inclusive ? " inclusive" : ""));
        const auto stop = table.NextStop(c.x, c.inclusive);
        EXPECT_EQ(c.expect, stop ? stop->Position() : -1);
    }
}

TEST(TabManager, InternSharesEqualTables) {
    TTabManager tabs;
    TTabTable a, b, reversed;
    a.Add(TTabStop::Make(720));
    a.Add(TTabStop::Make(1440));
    b.CopyFrom(a);
    reversed.Add(TTabStop::Make(1440));
    reversed.Add(TTabStop::Make(720));
    EXPECT_EQ(-1, tabs.Intern(TTabTable{}));
    EXPECT_EQ(0, tabs.Intern(a));
    EXPECT_EQ(0, tabs.Intern(b));
    EXPECT_EQ(1, tabs.Intern(reversed));  // same stops, other order
    EXPECT_EQ(2, tabs.TableCount());
    a.Clear();
    EXPECT_EQ(2, tabs.Table(0).StopCount());  // the pool keeps its own copy
}

std::vector<int32_t> Positions(const TTabTable& table) {
    std::vector<int32_t> positions;
    for (int32_t i = 0; i < table.StopCount(); ++i) {
        positions.push_back(table.Stop(i).Position());
    }
    return positions;
}

std::vector<int32_t> Every(int32_t from, int32_t step, int32_t to) {
    std::vector<int32_t> v;
    for (int32_t x = from; x <= to; x += step) {
        v.push_back(x);
    }
    return v;
}

std::vector<int32_t> Join(std::vector<int32_t> a, const std::vector<int32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TabManager, EffectiveStops) {
    struct Case {
        const char* what;
        std::vector<TTabStop> stops;
        int32_t limit;
        int32_t interval;
        std::vector<int32_t> expect;
    };
    const Case cases[] = {
        {"no table", {}, 8640, 720, Every(720, 720, 8640)},
        {"one right stop", {TTabStop::Make(1000, tkRight)}, 8640, 720, Join({1000}, Every(1440, 720, 8640))},
        {"bars are not positions", {TTabStop::Make(500, tkBar), TTabStop::Make(1000)}, 3000, 720,
         {1000, 1440, 2160, 2880}},
        {"stops past the limit end the table", {TTabStop::Make(2000), TTabStop::Make(9000), TTabStop::Make(3000)},
         8640, 720, {2000}},
        {"a first stop past the limit is kept", {TTabStop::Make(9000)}, 8640, 720, {9000}},
        {"a stop on a multiple", {TTabStop::Make(1440)}, 3000, 720, {1440, 2160, 2880}},
        {"negative limit still gives one stop", {}, -500, 720, {720}},
        {"other interval", {}, 3000, 1000, {1000, 2000, 3000}},
        {"broken interval falls back", {}, 1440, 0, {720, 1440}},
        {"tiny interval is capped at fifty stops", {}, 8640, 1, Every(15, 15, 750)},
        {"limit beyond the position field", {}, INT32_MAX, 720000, Every(720000, 720000, 16560000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTabManager tabs;
        tabs.SetDefaultInterval(c.interval);
        TTabTable table;
        for (const TTabStop stop : c.stops) {
            table.Add(stop);
        }
        const int32_t index = tabs.Intern(table);
        EXPECT_EQ(c.expect, Positions(tabs.EffectiveStops(index, c.limit)));
    }
}

TEST(TabManager, FullTableLeavesNoRoomForDefaults) {
    TTabManager tabs;
    TTabTable table;
    for (int32_t i = 1; i <= 45; ++i) {
        table.Add(TTabStop::Make(i * 100));
    }
    const TTabTable& stops = tabs.EffectiveStops(tabs.Intern(table), 20000);
    ASSERT_EQ(MaxTabStops, stops.StopCount());
    EXPECT_EQ(4500, stops.Stop(44).Position());
    EXPECT_EQ(5040, stops.Stop(45).Position());
    EXPECT_EQ(7920, stops.Stop(49).Position());
}

TEST(TabManager, WorkingTableFollowsIndexLimitAndInterval) {
    TTabManager tabs;
    const int32_t count8640 = tabs.EffectiveStops(-1, 8640).StopCount();
    EXPECT_EQ(12, count8640);
    // The same paragraph with a wider right indent must not reuse the table.
    EXPECT_EQ(6, tabs.EffectiveStops(-1, 4320).StopCount());
    tabs.SetDefaultInterval(1440);
    EXPECT_EQ(3, tabs.EffectiveStops(-1, 4320).StopCount());
    TTabTable one;
    one.Add(TTabStop::Make(100));
    const int32_t index = tabs.Intern(one);
    EXPECT_EQ(100, tabs.EffectiveStops(index, 4320).Stop(0).Position());
    EXPECT_EQ(1440, tabs.EffectiveStops(-1, 4320).Stop(0).Position());
    EXPECT_EQ(1440, tabs.EffectiveStops(77, 4320).Stop(0).Position());  // an unknown index is no table
}

TEST(TabManager, TabAfterTheLastStopEndsAtTheLimit) {
    TTabManager tabs;
    tabs.EffectiveStops(-1, 3000);  // 720 ... 2880
    struct Case {
        int32_t x;
        bool inclusive;
        int32_t expect;
    };
    const Case cases[] = {{700, false, 720}, {2880, true, 2880}, {2880, false, 3000}, {2950, false, 3000},
                          {5000, false, 5000}, {INT32_MAX - 1, false, MaxTabPosition}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        const TTabStop end = tabs.TabEnd(c.x, c.inclusive);
        EXPECT_EQ(c.expect, end.Position());
        EXPECT_LT(end.Position(), INT32_MAX / 2);  // room for the layout's arithmetic
    }
}

TEST(TabManager, ParagraphLimitIsPaperWidthLessLeftMarginAndRightIndent) {
    TDocument document;
    TParagraph& paragraph = document.Paragraph(0);
    paragraph.Attributes[paRightIndent] = 720;
    const TTabTable& stops = document.Tabs().EffectiveStops(paragraph);
    EXPECT_EQ(12240 - 1800 - 720, document.Tabs().WorkingLimit());
    EXPECT_EQ(9360, stops.Stop(stops.StopCount() - 1).Position());
    paragraph.Attributes[paRightIndent] = 1800;
    EXPECT_EQ(8640, document.Tabs().EffectiveStops(paragraph).Stop(11).Position());
    EXPECT_EQ(12, document.Tabs().EffectiveStops(paragraph).StopCount());
}

}  // namespace
}  // namespace quillane
