#pragma once
// The colour seam: the system's colours of user-interface elements and the
// solid brushes surfaces are filled with. Colours are 0x00BBGGRR values.

#include <cstdint>
#include <memory>

namespace quillane {

using TColorValue = uint32_t;  // 0x00BBGGRR

// The system colours the program uses, by the platform's numbers.
enum TSystemColor : int32_t {
    scWindow = 5,
    scWindowText = 8,
    scButtonFace = 15,
    scButtonShadow = 16,
};

// A solid brush. Owns the platform's brush object.
class TPlatformBrush {
public:
    TPlatformBrush() = default;
    TPlatformBrush(const TPlatformBrush&) = delete;
    TPlatformBrush& operator=(const TPlatformBrush&) = delete;
    virtual ~TPlatformBrush() = default;

    virtual TColorValue Color() const = 0;
};

class TColorSystem {
public:
    TColorSystem() = default;
    TColorSystem(const TColorSystem&) = delete;
    TColorSystem& operator=(const TColorSystem&) = delete;
    virtual ~TColorSystem() = default;

    // The current value of a system colour (it changes when the user picks
    // another appearance).
    virtual TColorValue SystemColor(int32_t index) const = 0;
    virtual std::unique_ptr<TPlatformBrush> CreateSolidBrush(TColorValue color) = 0;
};

std::unique_ptr<TColorSystem> CreateColorSystem();

}  // namespace quillane
