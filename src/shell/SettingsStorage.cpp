#include "shell/SettingsStorage.h"

namespace quillane {

bool TSettingsStorage::OpenKey(const std::string&) { return true; }
bool TSettingsStorage::ReadBool(const std::string&, bool defaultValue) { return defaultValue; }
int32_t TSettingsStorage::ReadInteger(const std::string&, int32_t, int32_t defaultValue, int32_t) {
    return defaultValue;
}
std::string TSettingsStorage::ReadString(const std::string&, const std::string& defaultValue) { return defaultValue; }
std::string TSettingsStorage::ReadLongString(const std::string&, const std::string& defaultValue) {
    return defaultValue;
}
void TSettingsStorage::WriteBool(const std::string&, bool) {}
void TSettingsStorage::WriteInteger(const std::string&, int32_t) {}
void TSettingsStorage::WriteString(const std::string&, const std::string&) {}
void TSettingsStorage::WriteLongString(const std::string&, const std::string&) {}
bool TSettingsStorage::HasValue(const std::string&) { return false; }
void TSettingsStorage::DeleteValue(const std::string&) {}
bool TSettingsStorage::Finish() { return true; }

}  // namespace quillane
