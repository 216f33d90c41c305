#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include "ConvertCommand.h"
#include "platform/LargeBuffer.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto request = quillane::ParseConvertArguments(args, error);
    if (!request) {
        std::cerr << "quillane-convert: " << error << "\n" << quillane::ConvertUsage;
        return 2;
    }
    // One document is built whole, then written out.
    quillane::PreferLargeHeapPages(std::size_t{64} << 20);
#if !defined(__SANITIZE_ADDRESS__)
    // (Sanitizer builds free it, so that their leak check stays meaningful.)
    request->LeaveDocumentAtExit = true;
#endif
    return quillane::RunConvert(*request, std::cout, std::cerr);
}
