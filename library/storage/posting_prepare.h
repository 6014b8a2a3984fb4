#pragma once
// The reckoning of a merge of pairs (Store::mergeSome) done ahead of its
// writes (internal to the storage layer): each A's B values sorted and
// encoded, then the A values of each B gathered into windows. A merge of
// many pairs reckons on a thread of its own, so that the thread that holds
// the connection only writes what is ready (an indexing run's last batch
// would otherwise keep one core busy while the other waits); a small merge
// reckons each part when it is asked for.
//
// The reckoning reads the pairs only and touches no storage. Destroying it
// stops its thread (a merge abandoned or rolled back), after the part it
// is working on.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "storage/posting_store.h"

namespace pm::postings {

// A merge of at least `threadFromPairs` pairs reckons on a thread of its
// own, its A lists in parts of about `rowPartPairs`. Tests lower both to
// run small merges that way.
inline constexpr std::size_t kThreadFromPairs = std::size_t{1} << 16;
inline constexpr std::size_t kRowPartPairs = std::size_t{1} << 18;
void setMergeReckoning(std::size_t threadFromPairs, std::size_t rowPartPairs);

class MergePrep {
public:
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    // A part of the A lists: the runs firstRun ... endRun - 1.
    struct Rows {
        std::size_t firstRun = 0, endRun = 0;
        std::vector<std::uint32_t> values;    // each run's B values ascending, run after run
        std::string blobs;                    // each run's list encoded, run after run
        std::vector<std::uint32_t> blobEnds;  // where each run's blob ends in `blobs`
        std::size_t duplicateRun = kNone;     // the run holding a B twice (the part ends with it)
    };
    // A part of the B lists: the A values of groups from ... to - 1, from
    // groups()[from].second on.
    struct Window {
        std::size_t from = 0, to = 0;
        std::vector<std::uint32_t> values;
    };
    struct Part {
        enum Kind { RowsPart, WindowPart, End, Failed } kind = End;
        Rows rows;
        Window window;
    };

    // `pairs` sorted by A, not empty.
    explicit MergePrep(PairRuns pairs);
    ~MergePrep();
    MergePrep(const MergePrep&) = delete;
    MergePrep& operator=(const MergePrep&) = delete;

    const PairRuns& pairs() const { return pairs_; }
    // The next part, in order: the rows parts, then the windows, then End
    // (Failed when the reckoning ran out of memory).
    Part take();
    // Every B of the pairs, ascending, with where its A values begin in the
    // order by B; set once the first window (or End) was taken.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& groups() const { return groups_; }

private:
    Part produce();
    Part produceRows();
    void groupByB();
    Part produceWindow();
    void run();

    const PairRuns pairs_;
    const std::size_t rowPartPairs_;
    // Reckoning state (the producing thread's, or the caller's when not threaded).
    std::size_t nextRun_ = 0;
    std::size_t nextB_ = 0;
    std::uint32_t maxB_ = 0;
    bool rowsDone_ = false;
    bool grouped_ = false;
    bool denseB_ = true;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> groups_;
    std::vector<std::uint32_t> cursor_;
    std::size_t nextGroup_ = 0;
    bool duplicate_ = false;
    bool failed_ = false;

    // Hand-over between the threads.
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Part> ready_;  // the part reckoned and not taken yet
    bool finished_ = false;   // the last part was handed over
    bool quit_ = false;
    std::thread thread_;  // last: starts once the rest is set up
};

// Where a merge in parts is (MergeWork).
struct MergeProgress {
    explicit MergeProgress(PairRuns pairs) : prep(std::move(pairs)) {}

    MergePrep prep;
    std::uint32_t highestA = 0;  // the highest A stored when the merge began
    bool anyB = false;           // B lists were stored when it began, up to highestB
    std::uint32_t highestB = 0;
    // The A lists: the part in hand and where its next run begins.
    MergePrep::Rows rows;
    std::size_t nextRun = 0, valueAt = 0, blobAt = 0;
    bool rowsDone = false;
    // The B lists: the window in hand.
    MergePrep::Window window;
    std::size_t nextGroup = 0;
};

}  // namespace pm::postings
