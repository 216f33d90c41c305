// Compound files through libgsf's OLE2 reader.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>

#include "platform/CompoundFile.h"
#include "platform/CompoundFileReader.h"

namespace quillane {

namespace {

struct TUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using TInputPtr = std::unique_ptr<GsfInput, TUnref>;
using TInfilePtr = std::unique_ptr<GsfInfile, TUnref>;

// libgsf reports what it finds wrong in a file through glib's log, which
// writes to standard error. A user sees the program's own messages only:
// what matters comes back as an error value.
void DropLibraryMessages(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void SilenceLibraryLog() {
    static std::once_flag installed;  // glib's handler is process-wide; set it once
    std::call_once(installed, [] { g_log_set_default_handler(DropLibraryMessages, nullptr); });
}

std::string TakeMessage(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "unknown error";
    if (error != nullptr) {
        g_error_free(error);
    }
    return text;
}

class TGsfStream final : public TStorageStream {
public:
    explicit TGsfStream(TInputPtr input) : input_(std::move(input)) {}

    int64_t Size() const override { return static_cast<int64_t>(gsf_input_size(input_.get())); }

    int32_t Read(void* buffer, int32_t count) override {
        if (count <= 0) {
            return 0;
        }
        // gsf_input_read fails unless the whole count remains.
        const gsf_off_t left = gsf_input_remaining(input_.get());
        const int32_t n = static_cast<int32_t>(std::min<gsf_off_t>(count, std::max<gsf_off_t>(left, 0)));
        if (n == 0) {
            return 0;
        }
        if (gsf_input_read(input_.get(), static_cast<size_t>(n), static_cast<guint8*>(buffer)) == nullptr) {
            return -1;
        }
        return n;
    }

    // gsf_input_seek answers TRUE on failure.
    bool Seek(int64_t offset) override { return !gsf_input_seek(input_.get(), offset, G_SEEK_SET); }

private:
    TInputPtr input_;
};

// A child of an msole infile is a storage when it has a child count.
bool IsStorage(GsfInput* input) { return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0; }

class TGsfCompoundFile final : public TCompoundFile {
public:
    explicit TGsfCompoundFile(TInfilePtr root) : root_(std::move(root)) {}

    TStreamOpenResult OpenStream(const std::string& path) override {
        TStreamOpenResult result;
        GsfInfile* storage = root_.get();
        TInputPtr owner;  // keeps a nested storage alive while we descend
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find('/', start);
            const std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            TInputPtr child(gsf_infile_child_by_name(storage, name.c_str()));
            if (!child) {
                result.Error = TStorageError::NotFound;
                result.Message = "no stream \"" + path + "\"";
                return result;
            }
            const bool last = slash == std::string::npos;
            if (IsStorage(child.get()) != !last) {
                result.Error = TStorageError::NotFound;
                result.Message = "\"" + path + "\" is not a stream";
                return result;
            }
            if (last) {
                result.Stream = std::make_unique<TGsfStream>(std::move(child));
                return result;
            }
            storage = GSF_INFILE(child.get());
            owner = std::move(child);
            start = slash + 1;
        }
    }

    TStreamListResult ListStreams() override {
        TStreamListResult result;
        const std::function<void(GsfInfile*, const std::string&, int)> walk = [&](GsfInfile* storage,
                                                                                const std::string& prefix,
                                                                                int depth) {
            const int count = gsf_infile_num_children(storage);
            for (int i = 0; i < count; ++i) {
                const char* name = gsf_infile_name_by_index(storage, i);
                TInputPtr child(gsf_infile_child_by_index(storage, i));
                // Names are never empty in an intact directory.
                if (!child || name == nullptr || *name == 0) {
                    result.Error = TStorageError::Damaged;
                    result.Message = "unreadable entry in \"" + prefix + "\"";
                    continue;
                }
                const std::string path = prefix.empty() ? name : prefix + "/" + name;
                if (IsStorage(child.get())) {
                    // Damaged directories can nest without end; real files stay shallow.
                    if (depth < 64) {
                        walk(GSF_INFILE(child.get()), path, depth + 1);
                    }
                } else {
                    result.Streams.push_back({path, static_cast<int64_t>(gsf_input_size(child.get()))});
                }
            }
        };
        walk(root_.get(), "", 0);
        SortStreamEntries(result.Streams);
        return result;
    }

private:
    TInfilePtr root_;
};

}  // namespace

TCompoundOpenResult OpenCompoundFile(const std::string& path) {
    TCompoundOpenResult result;
    // The signature tells "not a compound file" from "damaged" before the
    // library is asked, since its errors do not.
    uint8_t head[8] = {};
    size_t got = 0;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        got = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
    } else {
        const int error = errno;
        result.Error = error == ENOENT || error == ENOTDIR ? TStorageError::NotFound
                       : error == EACCES || error == EPERM ? TStorageError::AccessDenied
                                                           : TStorageError::Other;
        result.Message = std::strerror(error);
        return result;
    }
    if (!HasCompoundSignature(head, static_cast<int64_t>(got))) {
        result.Error = TStorageError::NotCompound;
        result.Message = "not a compound file";
        return result;
    }
    SilenceLibraryLog();
    GError* error = nullptr;
    TInputPtr input(gsf_input_stdio_new(path.c_str(), &error));
    if (!input) {
        result.Error = TStorageError::Other;
        result.Message = TakeMessage(error);
        return result;
    }
    TInfilePtr root(gsf_infile_msole_new(input.get(), &error));
    if (!root) {
        // libgsf refuses files whose tables hold one bad entry; the
        // program's own reader opens whatever the directory still reaches.
        const std::string refusal = TakeMessage(error);
        TCompoundOpenResult tolerant = ReadCompoundFile(path);
        if (tolerant.File) {
            return tolerant;
        }
        result.Error = TStorageError::Damaged;
        result.Message = refusal;
        return result;
    }
    result.File = std::make_unique<TGsfCompoundFile>(std::move(root));
    return result;
}

}  // namespace quillane
