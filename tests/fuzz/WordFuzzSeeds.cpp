// Writes fuzzing seeds for the Word target: for each compound file given,
// its "WordDocument", table and "Data" streams in the target's input layout.
//   quillane_fuzz_word_seeds OUT_FOLDER FILE...
#include <filesystem>
#include <fstream>
#include <iostream>

#include "WordFuzzInput.h"
#include "platform/CompoundFile.h"

namespace {

std::vector<uint8_t> Stream(quillane::TCompoundFile& file, const char* name) {
    std::vector<uint8_t> bytes;
    auto opened = file.OpenStream(name);
    if (opened.Stream) {
        quillane::ReadWholeStream(*opened.Stream, bytes, int64_t{64} << 20);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quillane_fuzz_word_seeds OUT_FOLDER FILE...\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    int written = 0;
    for (int i = 2; i < argc; ++i) {
        auto opened = quillane::OpenCompoundFile(argv[i]);
        if (!opened.File) {
            continue;
        }
        const auto main = Stream(*opened.File, "WordDocument");
        if (main.size() < 12) {
            continue;
        }
        // The FIB says which table stream is in use.
        const bool word97 = main[0] == 0xEC && main[1] == 0xA5;
        const bool table1 = (main[11] & 0x02) != 0;
        const auto table = word97 ? Stream(*opened.File, table1 ? "1Table" : "0Table") : std::vector<uint8_t>();
        const auto pictures = word97 ? Stream(*opened.File, "Data") : std::vector<uint8_t>();
        std::ofstream seed(out / (std::filesystem::path(argv[i]).filename().string() + ".seed"), std::ios::binary);
        const std::string input = quillane::fuzz::InputFromStreams(main, table, pictures);
        seed.write(input.data(), static_cast<std::streamsize>(input.size()));
        ++written;
    }
    std::cout << written << " seeds\n";
    return 0;
}
