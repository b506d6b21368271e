#include <cstdio>

int main(int argc, char* argv[]) {
    (void)argv;
    std::fputs("usage: zobl-tool [--lang FILE] COMMAND ARGS...\n", stderr);
    return argc > 1 ? 2 : 2;
}
