// Random style trees under deletion, re-parenting and import: after every
// step each link must point at a style of the list and no based-on chain may
// loop.

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "model/StyleList.h"
#include "model/StyleManager.h"
#include "model/StyleResolve.h"
#include "model/TabManager.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

const char* const Names[] = {"Normal", "Heading 1", "Quote", "Note", "Aside", "Code", "Verse", "Title"};

void ExpectSound(const TStyleList& list, const TTabManager& tabs) {
    const int32_t n = list.StyleCount();
    for (int32_t i = 0; i < n; ++i) {
        const TStyle& style = list.Style(i);
        SCOPED_TRACE(testing::Message() << "style " << i << " of " << n);
        ASSERT_EQ(&list, style.Owner());
        ASSERT_EQ(i, style.ParAttrs[paStyle]);
        ASSERT_TRUE(style.BasedOn == -1 || (list.ValidIndex(style.BasedOn) && style.BasedOn != i));
        ASSERT_TRUE(style.NextStyle == -1 || list.ValidIndex(style.NextStyle));
        const int32_t tab = style.ParAttrs[paTabTable];
        ASSERT_TRUE(tab == UndefinedAttr || tab == -1 || tabs.ValidIndex(tab));
        int32_t steps = 0;
        for (int32_t b = style.BasedOn; b != -1; b = list.Style(b).BasedOn) {
            ASSERT_LE(++steps, n) << "based-on chain loops";
        }
    }
}

using TSnapshot = std::vector<std::tuple<std::string, int32_t, int32_t, int32_t, int32_t>>;

TSnapshot Snapshot(const TStyleList& list) {
    TSnapshot s;
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        const TStyle& style = list.Style(i);
        s.emplace_back(style.Name, style.BasedOn, style.NextStyle, style.CharAttrs[caBold],
                       style.ParAttrs[paTabTable]);
    }
    return s;
}

class TStyleStress {
public:
    TStyleStress() : master_(0), dest_(&destTabs_) { master_.ImportMaster(dest_); }

    void Step() {
        switch (Pick(5)) {
            case 0: AddStyle(); break;
            case 1: DeleteStyle(); break;
            case 2: Reparent(); break;
            default: ImportStyles(); break;
        }
    }

    void Check() {
        ExpectSound(dest_, destTabs_);
        for (int32_t i = 0; i < dest_.StyleCount(); ++i) {
            ResolveStyle(dest_.Style(i), Pick(4), TModelDefaults::BuiltIn());
        }
    }

    int32_t StyleCount() const { return dest_.StyleCount(); }

private:
    int32_t Pick(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random_); }
    // An existing index or -1.
    int32_t LinkIn(const TStyleList& list) { return Pick(list.StyleCount() + 1) - 1; }
    // Anything a damaged file might hold.
    int32_t AnyLink(const TStyleList& list) {
        switch (Pick(6)) {
            case 0: return -1;
            case 1: return 1000 + Pick(5);
            case 2: return -2 - Pick(5);
            default: return Pick(list.StyleCount() + 3);
        }
    }

    void AddStyle() {
        auto style = std::make_unique<TStyle>(Names[Pick(std::size(Names))] + std::to_string(Pick(3)));
        style->BasedOn = LinkIn(dest_);
        style->NextStyle = LinkIn(dest_);
        style->CharAttrs[caBold] = Pick(2);
        dest_.Add(std::move(style));
    }

    void DeleteStyle() {
        if (dest_.StyleCount() > 1) {
            dest_.Delete(Pick(dest_.StyleCount()));
        }
    }

    // Moves a style under a parent that is not among its own descendants.
    void Reparent() {
        const int32_t i = Pick(dest_.StyleCount());
        std::vector<int32_t> descendants;
        dest_.Children(i, true, descendants);
        const int32_t parent = LinkIn(dest_);
        if (parent != i && std::find(descendants.begin(), descendants.end(), parent) == descendants.end()) {
            dest_.Style(i).BasedOn = parent;
        }
    }

    void ImportStyles() {
        TTabManager sourceTabs;
        for (int32_t t = 0; t < 3; ++t) {
            TTabTable table;
            table.Add(TTabStop::Make(100 * (Pick(20) + 1), Pick(5)));
            sourceTabs.Intern(table);
        }
        TStyleList source(&sourceTabs);
        const int32_t count = 1 + Pick(8);
        for (int32_t i = 0; i < count; ++i) {
            source.Add(std::make_unique<TStyle>(Names[Pick(std::size(Names))]));
        }
        // Links are set afterwards so that they may point forwards, loop or
        // name styles the source does not have.
        for (int32_t i = 0; i < count; ++i) {
            TStyle& style = source.Style(i);
            style.BasedOn = AnyLink(source);
            style.NextStyle = AnyLink(source);
            style.CharAttrs[caBold] = Pick(2);
            style.ParAttrs[paTabTable] = Pick(3) == 0 ? UndefinedAttr : AnyLink(source) % 4;
        }
        TImportStylesInfo info;
        info.Source = &source;
        info.Replace = Pick(2) == 0;
        info.LimitToListed = Pick(2) == 0;
        for (int32_t k = Pick(4); k >= 0; --k) {
            info.Indexes.push_back(AnyLink(source));
        }
        test::TRecordingMessageBox messages;
        const TMessageAnswer answers[] = {TMessageAnswer::Yes, TMessageAnswer::No, TMessageAnswer::Cancel,
                                          TMessageAnswer::YesToAll, TMessageAnswer::NoToAll};
        for (int k = 0; k < 4; ++k) {
            messages.Answers.push_back(answers[Pick(5)]);
        }
        const TSnapshot before = Snapshot(dest_);
        const int32_t tablesBefore = destTabs_.TableCount();
        if (!dest_.Import(info, Pick(2) == 0, messages)) {
            EXPECT_EQ(before, Snapshot(dest_)) << "a cancelled import changed the list";
            EXPECT_EQ(tablesBefore, destTabs_.TableCount());
        }
        for (const int32_t d : info.Added) {
            EXPECT_TRUE(dest_.ValidIndex(d));
        }
    }

    std::mt19937 random_{20261210};
    TStyleManager master_;
    TTabManager destTabs_;
    TStyleList dest_;
};

TEST(StyleStress, LinksStayValidAndAcyclic) {
    TStyleStress stress;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        stress.Step();
        stress.Check();
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
    EXPECT_GT(stress.StyleCount(), 0);
}

}  // namespace
}  // namespace quillane
