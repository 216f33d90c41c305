#include "support/Corpus.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace quillane::test {

std::optional<std::filesystem::path> CorpusFolder(const std::string& sub) {
    const char* fromEnv = std::getenv("QUILLANE_CORPUS");
    const std::filesystem::path root = fromEnv != nullptr && *fromEnv != 0 ? fromEnv : QUILLANE_CORPUS_DEFAULT;
    std::error_code ec;
    const std::filesystem::path folder = root / sub;
    if (!std::filesystem::is_directory(folder, ec)) {
        return std::nullopt;
    }
    return folder;
}

std::vector<std::filesystem::path> CorpusFiles(const std::string& sub) {
    std::vector<std::filesystem::path> files;
    if (const auto folder = CorpusFolder(sub)) {
        for (const auto& entry : std::filesystem::directory_iterator(*folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

TTempFolder::TTempFolder() {
    static std::atomic<int> counter{0};
    std::random_device random;
    std::ostringstream name;
    name << "quillane-test-" << random() << "-" << counter++;
    path_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(path_);
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace quillane::test
