// quillane-storage [--own] FILE...: lists the streams of compound files with
// their sizes and CRC-32s (see StorageListing.h). With several files each
// listing follows a line "== NAME" (the name as given, without its folder).
// --own reads them with the program's own tolerant reader only.
// Exit code 0 when every file was listed completely, 1 otherwise, 2 for usage.
#include <iostream>
#include <string>

#include "StorageListing.h"

int main(int argc, char** argv) {
    int first = 1;
    auto reader = quillane::TStorageReader::Platform;
    if (argc > 1 && std::string(argv[1]) == "--own") {
        reader = quillane::TStorageReader::Own;
        first = 2;
    }
    if (argc <= first) {
        std::cerr << "usage: quillane-storage [--own] FILE...\n";
        return 2;
    }
    bool ok = true;
    for (int i = first; i < argc; ++i) {
        const std::string path = argv[i];
        if (argc - first > 1) {
            const size_t slash = path.find_last_of("/\\");
            std::cout << "== " << (slash == std::string::npos ? path : path.substr(slash + 1)) << "\n";
        }
        ok = quillane::ListCompoundFile(path, std::cout, std::cerr, reader) && ok;
    }
    std::cout.flush();
    return ok ? 0 : 1;
}
