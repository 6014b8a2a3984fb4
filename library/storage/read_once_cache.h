#pragma once
// A small page cache for a reader that goes through thousands of pages it
// reads once, such as the phrase check reading candidate texts: each page
// of a larger cache is fresh memory the process must fault in and that
// falls out of the processor's caches before it is met again, which costs
// more than the few hits it would bring.
namespace pm {

// While one lives (and no PageCacheScope does: a long run keeps its roomy
// cache), each store's page cache is 256 KB; the last one gone restores the
// cache of the time outside runs. Scopes nest.
class ReadOnceCacheScope {
public:
    ReadOnceCacheScope();
    ~ReadOnceCacheScope();
    ReadOnceCacheScope(const ReadOnceCacheScope&) = delete;
    ReadOnceCacheScope& operator=(const ReadOnceCacheScope&) = delete;
};

}  // namespace pm
