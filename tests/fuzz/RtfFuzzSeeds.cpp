// Writes fuzzing seeds for the RTF target: documents made from seeds by the
// tests' generator (every attribute slot, styles, tabs, pictures, objects,
// special characters), as the writer saves them, super-compact and escaped,
// so the fuzzer starts from every word the writer uses.
//   quillane_fuzz_rtf_seeds OUT_FOLDER [COUNT]
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "formats/PlainText.h"
#include "formats/WriteSink.h"
#include "formats/rtf/RtfWriter.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"
#include "support/DocGenerator.h"
#include "support/FakeFontSystem.h"

int main(int argc, char** argv) {
    using namespace quillane;
    if (argc < 2) {
        std::cerr << "usage: quillane_fuzz_rtf_seeds OUT_FOLDER [COUNT]\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 20;
    std::filesystem::create_directories(out);

    test::TFakeFontSystem fontSystem;
    fontSystem.Faces = test::StandardFakeFaces();
    TFontManager fonts(fontSystem);
    const auto codePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox messages;
    TFormatServices services{messages, *codePages, nullptr, &fonts};
    int written = 0;
    for (int seed = 1; seed <= count; ++seed) {
        TDocument document(TModelDefaults::BuiltIn(fonts.TimesNewRomanIndex()));
        test::GenerateDocument(document, fonts, static_cast<uint32_t>(seed), {.Paragraphs = 6, .Styles = 4});
        TFlexibleString rtf;
        TWriteSink sink(rtf);
        TDocSavingOptions options = TDocSavingOptions::WholeDocument(document, dfRtf);
        options.ToMemory = true;
        options.Memory = &rtf;
        const bool superCompact = seed % 2 == 1;
        if (WriteRtf(document, sink, options, services, {.SuperCompact = superCompact}) != WriteSucceeded) {
            continue;
        }
        std::ofstream file(out / ("generated-" + std::to_string(seed) + ".rtf"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(rtf.Data()), rtf.Length());
        ++written;
    }
    std::cout << written << " seeds\n";
    return 0;
}
