// Arbitrary bytes as the language file, looked up the way the editor does.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/lang/LanguageManager.h"
#include "core/text/CodePages.h"

namespace {

// One file per fuzzing process, rewritten for every input and removed at exit; in memory where
// the system offers it, since writing a file on disk costs more than looking up all the texts.
std::filesystem::path TemporaryFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                            : std::filesystem::temp_directory_path();
}

struct TemporaryFile {
    TemporaryFile()
        : path((TemporaryFolder() / ("zobl_fuzz_language_" + std::to_string(getpid()) + ".rtx")).string()) {}
    ~TemporaryFile() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TemporaryFile temporary;
    const std::string& path = temporary.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        return 0;
    }

    // The lookup through the file, once; every other lookup on the same bytes in memory, which
    // is what GetText does after reading the file.
    static const zobl::CLanguageManager manager(path);
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    if (manager.GetText(1001, "DATA") != zobl::CLanguageManager::TextIn(content, 1001, "DATA")) {
        __builtin_trap();
    }
    constexpr const char* kSections[] = {"DATA", "Errors", "COLORS", "T"};
    constexpr int kKeys[] = {1, 1001, 5015, 6000};
    for (const char* section : kSections) {
        for (int key : kKeys) {
            const std::string text = zobl::CLanguageManager::TextIn(content, key, section);
            // Escapes never lengthen a text, but a malformed byte grows into the 3 bytes of U+FFFD.
            if (!zobl::IsValidUtf8(text) ||
                zobl::Utf8Length(text) > zobl::CLanguageManager::kMaxValueLength) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
