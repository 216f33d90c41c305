#pragma once
// The one error every picture reader and writer throws: a file that cannot be
// decoded, a size beyond the limits, data that ends early. Callers catch it
// where they drop the picture or store it without an image.

#include <stdexcept>
#include <string>

namespace quillane {

class TPictureError : public std::runtime_error {
public:
    explicit TPictureError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillane
