#pragma once
// The install log: one line per folder the installer created ("Made Dir: ")
// and per file or shortcut it made ("File Copy: "), which the uninstaller
// reads to remove exactly those. An installation loads the log already in
// the destination and saves the list back, so repeated installations add
// up. Saved as UTF-8 without a byte-order mark, lines ended by CR LF.
// Logging can be suspended (nested) for files the uninstaller must not
// know about, such as the licence unpacked to show it.
//
// The worker thread adds lines while it runs; the user-interface thread
// loads before starting it and saves only after it has ended.

#include <string>
#include <vector>

namespace quillane {

constexpr const char* LogFolderPrefix = "Made Dir: ";
constexpr const char* LogFilePrefix = "File Copy: ";
constexpr const char* InstallLogName = "Install.log";
// A log past this size is not the installer's: loading refuses it.
constexpr size_t InstallLogLimit = 4u << 20;

enum class TLogLoad { Loaded, Missing, Failed };

class TInstallLog {
public:
    void AddFolder(const std::string& path) { Add(LogFolderPrefix + path); }
    void AddFile(const std::string& path) { Add(LogFilePrefix + path); }
    // Lines added while logging is suspended are dropped.
    void Add(std::string line);

    void Suspend() { ++suspended_; }
    void Resume();
    bool Active() const { return suspended_ == 0; }

    const std::vector<std::string>& Lines() const { return lines_; }

    // Appends the lines of the log file at `path` (CR LF or LF ends, a last
    // line without one, empty lines skipped). Missing when there is none;
    // Failed when it cannot be read or is too large (nothing appended).
    TLogLoad Load(const std::string& path);

    // Writes the lines to `path` beside it first and then in its place, so
    // a failure leaves the old log as it was; false on failure.
    bool Save(const std::string& path) const;

private:
    std::vector<std::string> lines_;
    int suspended_ = 0;
};

}  // namespace quillane
