#pragma once
// What the RTF tests share: the services a load takes (US code pages, the
// fixed-metrics font system with the standard faces, a recording message
// box) and loading from memory or from a file-like source.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/DocumentLoader.h"
#include "formats/rtf/RtfReader.h"
#include "formats/ImportedPicture.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "support/DocText.h"
#include "support/FakeFontSystem.h"
#include "support/MemoryFile.h"
#include "support/RecordingMessageBox.h"

namespace quillane::test {

// Keeps what the reader hands over, so tests can look at it.
class TRecordingPictureSink final : public TImportedPictureSink {
public:
    std::vector<TImportedPicture> Pictures;
    std::vector<TImportedObject> Objects;
    bool Accept = true;

    bool AddPicture(TDocument&, TParagraph& paragraph, TImportedPicture&& picture) override {
        if (!Accept) {
            return false;
        }
        Pictures.push_back(std::move(picture));
        paragraph.AppendSpecial(spPicture);
        return true;
    }
    bool AddObject(TDocument&, TParagraph& paragraph, TImportedObject&& object) override {
        if (!Accept) {
            return false;
        }
        Objects.push_back(std::move(object));
        paragraph.AppendSpecial(spObject);
        return true;
    }
};

class RtfTest : public testing::Test {
protected:
    RtfTest() {
        fontSystem.Faces = StandardFakeFaces();
        fonts = std::make_unique<TFontManager>(fontSystem);
        services.Fonts = fonts.get();
    }

    // Loads from memory with detection, as the clipboard does.
    TDocument& Load(const std::string& rtf) {
        document = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts->TimesNewRomanIndex()));
        options = TDocOpeningOptions{};
        options.FromMemory = true;
        options.MemoryData = reinterpret_cast<const uint8_t*>(rtf.data());
        options.MemorySize = static_cast<int32_t>(rtf.size());
        loaded = LoadDocument(*document, options, services);
        return *document;
    }
    // Loads through the refilling file buffer, as the open workflow does.
    TDocument& LoadFile(const std::string& rtf) {
        TMemoryFile file(rtf);
        document = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts->TimesNewRomanIndex()));
        options = TDocOpeningOptions{};
        options.FileName = "test.rtf";
        TReadBuffer in(file, "test.rtf", dfRtf, services);
        in.Fill();
        loaded = ReadRtf(*document, in, options, services);
        if (loaded) {
            FinishLoadedDocument(*document, options);
        }
        return *document;
    }
    std::vector<std::string> Read(const std::string& rtf) { return ParagraphTexts(Load(rtf)); }
    // The text stream of the first paragraph with its tags.
    std::string Stream(const std::string& rtf) { return StreamText(Load(rtf).Paragraph(0).Text); }

    TRecordingMessageBox messages;
    std::unique_ptr<TCodePageConverter> codePages = CreateCodePageConverter(437, 1252);
    TFakeFontSystem fontSystem;
    std::unique_ptr<TFontManager> fonts;
    TFormatServices services{messages, *codePages, nullptr};
    std::unique_ptr<TDocument> document;
    TDocOpeningOptions options;
    bool loaded = false;
};

}  // namespace quillane::test
