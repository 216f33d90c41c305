#pragma once
// Where the options are read from and written to. The base class stores
// nothing: every read gives its default and every write is dropped, which is
// what a run that must not touch the user's settings uses.
//
// Reads and writes go to the key last opened (a path below the storage's
// root). The long-string calls open a key of their own and reopen the one
// that was open before they return, so the calls around them keep their key.

#include <cstdint>
#include <string>

namespace quillane {

class TSettingsStorage {
public:
    virtual ~TSettingsStorage() = default;

    virtual bool OpenKey(const std::string& relativePath);
    virtual bool ReadBool(const std::string& name, bool defaultValue);
    // A stored number outside min..max reads as the nearer bound; a missing
    // value (or one of another type) reads as the default, unclamped.
    virtual int32_t ReadInteger(const std::string& name, int32_t min, int32_t defaultValue, int32_t max);
    virtual std::string ReadString(const std::string& name, const std::string& defaultValue);
    virtual std::string ReadLongString(const std::string& key, const std::string& defaultValue);
    virtual void WriteBool(const std::string& name, bool value);
    virtual void WriteInteger(const std::string& name, int32_t value);
    virtual void WriteString(const std::string& name, const std::string& value);
    virtual void WriteLongString(const std::string& key, const std::string& value);

    // Whether the open key holds a value of that name at all.
    virtual bool HasValue(const std::string& name);
    virtual void DeleteValue(const std::string& name);
    // Ends a run of writes: true when every write since the storage was made
    // reached the store and the store kept them.
    virtual bool Finish();
};

}  // namespace quillane
