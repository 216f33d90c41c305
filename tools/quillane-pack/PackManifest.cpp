#include "PackManifest.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>

#include "setup/AttachedFiles.h"
#include "setup/PayloadFormat.h"
#include "setup/PayloadTime.h"

namespace quillane {

namespace {

// Just enough of a file for the payload reader to look at the image.
class TStringFile final : public TFile {
public:
    explicit TStringFile(const std::string& bytes) : bytes_(bytes) {}
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    int32_t Read(void* buffer, int32_t count) override {
        const int64_t n = std::min<int64_t>(count, Size() - at_);
        if (n <= 0) {
            return 0;
        }
        bytes_.copy(static_cast<char*>(buffer), static_cast<size_t>(n), static_cast<size_t>(at_));
        at_ += n;
        return static_cast<int32_t>(n);
    }
    bool Write(const void*, int32_t) override { return false; }
    bool Seek(int64_t offset) override {
        at_ = offset;
        return offset >= 0;
    }
    int64_t Tell() const override { return at_; }
    bool Truncate() override { return false; }

private:
    const std::string& bytes_;
    int64_t at_ = 0;
};

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes.str();
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) {
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

std::vector<TPackItem> ParsePackManifest(const std::string& text, const std::filesystem::path& folder) {
    std::vector<TPackItem> items;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string where = "manifest line " + std::to_string(number) + ": ";
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() < 2 || fields.size() > 3 || fields[0].empty() || fields[1].empty()) {
            throw std::runtime_error(where + "expected SOURCE<tab>NAME[<tab>FLAGS]");
        }
        TPackItem item;
        item.Source = std::filesystem::path(fields[0]);
        if (!item.Source.is_absolute()) {
            item.Source = folder / item.Source;
        }
        item.Name = fields[1];
        for (char& ch : item.Name) {
            if (static_cast<unsigned char>(ch) >= 0x80) {
                // ASCII reads the same in every code page a Windows system
                // might decode the name with.
                throw std::runtime_error(where + "payload names must be ASCII");
            }
            if (ch == '/') {
                ch = '\\';
            }
        }
        if (fields.size() == 3) {
            std::istringstream flags(fields[2]);
            std::string flag;
            while (std::getline(flags, flag, ',')) {
                if (flag == "text") {
                    item.Text = true;
                } else if (!flag.empty()) {
                    throw std::runtime_error(where + "unknown flag \"" + flag + "\"");
                }
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

std::vector<TPayloadInput> ReadPackItems(const std::vector<TPackItem>& items, const int64_t* epoch) {
    std::vector<TPayloadInput> inputs;
    for (const TPackItem& item : items) {
        TPayloadInput input;
        input.Name = item.Name;
        input.Data = ReadFileBytes(item.Source);
        if (item.Text) {
            input.Data = WithCrLf(input.Data);
        }
        int64_t seconds = 0;
        if (epoch != nullptr) {
            seconds = *epoch;
        } else {
            std::error_code error;
            const auto written = std::filesystem::last_write_time(item.Source, error);
            if (error) {
                throw std::runtime_error("cannot read the time of " + item.Source.string());
            }
            const auto system = std::chrono::file_clock::to_sys(written);
            seconds = std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
        }
        input.Time = PayloadTimeFromLocalTime(CalendarTimeFromUnixSeconds(seconds));
        inputs.push_back(std::move(input));
    }
    return inputs;
}

std::string PackImage(const std::string& image, const std::vector<TPayloadInput>& inputs) {
    bool carriesPayload = true;
    try {
        TAttachedFiles existing(std::make_unique<TStringFile>(image));
    } catch (const TPayloadError&) {
        carriesPayload = false;
    }
    if (carriesPayload) {
        throw std::runtime_error("the image already carries a payload");
    }
    return image + BuildPayload(image.size(), inputs);
}

}  // namespace quillane
