#include "platform/CompoundFileReader.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quillane {

namespace {

constexpr size_t HeaderSize = 512;
constexpr size_t DirectoryEntrySize = 128;
constexpr size_t HeaderFatEntries = 109;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t NoEntry = 0xFFFFFFFF;
// Storages nest a few levels in real files; a damaged directory can nest
// without end.
constexpr int MaxDepth = 64;
constexpr size_t MaxDirectoryBytes = size_t{16} << 20;

enum TEntryType : uint8_t { etStorage = 1, etStream = 2, etRoot = 5 };

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

class TMemorySource final : public TCompoundSource {
public:
    TMemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    bool ReadAt(int64_t offset, void* buffer, size_t count) override {
        if (offset < 0 || static_cast<uint64_t>(offset) > size_ || count > size_ - static_cast<size_t>(offset)) {
            return false;
        }
        if (count != 0) {
            std::memcpy(buffer, data_ + offset, count);
        }
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

class TFileSource final : public TCompoundSource {
public:
    explicit TFileSource(std::unique_ptr<TFile> file) : file_(std::move(file)), size_(file_->Size()) {}
    int64_t Size() const override { return size_; }
    bool ReadAt(int64_t offset, void* buffer, size_t count) override {
        if (offset < 0 || offset > size_ || static_cast<int64_t>(count) > size_ - offset || !file_->Seek(offset)) {
            return false;
        }
        auto* out = static_cast<uint8_t*>(buffer);
        while (count > 0) {
            const int32_t n = file_->Read(out, static_cast<int32_t>(std::min<size_t>(count, 1 << 20)));
            if (n <= 0) {
                return false;
            }
            out += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    std::unique_ptr<TFile> file_;
    int64_t size_;
};

// Directory names are UTF-16; paths are UTF-8. A lone surrogate becomes
// U+FFFD.
std::string NameToUtf8(const uint8_t* name, size_t units) {
    std::string out;
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = U16(name + 2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && U16(name + 2 * i + 2) >= 0xDC00 &&
            U16(name + 2 * i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (U16(name + 2 * i + 2) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return text;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

struct TNode {
    std::string Name;
    bool Storage = false;
    uint32_t Start = EndOfChain;
    uint64_t Size = 0;
    std::vector<size_t> Children;  // indexes into the node list
};

// What the streams of one file share: the source, the sector tables and the
// mini stream's place.
class TCompoundState {
public:
    explicit TCompoundState(std::unique_ptr<TCompoundSource> source) : source_(std::move(source)) {}

    bool ReadHeader(std::string& message);
    void ReadFat();
    std::vector<uint32_t> Chain(uint32_t start, const std::vector<uint32_t>& table, uint64_t count) const;
    std::vector<uint32_t> Chain(uint32_t start) const { return Chain(start, fat_, sectorCount_); }
    bool ReadDirectory(std::string& message);
    void ReadMiniStream();

    // Reads `count` bytes of the file at `offset`; the part beyond the end
    // of the file (a last sector cut short) reads as zeros.
    bool ReadFileBytes(uint64_t offset, uint8_t* out, size_t count);
    uint64_t SectorOffset(uint32_t sector) const { return (uint64_t{sector} + 1) << shift_; }
    uint32_t Shift() const { return shift_; }
    uint32_t MiniShift() const { return miniShift_; }
    uint64_t MiniCutoff() const { return miniCutoff_; }
    const std::vector<uint32_t>& MiniFat() const { return miniFat_; }
    const std::vector<uint32_t>& MiniStreamSectors() const { return miniStreamSectors_; }
    uint64_t MiniSectorCount() const { return miniSectorCount_; }
    const std::vector<TNode>& Nodes() const { return nodes_; }

private:
    std::vector<uint32_t> ReadTable(const std::vector<uint32_t>& sectors, uint64_t entries);
    // Adds the nodes of the sibling tree under `first`; answers their indexes.
    std::vector<size_t> AddChildren(const std::vector<uint8_t>& directory, uint32_t first, int depth,
                                    std::vector<bool>& seen);

    std::unique_ptr<TCompoundSource> source_;
    uint8_t header_[HeaderSize] = {};
    uint32_t shift_ = 9;
    uint32_t miniShift_ = 6;
    uint64_t miniCutoff_ = 4096;
    uint64_t sectorCount_ = 0;
    std::vector<uint32_t> fat_;
    std::vector<uint32_t> miniFat_;
    std::vector<uint32_t> miniStreamSectors_;
    uint64_t miniSectorCount_ = 0;
    std::vector<TNode> nodes_;  // nodes_[0] is the root
    mutable std::vector<uint32_t> walkMarks_;  // by sector: the last walk through it
    mutable uint32_t walk_ = 0;
};

bool TCompoundState::ReadFileBytes(uint64_t offset, uint8_t* out, size_t count) {
    const auto size = static_cast<uint64_t>(source_->Size());
    const size_t present = offset >= size ? 0 : static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    if (present > 0 && !source_->ReadAt(static_cast<int64_t>(offset), out, present)) {
        return false;
    }
    std::fill(out + present, out + count, uint8_t{0});
    return true;
}

bool TCompoundState::ReadHeader(std::string& message) {
    if (source_->Size() < static_cast<int64_t>(HeaderSize) || !source_->ReadAt(0, header_, HeaderSize) ||
        !HasCompoundSignature(header_, HeaderSize)) {
        message = "not a compound file";
        return false;
    }
    // The version decides the sector size; the shift is only believed for
    // versions that do not fix it.
    const uint16_t version = U16(header_ + 26);
    const uint16_t shift = U16(header_ + 30);
    if (version == 3) {
        shift_ = 9;
    } else if (version == 4) {
        shift_ = 12;
    } else if (shift >= 7 && shift <= 16) {
        shift_ = shift;
    } else {
        message = "unknown compound file version";
        return false;
    }
    const uint16_t miniShift = U16(header_ + 32);
    miniShift_ = miniShift >= 2 && miniShift < shift_ ? miniShift : 6;
    const uint32_t cutoff = U32(header_ + 56);
    miniCutoff_ = cutoff >= 64 && cutoff <= 65536 ? cutoff : 4096;
    const auto size = static_cast<uint64_t>(source_->Size());
    const uint64_t sector = uint64_t{1} << shift_;
    // Sectors that start inside the file; the last may be cut short.
    sectorCount_ = size > sector ? std::min<uint64_t>((size - sector + sector - 1) >> shift_, 0xFFFFFFF0u) : 0;
    return true;
}

std::vector<uint32_t> TCompoundState::ReadTable(const std::vector<uint32_t>& sectors, uint64_t entries) {
    const size_t perSector = (size_t{1} << shift_) / 4;
    std::vector<uint32_t> table;
    table.reserve(static_cast<size_t>(std::min<uint64_t>(entries, sectors.size() * perSector)));
    std::vector<uint8_t> bytes(size_t{1} << shift_);
    for (const uint32_t sector : sectors) {
        if (table.size() >= entries) {
            break;
        }
        // A table sector that cannot be read ends every chain through it.
        const bool read = sector < sectorCount_ && ReadFileBytes(SectorOffset(sector), bytes.data(), bytes.size());
        for (size_t i = 0; i < perSector && table.size() < entries; ++i) {
            table.push_back(read ? U32(bytes.data() + 4 * i) : NoEntry);
        }
    }
    return table;
}

void TCompoundState::ReadFat() {
    // The FAT's sectors are listed by the header and then by the chain of
    // DIFAT sectors. Only as many as cover the file's sectors matter,
    // whatever count the header gives; a number that leaves the file leaves
    // a hole that ends the chains through it.
    const size_t perSector = (size_t{1} << shift_) / 4;
    const uint64_t needed = (sectorCount_ + perSector - 1) / perSector;
    std::vector<uint32_t> fatSectors;
    for (size_t i = 0; i < HeaderFatEntries && fatSectors.size() < needed; ++i) {
        fatSectors.push_back(U32(header_ + 76 + 4 * i));
    }
    std::vector<bool> seen(static_cast<size_t>(sectorCount_));
    std::vector<uint8_t> bytes(size_t{1} << shift_);
    for (uint32_t difat = U32(header_ + 68); fatSectors.size() < needed && difat < sectorCount_ && !seen[difat];) {
        seen[difat] = true;
        if (!ReadFileBytes(SectorOffset(difat), bytes.data(), bytes.size())) {
            break;
        }
        for (size_t i = 0; i + 1 < perSector && fatSectors.size() < needed; ++i) {
            fatSectors.push_back(U32(bytes.data() + 4 * i));
        }
        difat = U32(bytes.data() + 4 * (perSector - 1));
    }
    fat_ = ReadTable(fatSectors, sectorCount_);
    fat_.resize(static_cast<size_t>(sectorCount_), NoEntry);
}

std::vector<uint32_t> TCompoundState::Chain(uint32_t start, const std::vector<uint32_t>& table, uint64_t count) const {
    // A chain ends at its end mark, at any number outside the table, or
    // where it would come round to a sector it has been through. A sector
    // is marked with the walk's number, so a directory of many streams
    // does not clear a table of the whole file for each of them.
    std::vector<uint32_t> chain;
    const auto limit = static_cast<size_t>(std::min<uint64_t>(count, table.size()));
    if (walkMarks_.size() < limit) {
        walkMarks_.resize(limit, 0);
    }
    if (++walk_ == 0) {
        std::fill(walkMarks_.begin(), walkMarks_.end(), 0);
        walk_ = 1;
    }
    for (uint32_t sector = start; sector < limit && walkMarks_[sector] != walk_; sector = table[sector]) {
        walkMarks_[sector] = walk_;
        chain.push_back(sector);
    }
    return chain;
}

std::vector<size_t> TCompoundState::AddChildren(const std::vector<uint8_t>& directory, uint32_t first, int depth,
                                                std::vector<bool>& seen) {
    // The children of a storage form a tree of siblings under its child
    // entry; their order in the tree does not matter here.
    const size_t entries = directory.size() / DirectoryEntrySize;
    std::vector<size_t> children;
    std::unordered_set<std::string> names;  // the children's, without case
    std::vector<uint32_t> pending{first};
    while (!pending.empty()) {
        const uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entries || seen[id]) {
            continue;  // no entry, or one reached twice in a damaged tree
        }
        seen[id] = true;
        const uint8_t* entry = directory.data() + size_t{id} * DirectoryEntrySize;
        pending.push_back(U32(entry + 72));  // right, then left: the left side is taken first
        pending.push_back(U32(entry + 68));
        const uint8_t type = entry[66];
        if (type != etStorage && type != etStream) {
            continue;  // unused, or a kind no document uses
        }
        const size_t units = std::min<size_t>(U16(entry + 64) / 2, 32);
        size_t length = 0;
        while (length < units && U16(entry + 2 * length) != 0) {
            ++length;
        }
        if (length == 0) {
            continue;
        }
        TNode node;
        node.Name = NameToUtf8(entry, length);
        // A path could not name an entry with a slash, nor tell a second
        // entry of the same name from the first: only what a path reaches
        // is kept.
        if (node.Name.find('/') != std::string::npos || !names.insert(LowerAscii(node.Name)).second) {
            continue;
        }
        node.Storage = type == etStorage;
        node.Start = U32(entry + 116);
        // Version 3 files only use the low half of the size.
        node.Size = shift_ == 9 ? U32(entry + 120) : (uint64_t{U32(entry + 124)} << 32 | U32(entry + 120));
        nodes_.push_back(std::move(node));
        const size_t index = nodes_.size() - 1;
        if (nodes_[index].Storage && depth < MaxDepth) {
            std::vector<size_t> grandchildren = AddChildren(directory, U32(entry + 76), depth + 1, seen);
            nodes_[index].Children = std::move(grandchildren);
        }
        children.push_back(index);
    }
    return children;
}

bool TCompoundState::ReadDirectory(std::string& message) {
    std::vector<uint32_t> sectors = Chain(U32(header_ + 48));
    // Real directories hold a few dozen entries; a damaged chain may run
    // through the whole file.
    sectors.resize(std::min(sectors.size(), (MaxDirectoryBytes >> shift_)));
    std::vector<uint8_t> directory(sectors.size() << shift_);
    for (size_t i = 0; i < sectors.size(); ++i) {
        if (!ReadFileBytes(SectorOffset(sectors[i]), directory.data() + (i << shift_), size_t{1} << shift_)) {
            message = "the directory cannot be read";
            return false;
        }
    }
    if (directory.size() < DirectoryEntrySize || (directory[66] != etRoot && directory[66] != etStorage)) {
        message = "the directory has no root";
        return false;
    }
    std::vector<bool> seen(directory.size() / DirectoryEntrySize);
    seen[0] = true;
    TNode root;
    root.Storage = true;
    root.Start = U32(directory.data() + 116);
    root.Size = U32(directory.data() + 120);
    nodes_.push_back(std::move(root));
    std::vector<size_t> children = AddChildren(directory, U32(directory.data() + 76), 1, seen);
    nodes_[0].Children = std::move(children);
    return true;
}

void TCompoundState::ReadMiniStream() {
    // The mini stream is the root's chain; the mini FAT its own chain.
    miniStreamSectors_ = Chain(nodes_[0].Start);
    const uint64_t held = std::min<uint64_t>(uint64_t{miniStreamSectors_.size()} << shift_, nodes_[0].Size);
    miniSectorCount_ = held >> miniShift_;
    miniFat_ = ReadTable(Chain(U32(header_ + 60)), miniSectorCount_);
}

// A stream's bytes: the file positions of its sectors (or mini sectors,
// through the mini stream's sectors), never more than its chain holds.
class TReaderStream final : public TStorageStream {
public:
    TReaderStream(std::shared_ptr<TCompoundState> state, const TNode& node) : state_(std::move(state)) {
        mini_ = node.Size < state_->MiniCutoff();
        if (mini_) {
            chain_ = state_->Chain(node.Start, state_->MiniFat(), state_->MiniSectorCount());
        } else {
            chain_ = state_->Chain(node.Start);
        }
        unitShift_ = mini_ ? state_->MiniShift() : state_->Shift();
        size_ = std::min<uint64_t>(node.Size, uint64_t{chain_.size()} << unitShift_);
    }

    int64_t Size() const override { return static_cast<int64_t>(size_); }

    int32_t Read(void* buffer, int32_t count) override {
        auto* out = static_cast<uint8_t*>(buffer);
        int32_t done = 0;
        while (done < count && position_ < size_) {
            uint64_t fileOffset = 0;
            const uint64_t run = Locate(position_, fileOffset);
            const auto n = static_cast<size_t>(
                std::min<uint64_t>({run, size_ - position_, static_cast<uint64_t>(count - done)}));
            if (n == 0 || !state_->ReadFileBytes(fileOffset, out + done, n)) {
                return done > 0 ? done : -1;
            }
            done += static_cast<int32_t>(n);
            position_ += n;
        }
        return done;
    }

    bool Seek(int64_t offset) override {
        if (offset < 0 || static_cast<uint64_t>(offset) > size_) {
            return false;
        }
        position_ = static_cast<uint64_t>(offset);
        return true;
    }

private:
    // Where the byte at `position` lies in the file, and how many bytes
    // from there on are contiguous (0: nowhere).
    uint64_t Locate(uint64_t position, uint64_t& fileOffset) const {
        const uint64_t unit = uint64_t{1} << unitShift_;
        size_t index = static_cast<size_t>(position >> unitShift_);
        const uint64_t within = position & (unit - 1);
        if (!mini_) {
            fileOffset = state_->SectorOffset(chain_[index]) + within;
            // Sectors that follow each other in the file are read at once.
            uint64_t run = unit - within;
            while (index + 1 < chain_.size() && chain_[index + 1] == chain_[index] + 1) {
                run += unit;
                ++index;
            }
            return run;
        }
        const uint64_t inMini = (uint64_t{chain_[index]} << unitShift_) + within;
        const uint32_t shift = state_->Shift();
        const auto big = static_cast<size_t>(inMini >> shift);
        const std::vector<uint32_t>& sectors = state_->MiniStreamSectors();
        if (big >= sectors.size()) {
            return 0;
        }
        fileOffset = state_->SectorOffset(sectors[big]) + (inMini & ((uint64_t{1} << shift) - 1));
        return unit - within;  // a mini sector never crosses a sector
    }

    std::shared_ptr<TCompoundState> state_;
    std::vector<uint32_t> chain_;
    bool mini_ = false;
    uint32_t unitShift_ = 9;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

class TReaderCompoundFile final : public TCompoundFile {
public:
    explicit TReaderCompoundFile(std::shared_ptr<TCompoundState> state) : state_(std::move(state)) {}

    TStreamOpenResult OpenStream(const std::string& path) override {
        TStreamOpenResult result;
        const std::vector<TNode>& nodes = state_->Nodes();
        size_t current = 0;
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find('/', start);
            const std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            const std::vector<size_t>& children = nodes[current].Children;
            auto found = std::find_if(children.begin(), children.end(),
                                      [&](size_t child) { return nodes[child].Name == name; });
            if (found == children.end()) {
                // Names compare without case in the format.
                found = std::find_if(children.begin(), children.end(),
                                     [&](size_t child) { return SameNameIgnoringCase(nodes[child].Name, name); });
            }
            const bool last = slash == std::string::npos;
            if (found == children.end() || nodes[*found].Storage == last) {
                result.Error = TStorageError::NotFound;
                result.Message = found == children.end() ? "no stream \"" + path + "\"" : "\"" + path + "\" is not a stream";
                return result;
            }
            if (last) {
                result.Stream = std::make_unique<TReaderStream>(state_, nodes[*found]);
                return result;
            }
            current = *found;
            start = slash + 1;
        }
    }

    TStreamListResult ListStreams() override {
        TStreamListResult result;
        const std::vector<TNode>& nodes = state_->Nodes();
        std::vector<std::pair<size_t, std::string>> pending{{0, std::string()}};
        while (!pending.empty()) {
            const auto [index, prefix] = pending.back();
            pending.pop_back();
            for (const size_t child : nodes[index].Children) {
                const std::string path = prefix.empty() ? nodes[child].Name : prefix + "/" + nodes[child].Name;
                if (nodes[child].Storage) {
                    pending.emplace_back(child, path);
                } else {
                    result.Streams.push_back({path, TReaderStream(state_, nodes[child]).Size()});
                }
            }
        }
        SortStreamEntries(result.Streams);
        return result;
    }

private:
    std::shared_ptr<TCompoundState> state_;
};

}  // namespace

std::unique_ptr<TCompoundSource> MemoryCompoundSource(const uint8_t* data, size_t size) {
    return std::make_unique<TMemorySource>(data, size);
}

std::unique_ptr<TCompoundSource> FileCompoundSource(std::unique_ptr<TFile> file) {
    return std::make_unique<TFileSource>(std::move(file));
}

TCompoundOpenResult ReadCompoundFile(std::unique_ptr<TCompoundSource> source) {
    TCompoundOpenResult result;
    auto state = std::make_shared<TCompoundState>(std::move(source));
    if (!state->ReadHeader(result.Message)) {
        result.Error = result.Message == "not a compound file" ? TStorageError::NotCompound : TStorageError::Damaged;
        return result;
    }
    state->ReadFat();
    if (!state->ReadDirectory(result.Message)) {
        result.Error = TStorageError::Damaged;
        return result;
    }
    state->ReadMiniStream();
    result.File = std::make_unique<TReaderCompoundFile>(std::move(state));
    return result;
}

TCompoundOpenResult ReadCompoundFile(const std::string& path) {
    TFileOpenResult opened = OpenFile(path, TFileMode::Read);
    if (!opened.File) {
        TCompoundOpenResult result;
        result.Error = opened.Error == TFileError::NotFound          ? TStorageError::NotFound
                       : opened.Error == TFileError::AccessDenied     ? TStorageError::AccessDenied
                       : opened.Error == TFileError::SharingViolation ? TStorageError::SharingViolation
                                                                      : TStorageError::Other;
        result.Message = opened.Message;
        return result;
    }
    return ReadCompoundFile(FileCompoundSource(std::move(opened.File)));
}

}  // namespace quillane
