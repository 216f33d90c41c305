#include "model/DocumentNames.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

// Separators that end a word: trailing ones are cut from a proposed name.
bool IsWordSeparator(uint8_t c) {
    return c < 32 || std::strchr(" \t.,;:!?\"'()[]{}<>-/\\|*", c) != nullptr;
}

std::string Extension(const std::string& name) {
    const std::filesystem::path p(name);
    return p.extension().string();
}

// The text a paragraph's first line shows: up to the end of the first laid
// out line, or to the first hard break when the paragraph is not laid out.
std::string FirstLineText(const TParagraph& paragraph) {
    int32_t end = paragraph.PositionCount();
    if (paragraph.LineCount() > 0) {
        const TParLine& line = paragraph.Line(0);
        end = line.FirstPosition + line.PositionCount;
    } else {
        for (int32_t i = 0; i < paragraph.PositionCount(); ++i) {
            const uint8_t c = paragraph.Positions[i];
            if (c == spParagraphEnd || c == spLineBreak || c == spPageBreak) {
                end = i;
                break;
            }
        }
    }
    std::string text(reinterpret_cast<const char*>(paragraph.Positions.Data()), static_cast<size_t>(end));
    while (!text.empty() && IsWordSeparator(static_cast<uint8_t>(text.back()))) {
        text.pop_back();
    }
    return text;
}

}  // namespace

bool IsFileNameInvalid(uint8_t c) { return c < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr; }

std::string NewDocumentName(int32_t& counter, const std::string& folder, const std::string& extension,
                            const std::function<bool(const std::string&)>& isOpen) {
    std::string name;
    // At most 99 names exist; when all are open the last one tried is used.
    for (int attempt = 0; attempt < 99; ++attempt) {
        if (counter < 1 || counter > 99) {
            counter = 1;
        }
        char base[16];
        std::snprintf(base, sizeof base, "Doc%02d.", static_cast<int>(counter));
        name = (std::filesystem::path(folder) / (base + extension)).string();
        counter = counter % 99 + 1;
        if (!isOpen || !isOpen(name)) {
            break;
        }
    }
    return name;
}

std::string NameFromText(const TDocument& document, const std::string& fallback, bool keepLong) {
    std::string text;
    for (int32_t i = 0; i < document.ParagraphCount() && text.empty(); ++i) {
        const TParagraph& paragraph = document.Paragraph(i);
        if (paragraph.PositionCount() > 1) {
            text = FirstLineText(paragraph);
        }
    }
    if (text.empty()) {
        return fallback;
    }
    if (keepLong) {
        return text;
    }
    if (text.size() > 100) {
        text.resize(100);
    }
    for (char& c : text) {
        if (IsFileNameInvalid(static_cast<uint8_t>(c))) {
            c = FileNameReplacement;
        }
    }
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (text.empty()) {
        return fallback;
    }
    return text + Extension(fallback);
}

}  // namespace quillane
