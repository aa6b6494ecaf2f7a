// What is decoded ahead, and whether a picture decoded ahead may still be shown. Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A file as the system describes it. A picture decoded from the file is its picture only while
// these stay the same.
struct FileStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;
};

// What one decode ahead is for: a file by its full path, fitted to a box. Anything else that
// changes the decoded pixels belongs here too.
struct AheadRequest {
    std::wstring path;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
};

bool SameRequest(const AheadRequest& a, const AheadRequest& b);

// A picture decoded ahead: what for, in which generation of requests it was last wanted, and the
// file as it was before it was read.
struct AheadOutcome {
    AheadRequest request;
    uint32_t generation = 0;
    FileStamp stamp;
};

// Whether `done` may be shown for `wanted` while the requests are in `generation` and the file is
// as `now` describes it: the same request, still wanted, from the file as it still is.
bool AheadOutcomeUsable(const AheadOutcome& done, const AheadRequest& wanted, uint32_t generation,
                        const FileStamp& now);

// A new set of wanted requests against those already decoded or being decoded (`held`): which of
// those it keeps, one flag each, and which wanted ones still have to be decoded, in the order
// wanted. A request wanted twice is decoded once.
struct AheadPlan {
    std::vector<bool> keep;
    std::vector<size_t> queue;
};
AheadPlan PlanAhead(const std::vector<AheadRequest>& held, const std::vector<AheadRequest>& wanted);
