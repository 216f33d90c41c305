#pragma once
// The display name of a font index. The font registry answers it; style
// descriptions and tools only need this much of it.

#include <cstdint>
#include <string>

namespace quillane {

class TFontNames {
public:
    virtual ~TFontNames() = default;
    virtual std::string FontName(int32_t index) const = 0;
};

}  // namespace quillane
