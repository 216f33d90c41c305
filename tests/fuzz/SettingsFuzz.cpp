// libFuzzer target: arbitrary bytes as the settings file. The file reader
// must take anything; what it read, written and read again, must be the
// same tree with no line left over; and the options read from it through
// the careful storage must all lie in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/RegFile.h"
#include "shell/CarefullRegistry.h"
#include "shell/OptionTable.h"
#include "support/MemorySettingsStore.h"

using namespace quillane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TRegDocument doc = ParseRegText(bytes);
    const std::string text = FormatRegText(doc);
    const TRegDocument again = ParseRegText(text);
    if (again.IgnoredLines != 0 || FormatRegText(again) != text) {
        std::abort();
    }

    test::TMemorySettings settings;
    settings.Tree = std::move(doc);
    TCarefullRegistry storage(test::OpenMemoryStore(settings), QuillaneSettingsRoot);
    const TOptionsEnvironment env;
    TOptions options = ReadOptions(storage, env);
    for (const TOptionRow& row : OptionTable(env)) {
        if (row.Type == TOptionType::Int && row.Rule != TOptionRule::PasteFormat) {
            const int32_t value = row.IntField(options);
            if (value < row.Min || value > row.Max) {
                std::abort();
            }
        }
        if (row.Type == TOptionType::FileList && row.ListField(options).Paths().size() > 30) {
            std::abort();
        }
    }
    if (options.ColorScheme.size() > 4 * 512 * 2048 || options.FindHistory.size() > 20) {
        std::abort();
    }
    return 0;
}
