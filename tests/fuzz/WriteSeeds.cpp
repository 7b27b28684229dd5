// Writes the seed corpora of the fuzzers: fuzz_seeds <folder>.
#include <cstdio>

#include "FuzzDecoders.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    yav::fuzz::WriteSeeds(argv[1]);
    return 0;
}
