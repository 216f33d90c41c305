#include "formats/word/WordPictures.h"

namespace quillane {

bool ReadWordPicture(const TWordCharProps&, TWordDataStream&, TWordGeneration, TDocument&) {
    return false;  // no picture registry yet: the caller records the loss
}

}  // namespace quillane
