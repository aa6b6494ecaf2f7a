#include "catalogue/decode_ahead.h"

#include <process.h>

#include <deque>
#include <utility>

#include "catalogue/catalogue.h"
#include "resources/resource_ids.h"

namespace {

struct Job {
    AheadRequest request;
    uint32_t generation;
};

struct Decoded {
    AheadOutcome outcome;
    FittedPicture picture;
};

// Shared with the worker, under Lock.
CRITICAL_SECTION Lock;
HANDLE Wake;     // auto-reset: a job was queued, or the worker is to stop
HANDLE JobDone;  // auto-reset: the worker finished a job
HANDLE Worker;   // null until the first request
HWND Notify;
bool Stopping;
uint32_t Generation;
std::deque<Job> Queue;
bool Busy;
Job Current;                       // the job the worker is on, while Busy
std::atomic<bool> AbandonCurrent;  // read by the worker's file reads without the lock
std::vector<Decoded> Finished;     // done by the worker, not yet taken over by the GUI thread

// The GUI thread's alone: pictures decoded ahead and already handed over to GDI+.
struct Prepared {
    AheadOutcome outcome;
    UprightPicture picture;
};
std::vector<Prepared> Ready;
bool RightDoubleClickEnds;

struct Locked {
    Locked() { EnterCriticalSection(&Lock); }
    ~Locked() { LeaveCriticalSection(&Lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Taken before the file is opened: a file changed while it is read then no longer matches.
bool StampOf(const std::wstring& path, FileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    stamp->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp->writeTime =
        (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

// The next job, marked as under way; false when the queue is empty or the worker is to stop.
bool StartNextJob(Job* job) {
    Locked lock;
    if (Stopping || Queue.empty()) return false;
    *job = std::move(Queue.front());
    Queue.pop_front();
    Current = *job;
    Busy = true;
    AbandonCurrent = false;
    return true;
}

// Kept only if it is still wanted: a newer request may have kept the job (in a newer generation)
// or dropped it meanwhile.
void FinishJob(Decoded* decoded, bool succeeded) {
    HWND notify;
    {
        Locked lock;
        Busy = false;
        if (succeeded && !AbandonCurrent && Current.generation == Generation) {
            decoded->outcome.request = Current.request;
            decoded->outcome.generation = Current.generation;
            Finished.push_back(std::move(*decoded));
        }
        notify = Notify;
    }
    SetEvent(JobDone);
    PostMessageW(notify, WM_DECODED_AHEAD, 0, 0);
}

unsigned __stdcall DecodeAheadWorker(void*) {
    for (;;) {
        WaitForSingleObject(Wake, INFINITE);
        Job job;
        while (StartNextJob(&job)) {
            Decoded decoded;
            const bool succeeded =
                StampOf(job.request.path, &decoded.outcome.stamp) &&
                DecodeFittedPicture(job.request.path.c_str(), job.request.boxWidth, job.request.boxHeight,
                                    job.request.displayProfile, &decoded.picture, &AbandonCurrent);
            FinishJob(&decoded, succeeded);
        }
        Locked lock;
        if (Stopping) return 0;
    }
}

bool StartWorker() {
    InitializeCriticalSection(&Lock);
    Wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    JobDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (Wake != nullptr && JobDone != nullptr) {
        Worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, DecodeAheadWorker, nullptr, 0, nullptr));
    }
    if (Worker == nullptr) {
        if (Wake != nullptr) CloseHandle(Wake);
        if (JobDone != nullptr) CloseHandle(JobDone);
        Wake = JobDone = nullptr;
        DeleteCriticalSection(&Lock);
        return false;
    }
    // Below the GUI thread, which it must never slow down.
    SetThreadPriority(Worker, THREAD_PRIORITY_BELOW_NORMAL);
    return true;
}

// Takes over what the worker finished that is still wanted, and drops the rest. Handing a picture
// over to GDI+ writes every byte of a bitmap GDI+ has just allocated, which under Wine costs as
// much as 20 ms for a full-HD screen's; done here, as the picture arrives and while the user still
// looks at the one before, it is not part of the step that shows it.
void TakeOverFinished() {
    std::vector<Decoded> arrived;
    {
        Locked lock;
        for (Decoded& decoded : Finished) {
            if (decoded.outcome.generation == Generation) arrived.push_back(std::move(decoded));
        }
        Finished.clear();
    }
    for (Decoded& decoded : arrived) {
        UprightPicture picture = UprightPictureOf(decoded.picture);
        decoded.picture = FittedPicture();
        if (picture.bitmap) Ready.push_back(Prepared{decoded.outcome, std::move(picture)});
    }
}

// Under Lock: whether the worker is decoding `wanted` for the current generation. If not, it is
// about to be decoded here: it is taken off the queue, and whatever the worker decodes meanwhile is
// abandoned so as not to slow this decode down (the request after the step asks again for what
// it still wants).
bool DecodingNow(const AheadRequest& wanted) {
    if (Busy && Current.generation == Generation && SameRequest(Current.request, wanted)) return true;
    if (Busy) AbandonCurrent = true;
    for (auto job = Queue.begin(); job != Queue.end(); ++job) {
        if (SameRequest(job->request, wanted)) {
            Queue.erase(job);
            break;
        }
    }
    return false;
}

// The release of Escape ends every view; a right double-click ends the slide show. The messages
// stay queued for the view to handle.
bool EndOfViewQueued() {
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE) && message.wParam == VK_ESCAPE) return true;
    return RightDoubleClickEnds && PeekMessageW(&message, nullptr, WM_RBUTTONDBLCLK, WM_RBUTTONDBLCLK, PM_NOREMOVE);
}

// Until the worker finishes a job; false as soon as the view is to end instead.
bool AwaitJob() {
    while (WaitForSingleObject(JobDone, 10) == WAIT_TIMEOUT) {
        if (EndOfViewQueued()) return false;
    }
    return true;
}

}  // namespace

void RequestDecodesAhead(HWND notify, const std::vector<AheadRequest>& wanted) {
    if (Worker == nullptr && (wanted.empty() || !StartWorker())) return;
    TakeOverFinished();
    Locked lock;
    Notify = notify;
    ++Generation;
    std::vector<AheadRequest> held;
    for (const Prepared& prepared : Ready) held.push_back(prepared.outcome.request);
    if (Busy) held.push_back(Current.request);
    const AheadPlan plan = PlanAhead(held, wanted);
    std::vector<Prepared> kept;
    for (size_t i = 0; i < Ready.size(); ++i) {
        if (!plan.keep[i]) continue;
        Ready[i].outcome.generation = Generation;
        kept.push_back(std::move(Ready[i]));
    }
    Ready = std::move(kept);
    if (Busy && plan.keep.back()) Current.generation = Generation;
    if (Busy && !plan.keep.back()) AbandonCurrent = true;
    Queue.clear();
    for (size_t i : plan.queue) Queue.push_back(Job{wanted[i], Generation});
    if (!Queue.empty()) SetEvent(Wake);
}

AheadClaim TakeDecodedAhead(const AheadRequest& wanted, UprightPicture* out) {
    if (Worker == nullptr) return AheadClaim::NotThere;
    for (;;) {
        TakeOverFinished();
        FileStamp now;
        if (!StampOf(wanted.path, &now)) return AheadClaim::NotThere;
        for (auto prepared = Ready.begin(); prepared != Ready.end(); ++prepared) {
            if (!SameRequest(prepared->outcome.request, wanted)) continue;
            // Taken or out of date, it is not kept either way.
            const bool usable = AheadOutcomeUsable(prepared->outcome, wanted, Generation, now);
            if (usable) *out = std::move(prepared->picture);
            Ready.erase(prepared);
            if (usable) return AheadClaim::Taken;
            break;
        }
        {
            Locked lock;
            if (!DecodingNow(wanted)) return AheadClaim::NotThere;
        }
        if (!AwaitJob()) return AheadClaim::ViewEnds;
    }
}

void ForgetDecodesAhead() { RequestDecodesAhead(Notify, std::vector<AheadRequest>()); }

void AcceptDecodedAhead() {
    if (Worker != nullptr) TakeOverFinished();
}

void EndViewOnRightDoubleClickToo(bool ends) { RightDoubleClickEnds = ends; }

void StopDecodingAhead() {
    if (Worker == nullptr) return;
    {
        Locked lock;
        Stopping = true;
        AbandonCurrent = true;
        Queue.clear();
    }
    SetEvent(Wake);
    WaitForSingleObject(Worker, INFINITE);
    CloseHandle(Worker);
    CloseHandle(Wake);
    CloseHandle(JobDone);
    Worker = Wake = JobDone = nullptr;
    DeleteCriticalSection(&Lock);
    Finished.clear();
    Ready.clear();
}
