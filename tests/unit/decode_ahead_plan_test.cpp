#include "catalogue/decode_ahead_plan.h"

#include <gtest/gtest.h>

namespace {

const AheadRequest kBeach = {L"C:\\photos\\Beach.jpg", 1024, 768, {}};

TEST(AheadOutcomeUsable, OnlyForTheSameRequestGenerationAndFile) {
    const FileStamp stamp = {1000, 77};
    const AheadOutcome done = {kBeach, 5, stamp};
    struct Row {
        const char* what;
        AheadRequest wanted;
        uint32_t generation;
        FileStamp now;
        bool usable;
    } rows[] = {
        {"as decoded", kBeach, 5, stamp, true},
        {"a newer generation", kBeach, 6, stamp, false},
        {"written since", kBeach, 5, {1000, 78}, false},
        {"grown since", kBeach, 5, {1001, 77}, false},
        {"another file", {L"C:\\photos\\Beach2.jpg", 1024, 768, {}}, 5, stamp, false},
        {"another box", {kBeach.path, 1920, 1080, {}}, 5, stamp, false},
        {"another display's colours", {kBeach.path, 1024, 768, {'a', 'c', 's', 'p'}}, 5, stamp, false},
        {"no path", {L"", 1024, 768, {}}, 5, stamp, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AheadOutcomeUsable(done, row.wanted, row.generation, row.now), row.usable) << row.what;
}

TEST(PlanAhead, KeepsWhatIsStillWantedAndQueuesTheRestInOrder) {
    const AheadRequest a = {L"a.jpg", 800, 600, {}}, b = {L"b.jpg", 800, 600, {}}, c = {L"c.jpg", 800, 600, {}};
    const AheadRequest aBigger = {L"a.jpg", 1024, 768, {}};
    struct Row {
        const char* what;
        std::vector<AheadRequest> held, wanted;
        std::vector<bool> keep;
        std::vector<size_t> queue;
    } rows[] = {
        {"nothing held", {}, {a, b}, {}, {0, 1}},
        {"a step on: one kept, one dropped", {a, b}, {c, a}, {true, false}, {0}},
        {"nothing wanted", {a, b}, {}, {false, false}, {}},
        {"the same again", {a}, {a}, {true}, {}},
        {"another box is another picture", {a}, {aBigger}, {false}, {0}},
        {"wanted twice, decoded once", {}, {b, b}, {}, {0}},
        {"no name", {}, {{L"", 800, 600, {}}, c}, {}, {1}},
    };
    for (const Row& row : rows) {
        const AheadPlan plan = PlanAhead(row.held, row.wanted);
        EXPECT_EQ(plan.keep, row.keep) << row.what;
        EXPECT_EQ(plan.queue, row.queue) << row.what;
    }
}

}  // namespace
