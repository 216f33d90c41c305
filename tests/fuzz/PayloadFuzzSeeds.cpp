// Writes fuzzing seeds for the payload target: installer files the payload
// writer builds (no files, one empty file, nested and accented names,
// several blocks of data, many small files) and the uncompressed
// directories of some of them.
//   quillane_fuzz_payload_seeds OUT_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "setup/PayloadFormat.h"
#include "setup/PayloadWriter.h"

namespace {

void Save(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillane;
    if (argc < 2) {
        std::cerr << "usage: quillane_fuzz_payload_seeds OUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    std::string pattern;
    for (int i = 0; i < 40000; ++i) {
        pattern += static_cast<char>(i * 31 % 253);
    }
    std::vector<TPayloadInput> many;
    for (int i = 0; i < 40; ++i) {
        many.push_back({"Docs\\f" + std::to_string(i) + ".txt", std::string(static_cast<size_t>(i), 'x'), 40000.0 + i});
    }
    const std::vector<std::vector<TPayloadInput>> sets = {
        {},
        {{"empty.txt", "", 45000.0}},
        {{"Quillane.exe", pattern, 45000.5}, {"License.txt", "MIT\r\n", 45000.25}},
        {{"Docs\\Guide\\page.htm", "<p>x</p>", 1.0}, {"\xC3\x89t\xC3\xA9.txt", "accents", 2958465.5}},
        many,
    };
    const std::string image = "MZ" + std::string(62, '\0');
    int written = 0;
    for (size_t i = 0; i < sets.size(); ++i) {
        Save(out / ("payload-" + std::to_string(i) + ".exe"), image + BuildPayload(image.size(), sets[i]));
        ++written;
    }
    // Directories alone, for the parser's half of the target.
    std::vector<TAttachedFile> records = {{"a.txt", 5, 40000.0, 100, 0}, {"Docs\\b", 0, 1.0, 200, 0}};
    Save(out / "directory-0.bin", EncodeDirectory(records, 0x10000));
    Save(out / "directory-1.bin", EncodeDirectory({}, 0x10000));
    written += 2;
    std::cout << written << " seeds\n";
    return 0;
}
