#include "support/MemorySettingsStore.h"

namespace quillane::test {

namespace {

std::string Full(const std::string& path) {
    const std::string below = NormalizeKeyPath(path);
    return below.empty() ? "HKEY_CURRENT_USER" : "HKEY_CURRENT_USER\\" + below;
}

class TMemoryKey final : public TSettingsKey {
public:
    TMemoryKey(TMemorySettings& settings, std::string path) : settings_(settings), path_(std::move(path)) {}

    TSettingsValue Read(const std::string& name) override {
        TSettingsValue result;
        const TRegSection* section = FindSection(settings_.Tree, path_);
        if (const TRegValue* v = section ? FindValue(*section, name) : nullptr) {
            result.Kind = v->Kind;
            result.Number = v->Number;
            if (v->Kind == TSettingsValueKind::String) {
                result.Text = v->Text;
            }
        }
        return result;
    }
    bool WriteNumber(const std::string& name, uint32_t value) override {
        return Set({name, TSettingsValueKind::Number, value, {}});
    }
    bool WriteString(const std::string& name, const std::string& value) override {
        return Set({name, TSettingsValueKind::String, 0, value});
    }
    bool DeleteValue(const std::string& name) override {
        if (settings_.FailWrites) {
            return false;
        }
        if (TRegSection* section = FindSection(settings_.Tree, path_)) {
            RemoveValue(*section, name);
        }
        return true;
    }

private:
    bool Set(const TRegValue& value) {
        if (settings_.FailWrites) {
            return false;
        }
        SetValue(AddSection(settings_.Tree, path_), value);
        return true;
    }

    TMemorySettings& settings_;
    std::string path_;
};

class TMemoryStore final : public TSettingsStore {
public:
    explicit TMemoryStore(TMemorySettings& settings) : settings_(settings) {}

    std::unique_ptr<TSettingsKey> OpenKey(const std::string& path, bool create) override {
        const std::string full = Full(path);
        if (!FindSection(settings_.Tree, full)) {
            if (!create) {
                return nullptr;
            }
            AddSection(settings_.Tree, full);
        }
        return std::make_unique<TMemoryKey>(settings_, full);
    }
    bool DeleteTree(const std::string& path) override {
        RemoveTree(settings_.Tree, Full(path));
        return true;
    }
    bool Commit() override {
        ++settings_.Commits;
        return !settings_.FailCommit;
    }

private:
    TMemorySettings& settings_;
};

}  // namespace

TSettingsValue TMemorySettings::Value(const std::string& path, const std::string& name) {
    TMemoryKey key(*this, Full(path));
    return key.Read(name);
}

std::unique_ptr<TSettingsStore> OpenMemoryStore(TMemorySettings& settings) {
    return std::make_unique<TMemoryStore>(settings);
}

}  // namespace quillane::test
