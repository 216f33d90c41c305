// Writes fuzzing seeds for the Write target: small files made by the tests'
// Write-file builder, each with one structure the reader must bound (runs
// over several pages, a font table across pages, headers and footers,
// metafile, bitmap and OLE paragraphs, the OLE identifier, the Word for DOS
// variant).
//   quillane_fuzz_write_seeds OUT_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "support/WriteFixture.h"

int main(int argc, char** argv) {
    using namespace quillane::test;
    if (argc < 2) {
        std::cerr << "usage: quillane_fuzz_write_seeds OUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    std::vector<std::pair<std::string, TWriteFixture>> seeds;

    TWriteFixture formatted;
    formatted.Fonts = {{"Times New Roman", 0x10}, {"Arial", 0x20}, {"Courier New", 0x30}};
    formatted.FontsOnNextPageFrom = 2;
    formatted.Text = "Title\r\nA hanging\tparagraph \x96 with\x0B" "breaks\x0C\r\nLast \\{}\r\n";
    TWriteCharProps bold;
    bold.Bold = true;
    bold.Font = 1;
    bold.HalfPoints = 40;
    TWriteCharProps sub;
    sub.Position = -6;
    sub.Font = 2;
    formatted.CharRuns = {{0, WriteCharRecord(bold)}, {7, WriteCharRecord(sub)}, {20, {}, false}};
    TWriteParProps hanging;
    hanging.LeftIndent = 2160;
    hanging.FirstIndent = -720;
    hanging.LineSpacing = 360;
    hanging.Tabs = {{1440, false}, {2880, true}};
    TWriteParProps centred;
    centred.Alignment = 1;
    formatted.ParRuns = {{0, WriteParRecord(centred)}, {7, WriteParRecord(hanging)}};
    formatted.RunsPerPage = 2;
    seeds.emplace_back("formatted.wri", formatted);

    TWriteFixture special;
    special.Identifier = 0xBE32;
    const std::string picture = WritePictureParagraph({}, TinyMetafile());
    const std::string bitmap = WritePictureParagraph({0xE3}, std::string(32, '\x55'));
    const std::string object = WritePictureParagraph({0xE4}, std::string(32, '\x01'));
    special.Text = "Header\r\n" + picture + bitmap + object + "Body\r\nFooter\r\n";
    TWriteParProps header;
    header.Special = 0x02;
    TWriteParProps graphics;
    graphics.Special = 0x10;
    TWriteParProps footer;
    footer.Special = 0x05;
    const auto at = [&](const std::string& s) { return static_cast<uint32_t>(special.Text.find(s)); };
    special.ParRuns = {{0, WriteParRecord(header)},
                       {8, WriteParRecord(graphics)},
                       {static_cast<uint32_t>(8 + picture.size()), WriteParRecord(graphics)},
                       {static_cast<uint32_t>(8 + picture.size() + bitmap.size()), WriteParRecord(graphics)},
                       {at("Body"), {}, false},
                       {at("Footer"), WriteParRecord(footer)}};
    special.Fonts = {{"Arial", 0x20}};
    seeds.emplace_back("pictures-and-headers.wri", special);

    TWriteFixture dos;
    dos.WordForDos = true;
    dos.Text = "Caf\x82 \xC4\xC4\xC4 \xB3 box\x0B" "line\r\nnext\r\n";
    TWriteParProps drawing;
    drawing.Special = 0x10;
    drawing.LineSpacing = 0xFFB0;
    dos.ParRuns = {{0, WriteParRecord(drawing)}};
    seeds.emplace_back("word-for-dos.wri", dos);

    TWriteFixture many;
    for (int i = 0; i < 60; ++i) {
        many.Text += "Line " + std::to_string(i) + "\r\n";
        TWriteCharProps props;
        props.Italic = i % 2 == 1;
        props.Underline = i % 3 == 0;
        many.CharRuns.push_back({static_cast<uint32_t>(many.Text.size() - 3), WriteCharRecord(props)});
    }
    seeds.emplace_back("many-runs.wri", many);

    for (const auto& [name, fixture] : seeds) {
        const TBytes bytes = fixture.Build();
        std::ofstream file(out / name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::cout << seeds.size() << " seeds\n";
    return 0;
}
