// veltra_bench NAME [ARGS...]: runs one benchmark under Wine. bench/run_bench.sh runs them all.
// To add one: declare it in bench.h, define it in its own file, add a row to kBenches.
#include <cstdio>
#include <cstring>

#include "bench.h"

namespace {

struct Bench {
    const char* name;
    int (*run)(int argc, char** argv);
};

const Bench kBenches[] = {
    {"listing", RunListingBench},     {"load", RunLoadBench},     {"step", RunStepBench},
    {"against", RunStepAgainstBench}, {"open", RunOpeningBench},  {"window", RunBareWindowBench},
    {"slides", RunSlidesBench},       {"viewer", RunViewerBench},
};

}  // namespace

int main(int argc, char** argv) {
    for (const Bench& bench : kBenches) {
        if (argc >= 2 && std::strcmp(argv[1], bench.name) == 0) return bench.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "usage: veltra_bench NAME [ARGS...]; NAME is one of:");
    for (const Bench& bench : kBenches) std::fprintf(stderr, " %s", bench.name);
    std::fprintf(stderr, "\n");
    return 2;
}
