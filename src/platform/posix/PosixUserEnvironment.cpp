#include <langinfo.h>

#include <locale.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/UserEnvironment.h"

namespace quillane {

TScreenSize PrimaryScreenSize() {
    if (const char* value = std::getenv("QUILLANE_SCREEN_SIZE")) {
        int width = 0;
        int height = 0;
        if (std::sscanf(value, "%dx%d", &width, &height) == 2 && width >= 320 && height >= 200 && width <= 65535 &&
            height <= 65535) {
            return {width, height};
        }
    }
    return {1024, 768};
}

bool UserLocaleIsMetric() {
    // glibc's LC_MEASUREMENT: 1 metric, 2 U.S. customary, read from the
    // user's locale without changing the program's. No locale set means
    // metric, as most of the world measures.
    locale_t user = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) {
        return true;
    }
    const char* measurement = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, user);
    const bool metric = measurement == nullptr || measurement[0] != 2;
    freelocale(user);
    return metric;
}

std::string UserDocumentsFolder() {
    const char* homeValue = std::getenv("HOME");
    const std::string home = homeValue && *homeValue ? homeValue : "/";
    // xdg-user-dirs keeps the folder in user-dirs.dirs as
    // XDG_DOCUMENTS_DIR="$HOME/Documents".
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string dirsFile =
        (config && *config == '/' ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::ifstream in(dirsFile);
    std::string line;
    while (std::getline(in, line)) {
        const std::string prefix = "XDG_DOCUMENTS_DIR=\"";
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string folder = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (folder.rfind("$HOME", 0) == 0) {
            folder = home + folder.substr(5);
        }
        if (!folder.empty() && folder.front() == '/' && folder != home + "/") {
            while (folder.size() > 1 && folder.back() == '/') {
                folder.pop_back();
            }
            return folder;
        }
    }
    return home;
}

uint16_t UserDefaultLanguage() {
    struct TLanguage {
        const char* Prefix;
        uint16_t Id;
    };
    // The common languages with their primary territory's identifier.
    static const TLanguage languages[] = {
        {"en_GB", 0x0809}, {"en", 0x0409}, {"de", 0x0407}, {"fr", 0x040C}, {"es", 0x0C0A}, {"it", 0x0410},
        {"nl", 0x0413},    {"pt_BR", 0x0416}, {"pt", 0x0816}, {"ru", 0x0419}, {"pl", 0x0415}, {"cs", 0x0405},
        {"sv", 0x041D},    {"da", 0x0406}, {"fi", 0x040B}, {"nb", 0x0414}, {"ja", 0x0411}, {"zh_TW", 0x0404},
        {"zh", 0x0804},    {"ko", 0x0412}, {"tr", 0x041F}, {"el", 0x0408}, {"hu", 0x040E}, {"uk", 0x0422},
    };
    const char* lang = std::getenv("LC_ALL");
    if (!lang || !*lang) {
        lang = std::getenv("LANG");
    }
    if (lang) {
        for (const TLanguage& l : languages) {
            if (std::strncmp(lang, l.Prefix, std::strlen(l.Prefix)) == 0) {
                return l.Id;
            }
        }
    }
    return 0x0409;
}

bool SamePathText(std::string_view a, std::string_view b) { return a == b; }

}  // namespace quillane
