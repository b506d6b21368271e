#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "core/common/AtomicFile.h"
#include "tool/ToolCommands.h"

namespace {

// Ctrl+C or a kill while a file is being written: the half-written temporary file goes, then
// the signal ends the program as it would have.
extern "C" void RemoveTemporariesAndEnd(int signal) {
    zobl::RemoveTemporaryFilesInProgress();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

int main(int argc, char* argv[]) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller had us ignore (nohup, a background job) stays ignored.
        if (std::signal(signal, RemoveTemporariesAndEnd) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    return zobl::RunTool(args, std::cin, std::cout, std::cerr);
}
