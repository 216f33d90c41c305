// Generated documents are well formed and the same for the same seed.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"
#include "pictures/ObjectManager.h"
#include "support/DocCompare.h"
#include "support/DocGenerator.h"

namespace quillane {
namespace {

class DocGenerator : public test::RtfTest {
protected:
    std::unique_ptr<TDocument> Generate(uint32_t seed) {
        auto doc = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts->TimesNewRomanIndex()));
        test::GenerateDocument(*doc, *fonts, seed);
        return doc;
    }
};

TEST_F(DocGenerator, DocumentsAreWellFormedAndRepeatable) {
    int objects = 0;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const auto doc = Generate(seed);
        ASSERT_EQ(doc->ParagraphCount(), 12);
        for (int32_t i = 0; i < doc->ParagraphCount(); ++i) {
            const TParagraph& p = doc->Paragraph(i);
            ASSERT_NO_THROW(CheckTextStream(p.Text, p.Positions)) << "paragraph " << i;
            ASSERT_TRUE(p.EndsWithParagraphEnd());
        }
        objects += doc->Objects().ObjectCount();
        const std::vector<std::string> differences = test::CompareDocuments(*doc, *Generate(seed));
        EXPECT_TRUE(differences.empty()) << test::JoinDifferences(differences);
    }
    EXPECT_GT(objects, 10);
    EXPECT_FALSE(test::CompareDocuments(*Generate(1), *Generate(2)).empty());
}

}  // namespace
}  // namespace quillane
