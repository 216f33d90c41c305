// Compound files through the system's structured storage (StgOpenStorage,
// IStorage, IStream). Structured storage needs no COM initialisation.
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/CompoundFile.h"
#include "platform/CompoundFileReader.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

// Owns one interface reference.
template <typename T>
class TComRef {
public:
    TComRef() = default;
    ~TComRef() { Reset(); }
    TComRef(TComRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    TComRef& operator=(TComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Out() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

TStorageError ErrorFromResult(HRESULT hr) {
    switch (hr) {
        case STG_E_FILENOTFOUND:
        case STG_E_PATHNOTFOUND: return TStorageError::NotFound;
        case STG_E_FILEALREADYEXISTS: return TStorageError::NotCompound;  // the answer for a non-storage file
        case STG_E_ACCESSDENIED: return TStorageError::AccessDenied;
        case STG_E_SHAREVIOLATION:
        case STG_E_LOCKVIOLATION: return TStorageError::SharingViolation;
        case STG_E_INVALIDHEADER:
        case STG_E_DOCFILECORRUPT:
        case STG_E_OLDFORMAT:
        case STG_E_OLDDLL:
        case STG_E_READFAULT: return TStorageError::Damaged;
        default: return TStorageError::Other;
    }
}

std::string ResultText(HRESULT hr) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
    std::string message = text != nullptr ? WideToUtf8(text) : std::string("error ") + code;
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

class TWin32Stream final : public TStorageStream {
public:
    TWin32Stream(TComRef<IStream> stream, std::vector<TComRef<IStorage>> parents)
        : parents_(std::move(parents)), stream_(std::move(stream)) {}

    int64_t Size() const override {
        STATSTG stat{};
        if (FAILED(stream_->Stat(&stat, STATFLAG_NONAME))) {
            return -1;
        }
        return static_cast<int64_t>(std::min<ULONGLONG>(stat.cbSize.QuadPart, INT64_MAX));
    }

    int32_t Read(void* buffer, int32_t count) override {
        if (count <= 0) {
            return 0;
        }
        ULONG done = 0;
        const HRESULT hr = stream_->Read(buffer, static_cast<ULONG>(count), &done);
        if (FAILED(hr)) {
            return -1;
        }
        return static_cast<int32_t>(done);
    }

    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return SUCCEEDED(stream_->Seek(to, STREAM_SEEK_SET, nullptr));
    }

private:
    std::vector<TComRef<IStorage>> parents_;  // nested storages above the stream
    TComRef<IStream> stream_;                 // released first
};

// Child storages and streams must be opened for exclusive use.
constexpr DWORD ChildMode = STGM_READ | STGM_SHARE_EXCLUSIVE;

class TWin32CompoundFile final : public TCompoundFile {
public:
    explicit TWin32CompoundFile(TComRef<IStorage> root) : root_(std::move(root)) {}

    TStreamOpenResult OpenStream(const std::string& path) override {
        TStreamOpenResult result;
        IStorage* storage = root_.Get();
        // A storage's children die with it: every level stays open until
        // the stream is.
        std::vector<TComRef<IStorage>> nested;
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find('/', start);
            const std::wstring name =
                Utf8ToWide(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
            HRESULT hr;
            if (slash == std::string::npos) {
                TComRef<IStream> stream;
                hr = storage->OpenStream(name.c_str(), nullptr, ChildMode, 0, stream.Out());
                if (SUCCEEDED(hr)) {
                    result.Stream = std::make_unique<TWin32Stream>(std::move(stream), std::move(nested));
                    return result;
                }
            } else {
                TComRef<IStorage> child;
                hr = storage->OpenStorage(name.c_str(), nullptr, ChildMode, nullptr, 0, child.Out());
                if (SUCCEEDED(hr)) {
                    nested.push_back(std::move(child));
                    storage = nested.back().Get();
                    start = slash + 1;
                    continue;
                }
            }
            // A missing element, or one of the other kind (a storage asked
            // for as a stream), is not found; the system answers either
            // with "not found" or with "access denied".
            result.Error = ErrorFromResult(hr);
            if (result.Error != TStorageError::SharingViolation && result.Error != TStorageError::Damaged) {
                result.Error = TStorageError::NotFound;
            }
            result.Message = "no stream \"" + path + "\": " + ResultText(hr);
            return result;
        }
    }

    TStreamListResult ListStreams() override {
        TStreamListResult result;
        Walk(root_.Get(), "", 0, result);
        SortStreamEntries(result.Streams);
        return result;
    }

private:
    void Walk(IStorage* storage, const std::string& prefix, int depth, TStreamListResult& result) {
        TComRef<IEnumSTATSTG> elements;
        HRESULT hr = storage->EnumElements(0, nullptr, 0, elements.Out());
        if (FAILED(hr)) {
            result.Error = ErrorFromResult(hr);
            result.Message = ResultText(hr);
            return;
        }
        for (;;) {
            STATSTG stat{};
            ULONG fetched = 0;
            hr = elements->Next(1, &stat, &fetched);
            if (hr != S_OK || fetched != 1) {
                if (FAILED(hr)) {
                    result.Error = ErrorFromResult(hr);
                    result.Message = ResultText(hr);
                }
                return;
            }
            const std::wstring wide = stat.pwcsName != nullptr ? stat.pwcsName : L"";
            CoTaskMemFree(stat.pwcsName);
            const std::string name = WideToUtf8(wide);
            const std::string path = prefix.empty() ? name : prefix + "/" + name;
            if (stat.type == STGTY_STREAM) {
                result.Streams.push_back(
                    {path, static_cast<int64_t>(std::min<ULONGLONG>(stat.cbSize.QuadPart, INT64_MAX))});
            } else if (stat.type == STGTY_STORAGE && depth < 64) {
                TComRef<IStorage> child;
                hr = storage->OpenStorage(wide.c_str(), nullptr, ChildMode, nullptr, 0, child.Out());
                if (FAILED(hr)) {
                    result.Error = ErrorFromResult(hr);
                    result.Message = ResultText(hr);
                    continue;
                }
                Walk(child.Get(), path, depth + 1, result);
            }
        }
    }

    TComRef<IStorage> root_;
};

}  // namespace

TCompoundOpenResult OpenCompoundFile(const std::string& path) {
    TCompoundOpenResult result;
    const std::wstring wide = Utf8ToWide(path);
    // An open document holds its own file for writing (the lock), so the
    // storage must deny nobody; read-only direct mode cannot, transacted
    // mode can, and nothing is ever committed.
    TComRef<IStorage> root;
    const HRESULT hr = StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_NONE | STGM_TRANSACTED,
                                      nullptr, 0,
                                      root.Out());
    if (FAILED(hr)) {
        result.Error = ErrorFromResult(hr);
        result.Message = ResultText(hr);
        // Structured storage refuses files whose tables hold one bad entry;
        // the program's own reader opens whatever the directory still
        // reaches.
        if (result.Error == TStorageError::Damaged || result.Error == TStorageError::Other ||
            result.Error == TStorageError::NotCompound) {
            TCompoundOpenResult tolerant = ReadCompoundFile(path);
            if (tolerant.File) {
                return tolerant;
            }
            // A file with the signature whose header cannot be read is
            // damaged, whatever the system calls it.
            if (tolerant.Error == TStorageError::Damaged) {
                result.Error = TStorageError::Damaged;
            }
        }
        return result;
    }
    result.File = std::make_unique<TWin32CompoundFile>(std::move(root));
    return result;
}

}  // namespace quillane
