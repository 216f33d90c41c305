#pragma once
// Tab stops and the ordered tables of them that paragraphs and styles refer
// to. A stop is packed into 32 bits: position in twips (bits 0-23), kind
// (24-27) and leader (28-31), so a table compares and stores as plain words.

#include <cstdint>
#include <optional>
#include <vector>

namespace quillane {

enum TTabKind : uint32_t { tkLeft = 0, tkCentred = 1, tkRight = 2, tkDecimal = 3, tkBar = 4 };
enum TTabLeader : uint32_t { tlNone = 0, tlDots = 1, tlHyphens = 2, tlUnderline = 3 };

constexpr int32_t MinTabPosition = 15;
constexpr int32_t MaxTabPosition = 0xFFFFFF;  // the widest value the position field holds
constexpr int32_t MaxTabStops = 50;

class TTabStop {
public:
    constexpr TTabStop() = default;
    // Positions are clamped into the position field so that a large value
    // from a file cannot change the kind or the leader; unknown kinds and
    // leaders become left and none.
    static TTabStop Make(int64_t position, uint32_t kind = tkLeft, uint32_t leader = tlNone);
    // A packed word as stored in a file; its fields are checked like Make's.
    static TTabStop FromPacked(uint32_t packed);

    int32_t Position() const { return static_cast<int32_t>(packed_ & 0xFFFFFFu); }
    uint32_t Kind() const { return (packed_ >> 24) & 0xFu; }
    uint32_t Leader() const { return packed_ >> 28; }
    bool IsBar() const { return Kind() == tkBar; }
    uint32_t Packed() const { return packed_; }

    friend bool operator==(const TTabStop&, const TTabStop&) = default;

private:
    constexpr explicit TTabStop(uint32_t packed) : packed_(packed) {}
    uint32_t packed_ = 0;
};

// An ordered list of at most 50 stops. It is kept sorted only where a caller
// sorts it; the layout walks it in table order.
class TTabTable {
public:
    int32_t StopCount() const { return static_cast<int32_t>(stops_.size()); }
    TTabStop Stop(int32_t i) const { return stops_[static_cast<size_t>(i)]; }
    bool Full() const { return StopCount() >= MaxTabStops; }

    // The last stop at exactly this position, -1 when none.
    int32_t Find(int32_t position) const;
    bool Contains(int32_t position) const { return Find(position) >= 0; }
    // Ignored when the table is full; positions below 15 are stored as 15.
    void Add(TTabStop stop);
    void RemoveAt(int32_t position);
    void Delete(int32_t i);
    void Clear() { stops_.clear(); }
    void CopyFrom(const TTabTable& table) { stops_ = table.stops_; }
    void SortByPosition();
    // The first stop in table order, bars excepted, beyond x (or at x when
    // inclusive); nothing when the table has none.
    std::optional<TTabStop> NextStop(int32_t x, bool inclusive) const;

    friend bool operator==(const TTabTable&, const TTabTable&) = default;

private:
    std::vector<TTabStop> stops_;
};

}  // namespace quillane
