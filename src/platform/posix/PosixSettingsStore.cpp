// The settings store on POSIX: one text file in the registry's export syntax
// (platform/RegFile.h), read whole when the store opens. Writes change the
// copy in memory and are logged; Commit takes the file's lock, reads the file
// again, replays this session's log onto it and replaces the file with the
// result. Two instances that exit together thus each keep the other's values,
// and the last writer of one value wins, as with the registry.
//
// A file that cannot be read leaves the store empty (every option at its
// default) and the store refuses to commit, so that a file we never saw is
// never replaced. A file with lines that do not parse is read for what does
// parse; when it is replaced, its old bytes are kept beside it as
// "registry.reg.bad" for the user to look at.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/RegFile.h"
#include "platform/SettingsStore.h"

namespace quillane {

namespace {

constexpr char UserHive[] = "HKEY_CURRENT_USER\\";
// Larger files are not settings this program wrote.
constexpr off_t MaxStoreBytes = 64 << 20;

std::string FullPath(const std::string& path) {
    const std::string below = NormalizeKeyPath(path);
    return below.empty() ? std::string(UserHive, sizeof UserHive - 2) : UserHive + below;
}

enum class TReadOutcome { Read, Missing, Failed };

TReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? TReadOutcome::Missing : TReadOutcome::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > MaxStoreBytes) {
        ::close(fd);
        return TReadOutcome::Failed;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return TReadOutcome::Failed;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return TReadOutcome::Read;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Replaces path with bytes: a new file beside it, flushed, renamed over it,
// and the folder flushed so the rename itself survives a crash. On failure
// only the new file is removed.
bool ReplaceFileSafely(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == ".") {
        return true;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    if (!MakeFolders(FolderOf(folder))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// One change of this session, replayed onto the file's current contents.
struct TLoggedChange {
    enum class TKind { CreateKey, SetValue, DeleteValue, DeleteTree } Kind;
    std::string Path;
    TRegValue Value;  // the value, or only its name for DeleteValue
};

class TFileSettingsStore;

class TFileSettingsKey final : public TSettingsKey {
public:
    // Does not own the store, which outlives every key it hands out.
    TFileSettingsKey(TFileSettingsStore& store, std::string path) : store_(store), path_(std::move(path)) {}
    TSettingsValue Read(const std::string& name) override;
    bool WriteNumber(const std::string& name, uint32_t value) override;
    bool WriteString(const std::string& name, const std::string& value) override;
    bool DeleteValue(const std::string& name) override;

private:
    TFileSettingsStore& store_;
    std::string path_;
};

class TFileSettingsStore final : public TSettingsStore {
public:
    explicit TFileSettingsStore(std::string path) : path_(std::move(path)) {
        std::string bytes;
        switch (ReadWholeFile(path_, bytes)) {
            case TReadOutcome::Read: doc_ = ParseRegText(bytes); break;
            case TReadOutcome::Missing: break;
            case TReadOutcome::Failed: readable_ = false; break;
        }
    }
    TFileSettingsStore(const TFileSettingsStore&) = delete;
    TFileSettingsStore& operator=(const TFileSettingsStore&) = delete;

    std::unique_ptr<TSettingsKey> OpenKey(const std::string& path, bool create) override {
        const std::string full = FullPath(path);
        if (!create) {
            return FindSection(doc_, full) ? std::make_unique<TFileSettingsKey>(*this, full) : nullptr;
        }
        // Like the registry, making a key makes its parents.
        for (size_t slash = full.find('\\', sizeof UserHive - 1); ; slash = full.find('\\', slash + 1)) {
            const std::string prefix = full.substr(0, slash);
            Apply(doc_, {TLoggedChange::TKind::CreateKey, prefix, {}});
            log_.push_back({TLoggedChange::TKind::CreateKey, prefix, {}});
            if (slash == std::string::npos) {
                break;
            }
        }
        return std::make_unique<TFileSettingsKey>(*this, full);
    }

    bool DeleteTree(const std::string& path) override {
        Record({TLoggedChange::TKind::DeleteTree, FullPath(path), {}});
        return true;
    }

    bool Commit() override {
        if (!readable_) {
            return false;
        }
        if (log_.empty()) {
            return true;
        }
        if (!MakeFolders(FolderOf(path_))) {
            return false;
        }
        // The lock is a file of its own: the store file is replaced by each
        // commit, so a lock on it would be lost with the old inode.
        const std::string lockPath = path_ + ".lock";
        const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock < 0) {
            return false;
        }
        while (::flock(lock, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(lock);
                return false;
            }
        }
        const bool ok = CommitLocked();
        ::close(lock);  // releases the lock
        return ok;
    }

    // Called by the keys.
    TRegSection* Section(const std::string& path) { return FindSection(doc_, path); }
    bool Record(TLoggedChange change) {
        Apply(doc_, change);
        log_.push_back(std::move(change));
        return true;
    }

private:
    static void Apply(TRegDocument& doc, const TLoggedChange& change) {
        switch (change.Kind) {
            case TLoggedChange::TKind::CreateKey: AddSection(doc, change.Path); break;
            case TLoggedChange::TKind::SetValue: SetValue(AddSection(doc, change.Path), change.Value); break;
            case TLoggedChange::TKind::DeleteValue:
                if (TRegSection* s = FindSection(doc, change.Path)) {
                    RemoveValue(*s, change.Value.Name);
                }
                break;
            case TLoggedChange::TKind::DeleteTree: RemoveTree(doc, change.Path); break;
        }
    }

    bool CommitLocked() {
        std::string oldBytes;
        const TReadOutcome outcome = ReadWholeFile(path_, oldBytes);
        if (outcome == TReadOutcome::Failed) {
            return false;
        }
        TRegDocument current = outcome == TReadOutcome::Read ? ParseRegText(oldBytes) : TRegDocument{};
        for (const TLoggedChange& change : log_) {
            Apply(current, change);
        }
        mode_t mode = 0600;
        struct stat st {};
        if (outcome == TReadOutcome::Read && ::stat(path_.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        }
        if (current.IgnoredLines > 0 && !ReplaceFileSafely(path_ + ".bad", oldBytes, mode)) {
            return false;
        }
        const int32_t ignored = current.IgnoredLines;
        current.IgnoredLines = 0;
        if (!ReplaceFileSafely(path_, FormatRegText(current), mode)) {
            current.IgnoredLines = ignored;
            return false;
        }
        doc_ = std::move(current);
        log_.clear();
        return true;
    }

    std::string path_;
    TRegDocument doc_;
    std::vector<TLoggedChange> log_;
    bool readable_ = true;
};

TSettingsValue TFileSettingsKey::Read(const std::string& name) {
    TSettingsValue result;
    const TRegSection* section = store_.Section(path_);
    const TRegValue* value = section ? FindValue(*section, name) : nullptr;
    if (value != nullptr) {
        result.Kind = value->Kind;
        result.Number = value->Number;
        if (value->Kind == TSettingsValueKind::String) {
            result.Text = value->Text;
        }
    }
    return result;
}

bool TFileSettingsKey::WriteNumber(const std::string& name, uint32_t value) {
    return store_.Record({TLoggedChange::TKind::SetValue, path_, {name, TSettingsValueKind::Number, value, {}}});
}

bool TFileSettingsKey::WriteString(const std::string& name, const std::string& value) {
    return store_.Record({TLoggedChange::TKind::SetValue, path_, {name, TSettingsValueKind::String, 0, value}});
}

bool TFileSettingsKey::DeleteValue(const std::string& name) {
    return store_.Record({TLoggedChange::TKind::DeleteValue, path_, {name, TSettingsValueKind::Missing, 0, {}}});
}

std::string SettingsFilePath() {
    if (const char* explicitPath = std::getenv("QUILLANE_SETTINGS"); explicitPath && *explicitPath) {
        return explicitPath;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        return std::string(config) + "/quillane/registry.reg";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/quillane/registry.reg";
}

}  // namespace

std::unique_ptr<TSettingsStore> OpenUserSettingsStore() {
    return std::make_unique<TFileSettingsStore>(SettingsFilePath());
}

}  // namespace quillane
