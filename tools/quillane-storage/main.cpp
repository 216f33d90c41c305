// quillane-storage FILE...: lists the streams of compound files with their
// sizes and CRC-32s (see StorageListing.h). With several files each listing
// follows a line "== NAME" (the name as given, without its folder).
// Exit code 0 when every file was listed completely, 1 otherwise, 2 for usage.
#include <iostream>
#include <string>

#include "StorageListing.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quillane-storage FILE...\n";
        return 2;
    }
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        if (argc > 2) {
            const size_t slash = path.find_last_of("/\\");
            std::cout << "== " << (slash == std::string::npos ? path : path.substr(slash + 1)) << "\n";
        }
        ok = quillane::ListCompoundFile(path, std::cout, std::cerr) && ok;
    }
    std::cout.flush();
    return ok ? 0 : 1;
}
