#pragma once
// The 56 state flags of a document with their save/restore stack. Code that
// changes a flag for a while pushes its old value and pops it afterwards, so
// nested users restore exactly what they found.

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace quillane {

constexpr int StateFlagCount = 56;

// Bits with a meaning in the document itself; other parts define the rest.
enum TDocStateBit : int {
    dsForceModifiedRefresh = 0,
    dsDrawingToDevice = 3,  // printing or drawing to a metafile: no clipping tests
    dsUntitled = 35,        // never saved: Save asks for a name
    dsInternal = 43,        // the multi-clip store's document, saved only as a copy
};

class TStateFlags {
public:
    bool Test(int bit) const { return (bits_ >> bit) & 1u; }

    void PushFlag(int bit) { stack_.emplace_back(static_cast<uint8_t>(bit), Test(bit)); }
    void SetFlag(int bit) {
        PushFlag(bit);
        bits_ |= Mask(bit);
    }
    void ClearFlag(int bit) {
        PushFlag(bit);
        bits_ &= ~Mask(bit);
    }
    // Sets each bit in ascending order, pushing each.
    void SetFlags(uint64_t set);
    void SetFlags(std::initializer_list<int> bits);
    // Restores the last n recorded values, newest first.
    void PopFlags(int n);

    // Changes without recording (creation, tests).
    void Assign(int bit, bool value) { bits_ = value ? (bits_ | Mask(bit)) : (bits_ & ~Mask(bit)); }
    void ClearAll() { bits_ = 0; }

    uint64_t Bits() const { return bits_; }
    int StackDepth() const { return static_cast<int>(stack_.size()); }

private:
    static uint64_t Mask(int bit) { return uint64_t{1} << bit; }

    uint64_t bits_ = 0;
    std::vector<std::pair<uint8_t, bool>> stack_;
};

}  // namespace quillane
