#pragma once
// Substitutes for characters that a single-byte code page lacks: box
// drawing becomes '-', '|', '=' or '+', Greek and accented letters their
// Latin base letter, typographic quotes and dashes their ASCII forms. The
// result is another Unicode character that the caller looks up again.

#include <optional>

namespace quillane {

std::optional<char32_t> BestFitSubstitute(char32_t c);

}  // namespace quillane
