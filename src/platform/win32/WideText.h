#pragma once
// UTF-8 and ANSI text to the system's wide strings and back.

#include <string>

namespace quillane {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

}  // namespace quillane
