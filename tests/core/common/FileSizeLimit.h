#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zobl::test {

// Runs write with the largest file this process may write lowered to limit bytes, the way a full
// disk stops a write part-way: a write beyond the limit fails (EFBIG; SIGXFSZ, which would end the
// process, is ignored meanwhile). The limit and the signal's handling are put back afterwards.
template <typename Write>
void WithFileSizeLimit(rlim_t limit, Write&& write) {
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    struct sigaction ignore {};
    struct sigaction previousAction {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previousAction);
    rlimit lowered = previous;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
    struct Restore {
        rlimit limit;
        struct sigaction action;
        ~Restore() {
            setrlimit(RLIMIT_FSIZE, &limit);
            sigaction(SIGXFSZ, &action, nullptr);
        }
    } restore{previous, previousAction};
    write();
}

// The names in a folder, sorted: a temporary file left behind shows up here.
inline std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace zobl::test
