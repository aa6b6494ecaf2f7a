// Gives the unit tests the places of their data when neither ctest nor the developer set them,
// so running the test binary by hand tests the same things as ctest does.
#include <cstdlib>

namespace {

struct DefaultTestPaths {
    DefaultTestPaths() {
        setenv("VELTRA_FIXTURES", VELTRA_FIXTURES_DIR, 0);
        setenv("VELTRA_FUZZ_CORPUS", VELTRA_FUZZ_CORPUS_DIR, 0);
        setenv("VELTRA_HELP_RTF", VELTRA_HELP_RTF_PATH, 0);
    }
} defaultTestPaths;

}  // namespace
