#include "shell/CarefullRegistry.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace quillane {

const char QuillaneSettingsRoot[] = "\\Software\\Orvanic\\Quillane.1_x\\";

namespace {

// Splits UTF-8 text into pieces of at most `count` characters, never inside
// a character's bytes.
std::vector<std::string> SplitCharacters(const std::string& text, int32_t count) {
    std::vector<std::string> pieces;
    size_t start = 0;
    int32_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            continue;  // a continuation byte
        }
        if (characters == count) {
            pieces.push_back(text.substr(start, i - start));
            start = i;
            characters = 0;
        }
        ++characters;
    }
    if (start < text.size()) {
        pieces.push_back(text.substr(start));
    }
    return pieces;
}

// Reopens the key that was open when it was made, whatever happens between.
class TKeyRestorer {
public:
    TKeyRestorer(TSettingsStorage& storage, std::string path, bool wasOpen)
        : storage_(storage), path_(std::move(path)), wasOpen_(wasOpen) {}
    ~TKeyRestorer() {
        if (wasOpen_) {
            storage_.OpenKey(path_);
        }
    }
    TKeyRestorer(const TKeyRestorer&) = delete;
    TKeyRestorer& operator=(const TKeyRestorer&) = delete;

private:
    TSettingsStorage& storage_;
    std::string path_;
    bool wasOpen_;
};

}  // namespace

TCarefullRegistry::TCarefullRegistry(std::unique_ptr<TSettingsStore> store, std::string rootPath)
    : store_(std::move(store)), root_(std::move(rootPath)) {}

bool TCarefullRegistry::OpenKey(const std::string& relativePath) {
    keyPath_ = relativePath;
    key_ = store_->OpenKey(root_ + "\\" + relativePath, true);
    return key_ != nullptr;
}

TSettingsValue TCarefullRegistry::Read(const std::string& name) {
    return key_ ? key_->Read(name) : TSettingsValue{};
}

bool TCarefullRegistry::ReadBool(const std::string& name, bool defaultValue) {
    const TSettingsValue value = Read(name);
    return value.Kind == TSettingsValueKind::Number ? value.Number != 0 : defaultValue;
}

int32_t TCarefullRegistry::ReadInteger(const std::string& name, int32_t min, int32_t defaultValue, int32_t max) {
    const TSettingsValue value = Read(name);
    if (value.Kind != TSettingsValueKind::Number) {
        return defaultValue;
    }
    // A DWORD is the bits of a signed number, as it was written.
    return std::clamp(static_cast<int32_t>(value.Number), min, max);
}

std::string TCarefullRegistry::ReadString(const std::string& name, const std::string& defaultValue) {
    const TSettingsValue value = Read(name);
    return value.Kind == TSettingsValueKind::String ? value.Text : defaultValue;
}

std::string TCarefullRegistry::ReadLongString(const std::string& key, const std::string& defaultValue) {
    TKeyRestorer restore(*this, keyPath_, key_ != nullptr);
    if (!OpenKey(key)) {
        return defaultValue;
    }
    // A count out of range is damage, not a length: the default stands.
    const TSettingsValue count = Read("Count");
    if (count.Kind != TSettingsValueKind::Number || count.Number > MaxLongStringPieces) {
        return defaultValue;
    }
    std::string text;
    for (uint32_t i = 0; i < count.Number; ++i) {
        const TSettingsValue piece = Read(std::to_string(i));
        if (piece.Kind != TSettingsValueKind::String) {
            return defaultValue;
        }
        text += piece.Text;
    }
    return text;
}

void TCarefullRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TCarefullRegistry::WriteInteger(const std::string& name, int32_t value) {
    Written(key_ && key_->WriteNumber(name, static_cast<uint32_t>(value)));
}

void TCarefullRegistry::WriteString(const std::string& name, const std::string& value) {
    Written(key_ && key_->WriteString(name, value));
}

void TCarefullRegistry::WriteLongString(const std::string& key, const std::string& value) {
    TKeyRestorer restore(*this, keyPath_, key_ != nullptr);
    if (!OpenKey(key)) {
        Written(false);
        return;
    }
    const TSettingsValue oldCount = Read("Count");
    const std::vector<std::string> pieces = SplitCharacters(value, LongStringPiece);
    WriteInteger("Count", static_cast<int32_t>(pieces.size()));
    for (size_t i = 0; i < pieces.size(); ++i) {
        WriteString(std::to_string(i), pieces[i]);
    }
    // Pieces of a longer earlier value would otherwise stay behind.
    if (oldCount.Kind == TSettingsValueKind::Number) {
        const uint32_t stale = std::min<uint32_t>(oldCount.Number, MaxLongStringPieces);
        for (uint32_t i = static_cast<uint32_t>(pieces.size()); i < stale; ++i) {
            DeleteValue(std::to_string(i));
        }
    }
}

bool TCarefullRegistry::HasValue(const std::string& name) { return Read(name).Kind != TSettingsValueKind::Missing; }

void TCarefullRegistry::DeleteValue(const std::string& name) { Written(key_ && key_->DeleteValue(name)); }

bool TCarefullRegistry::Finish() {
    const bool committed = store_->Commit();
    return committed && !failed_;
}

}  // namespace quillane
