#pragma once
// Real documents from the shared corpus. The folder comes from the
// QUILLANE_CORPUS environment variable, else from the build's setting; tests
// that need it skip, saying so, when it is absent.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillane::test {

// The corpus subfolder (e.g. "txt"), or nothing when it does not exist.
std::optional<std::filesystem::path> CorpusFolder(const std::string& sub);
// The regular files of a corpus subfolder, sorted by name.
std::vector<std::filesystem::path> CorpusFiles(const std::string& sub);

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh folder for a test's files, removed with the object.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    std::filesystem::path Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace quillane::test

#define QUILLANE_REQUIRE_CORPUS(sub)                                                         \
    do {                                                                                     \
        if (!::quillane::test::CorpusFolder(sub)) {                                          \
            GTEST_SKIP() << "skipped: corpus folder \"" << (sub) << "\" not found (set QUILLANE_CORPUS)"; \
        }                                                                                    \
    } while (0)
