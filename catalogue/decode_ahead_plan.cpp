#include "catalogue/decode_ahead_plan.h"

#include <algorithm>

namespace {

bool Among(const AheadRequest& request, const std::vector<AheadRequest>& requests, size_t count) {
    return std::any_of(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(count),
                       [&](const AheadRequest& other) { return SameRequest(request, other); });
}

}  // namespace

bool SameRequest(const AheadRequest& a, const AheadRequest& b) {
    return a.boxWidth == b.boxWidth && a.boxHeight == b.boxHeight && a.path == b.path;
}

bool AheadOutcomeUsable(const AheadOutcome& done, const AheadRequest& wanted, uint32_t generation,
                        const FileStamp& now) {
    return !wanted.path.empty() && done.generation == generation && SameRequest(done.request, wanted) &&
           done.stamp.size == now.size && done.stamp.writeTime == now.writeTime;
}

AheadPlan PlanAhead(const std::vector<AheadRequest>& held, const std::vector<AheadRequest>& wanted) {
    AheadPlan plan;
    for (const AheadRequest& request : held) plan.keep.push_back(Among(request, wanted, wanted.size()));
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (!wanted[i].path.empty() && !Among(wanted[i], held, held.size()) && !Among(wanted[i], wanted, i)) {
            plan.queue.push_back(i);
        }
    }
    return plan;
}
