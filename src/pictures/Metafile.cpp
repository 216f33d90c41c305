#include "pictures/Metafile.h"

#include <cmath>

namespace quillane {

namespace {

constexpr uint32_t EmfSignature = 0x464D4520;    // " EMF"
constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr size_t EmfHeaderSize = 88;
constexpr size_t PlaceableHeaderSize = 22;
constexpr size_t WmfHeaderSize = 18;

int32_t Signed32(const uint8_t* p) { return static_cast<int32_t>(ReadLittleEndian32(p)); }
int16_t Signed16(const uint8_t* p) { return static_cast<int16_t>(ReadLittleEndian16(p)); }

// extent * 1440 / unitsPerInch, rounded, when positive and believable.
// Device pixels through the device's size in pixels and millimetres. The
// three come from the file and their product may pass any integer, so the
// scale is worked out in floating point and checked before it is used.
std::optional<int32_t> DeviceToTwips(int64_t pixels, int64_t deviceMillimetres, int64_t devicePixels) {
    if (pixels <= 0) {
        return std::nullopt;
    }
    const double twips = static_cast<double>(pixels) * static_cast<double>(deviceMillimetres) * 1440.0 /
                         (static_cast<double>(devicePixels) * 25.4);
    if (!(twips >= 0.5) || twips > MaxMetafileTwips) {
        return std::nullopt;
    }
    return static_cast<int32_t>(std::lround(twips));
}

std::optional<int32_t> ToTwips(int64_t extent, int64_t unitsPerInch) {
    if (extent <= 0 || unitsPerInch <= 0) {
        return std::nullopt;
    }
    const int64_t twips = (extent * 1440 + unitsPerInch / 2) / unitsPerInch;
    if (twips < 1 || twips > MaxMetafileTwips) {
        return std::nullopt;
    }
    return static_cast<int32_t>(twips);
}

bool ValidWindowsHeader(TByteSpan bits, size_t at) {
    if (bits.size() < at + WmfHeaderSize) {
        return false;
    }
    const uint16_t type = ReadLittleEndian16(&bits[at]);
    const uint16_t headerWords = ReadLittleEndian16(&bits[at + 2]);
    const uint16_t version = ReadLittleEndian16(&bits[at + 4]);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x100 || version == 0x300);
}

}  // namespace

TMetafileInfo ReadMetafileHeader(TByteSpan bits) {
    TMetafileInfo info;
    if (bits.size() >= EmfHeaderSize && ReadLittleEndian32(&bits[0]) == 1 &&
        ReadLittleEndian32(&bits[40]) == EmfSignature) {
        const uint32_t headerSize = ReadLittleEndian32(&bits[4]);
        if (headerSize < EmfHeaderSize || headerSize > bits.size()) {
            return info;
        }
        info.Kind = TMetafileKind::Enhanced;
        // The frame, in hundredths of a millimetre (2540 to the inch).
        info.Width = ToTwips(int64_t{Signed32(&bits[32])} - Signed32(&bits[24]), 2540);
        info.Height = ToTwips(int64_t{Signed32(&bits[36])} - Signed32(&bits[28]), 2540);
        if (!info.Width || !info.Height) {
            // Else the bounds in device pixels, through the device's size.
            const int64_t pixelsX = Signed32(&bits[72]), pixelsY = Signed32(&bits[76]);
            const int64_t millimetresX = Signed32(&bits[80]), millimetresY = Signed32(&bits[84]);
            if (pixelsX > 0 && pixelsY > 0 && millimetresX > 0 && millimetresY > 0) {
                const int64_t boundsX = int64_t{Signed32(&bits[16])} - Signed32(&bits[8]) + 1;
                const int64_t boundsY = int64_t{Signed32(&bits[20])} - Signed32(&bits[12]) + 1;
                info.Width = DeviceToTwips(boundsX, millimetresX, pixelsX);
                info.Height = DeviceToTwips(boundsY, millimetresY, pixelsY);
            }
        }
        if (!info.Width || !info.Height) {
            info.Width.reset();
            info.Height.reset();
        }
        return info;
    }
    if (bits.size() >= PlaceableHeaderSize && ReadLittleEndian32(&bits[0]) == PlaceableKey) {
        if (!ValidWindowsHeader(bits, PlaceableHeaderSize)) {
            return info;
        }
        info.Kind = TMetafileKind::Windows;
        info.Placeable = true;
        const uint16_t unitsPerInch = ReadLittleEndian16(&bits[14]);
        info.Width = ToTwips(int64_t{Signed16(&bits[10])} - Signed16(&bits[6]), unitsPerInch);
        info.Height = ToTwips(int64_t{Signed16(&bits[12])} - Signed16(&bits[8]), unitsPerInch);
        if (!info.Width || !info.Height) {
            info.Width.reset();
            info.Height.reset();
        }
        return info;
    }
    if (ValidWindowsHeader(bits, 0)) {
        info.Kind = TMetafileKind::Windows;
    }
    return info;
}

}  // namespace quillane
