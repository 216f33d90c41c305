// Appends the installer's payload to its program image:
//   quillane-pack IMAGE MANIFEST OUTPUT
// The files of the manifest (see PackManifest.h) are compressed one by one,
// then the directory and the trailer follow. With SOURCE_DATE_EPOCH set,
// every file gets that time and the same inputs give the same output. The
// output is written beside its final name and renamed into place.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "PackManifest.h"
#include "setup/PayloadFormat.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillane;
    if (argc != 4) {
        std::cerr << "usage: quillane-pack IMAGE MANIFEST OUTPUT\n";
        return 2;
    }
    const std::filesystem::path output = argv[3];
    const std::filesystem::path temporary = output.string() + ".~pack";
    try {
        int64_t epoch = 0;
        const char* epochText = std::getenv("SOURCE_DATE_EPOCH");
        if (epochText != nullptr && *epochText != '\0') {
            char* end = nullptr;
            epoch = std::strtoll(epochText, &end, 10);
            if (*end != '\0') {
                throw std::runtime_error("SOURCE_DATE_EPOCH is not a number");
            }
        }
        const std::filesystem::path manifest = argv[2];
        const auto items = ParsePackManifest(ReadAll(manifest), manifest.parent_path());
        const auto inputs = ReadPackItems(items, epochText != nullptr && *epochText != '\0' ? &epoch : nullptr);
        const std::string packed = PackImage(ReadAll(argv[1]), inputs);
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
            out.close();
            if (!out) {
                throw std::runtime_error("cannot write " + temporary.string());
            }
        }
        std::filesystem::rename(temporary, output);
        std::cout << inputs.size() << " files, " << packed.size() << " bytes\n";
        return 0;
    } catch (const std::exception& error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        std::cerr << "quillane-pack: " << error.what() << "\n";
        return 1;
    }
}
