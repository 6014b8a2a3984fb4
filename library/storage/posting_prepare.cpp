// The reckoning of a merge of pairs, ahead of its writes, on a thread of
// its own for a large merge.
#include "storage/posting_prepare.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "common/thread_signals.h"
#include "storage/posting_codec.h"

namespace pm::postings {
namespace {

// A part of the A lists is small beside a batch, large enough that handing
// it over costs nothing.
std::atomic<std::size_t> threadFrom{kThreadFromPairs};
std::atomic<std::size_t> rowPart{kRowPartPairs};
// A window holds the A values of this many pairs at most (more only for a
// single B with more). Each window is one pass over the pairs.
constexpr std::size_t kWindowPairs = std::size_t{1} << 20;

}  // namespace

void setMergeReckoning(std::size_t threadFromPairs, std::size_t rowPartPairs) {
    threadFrom.store(threadFromPairs);
    rowPart.store(rowPartPairs);
}

MergeWork::MergeWork() = default;
MergeWork::~MergeWork() = default;
MergeWork::MergeWork(MergeWork&&) noexcept = default;
MergeWork& MergeWork::operator=(MergeWork&&) noexcept = default;

MergePrep::MergePrep(PairRuns pairs) : pairs_(std::move(pairs)), rowPartPairs_(rowPart.load()) {
    if (pairs_.size() >= threadFrom.load()) thread_ = std::thread([this] { run(); });
}

MergePrep::~MergePrep() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void MergePrep::run() {
    blockSignalsOnThisThread();
    for (;;) {
        {
            // A part is reckoned once the one before was taken: the writer
            // holds one part, this thread reckons the next, none waits.
            std::unique_lock<std::mutex> hold(lock_);
            wake_.wait(hold, [&] { return quit_ || ready_.empty(); });
            if (quit_) return;
        }
        Part part = produce();
        const bool last = part.kind == Part::End || part.kind == Part::Failed;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (quit_) return;
            ready_.push_back(std::move(part));
            finished_ = last;
        }
        wake_.notify_all();
        if (last) return;
    }
}

MergePrep::Part MergePrep::take() {
    if (!thread_.joinable()) return produce();
    Part part;
    {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [&] { return !ready_.empty() || finished_; });
        if (ready_.empty()) return part;  // past the end
        part = std::move(ready_.front());
        ready_.pop_front();
    }
    wake_.notify_all();
    return part;
}

MergePrep::Part MergePrep::produce() {
    try {
        if (failed_) return Part{Part::Failed, {}, {}};
        if (!rowsDone_) return produceRows();
        if (!grouped_) groupByB();
        if (nextGroup_ < groups_.size()) return produceWindow();
    } catch (const std::exception&) {  // out of memory
        failed_ = true;
    }
    Part end;
    end.kind = failed_ ? Part::Failed : Part::End;
    return end;
}

MergePrep::Part MergePrep::produceRows() {
    const std::vector<PairRuns::Run>& runs = pairs_.runs();
    Part part;
    part.kind = Part::RowsPart;
    Rows& rows = part.rows;
    rows.firstRun = nextRun_;
    std::size_t taken = 0;
    for (; nextRun_ < runs.size() && taken < rowPartPairs_; ++nextRun_) {
        const PairRuns::Run& run = runs[nextRun_];
        const std::size_t begin = rows.values.size();
        rows.values.resize(begin + run.count);
        pairs_.copyB(nextB_, run.count, rows.values.data() + begin);
        std::uint32_t* const first = rows.values.data() + begin;
        std::uint32_t* const last = first + run.count;
        std::sort(first, last);
        nextB_ += run.count;
        taken += run.count;
        maxB_ = std::max(maxB_, *(last - 1));
        if (std::adjacent_find(first, last) != last) {
            rows.duplicateRun = nextRun_++;
            rowsDone_ = true;  // the merge fails here: nothing after it is wanted
            duplicate_ = true;
            break;
        }
        appendEncoded(rows.blobs, first, static_cast<std::size_t>(last - first), 0);
        rows.blobEnds.push_back(static_cast<std::uint32_t>(rows.blobs.size()));
    }
    rows.endRun = nextRun_;
    if (nextRun_ >= runs.size()) rowsDone_ = true;
    return part;
}

// Every B with where its A values begin in the order by B: a count by B
// when the B values are dense enough, else a sort of a copy of them.
void MergePrep::groupByB() {
    grouped_ = true;
    if (duplicate_) return;  // the merge fails: no B lists
    const std::uint32_t count = static_cast<std::uint32_t>(pairs_.size());
    denseB_ = maxB_ <= 4 * pairs_.size() + (1u << 20);
    if (denseB_) {
        std::vector<std::uint32_t>& next = cursor_;
        next.assign(static_cast<std::size_t>(maxB_) + 1, 0);
        pairs_.forEach([&](std::uint32_t, std::uint32_t b) { ++next[b]; });
        std::uint32_t sum = 0;
        for (std::size_t b = 0; b < next.size(); ++b) {
            const std::uint32_t n = next[b];
            next[b] = sum;
            if (n > 0) groups_.emplace_back(static_cast<std::uint32_t>(b), sum);
            sum += n;
        }
        return;
    }
    std::vector<std::uint32_t> sorted;
    sorted.reserve(count);
    pairs_.forEach([&](std::uint32_t, std::uint32_t b) { sorted.push_back(b); });
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (i == 0 || sorted[i] != sorted[i - 1]) groups_.emplace_back(sorted[i], static_cast<std::uint32_t>(i));
    cursor_.resize(groups_.size());
    for (std::size_t g = 0; g < groups_.size(); ++g) cursor_[g] = groups_[g].second;
}

// Gathers the A values of the groups from nextGroup_ on, ascending within
// each group: the runs come in order of A.
MergePrep::Part MergePrep::produceWindow() {
    const auto& groups = groups_;
    const auto groupEnd = [&](std::size_t g) {
        return g + 1 < groups.size() ? groups[g + 1].second : static_cast<std::size_t>(pairs_.size());
    };
    const std::size_t from = nextGroup_;
    const std::size_t base = groups[from].second;
    std::size_t to = from + 1;
    while (to < groups.size() && groupEnd(to) - base <= kWindowPairs) ++to;
    const std::size_t size = groupEnd(to - 1) - base;
    const std::uint32_t low = groups[from].first, span = groups[to - 1].first - low;
    Part part;
    part.kind = Part::WindowPart;
    Window& window = part.window;
    if (denseB_) {
        // Without a branch per pair: most pairs fall outside the window and
        // put their A in the spare slot past its end.
        window.values.assign(size + 1, 0);
        std::uint32_t* values = window.values.data();
        std::uint32_t* cursor = cursor_.data();
        pairs_.forEach([&](std::uint32_t a, std::uint32_t b) {
            const std::uint32_t inside = b - low <= span;
            std::uint32_t& next = cursor[b];
            values[inside ? next - base : size] = a;
            next += inside;
        });
    } else {
        window.values.assign(size, 0);
        pairs_.forEach([&](std::uint32_t a, std::uint32_t b) {
            if (b - low > span) return;
            const auto at = std::lower_bound(groups.begin(), groups.end(), std::pair<std::uint32_t, std::uint32_t>(b, 0));
            window.values[cursor_[static_cast<std::size_t>(at - groups.begin())]++ - base] = a;
        });
    }
    window.from = from;
    window.to = to;
    nextGroup_ = to;
    return part;
}

}  // namespace pm::postings
