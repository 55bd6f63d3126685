#include "render/workers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

int32_t RenderThreads = 0;

namespace {

// The pool's state. It is created once and never destroyed: helpers that are
// parked in a wait must outlive every static destructor that could run while
// the process ends.
struct Pool {
    std::mutex lock;
    std::condition_variable wake;  // a new frame for the helpers
    std::condition_variable done;  // the helpers of a frame have finished
    std::atomic<uint64_t> frame{0};  // raised under the lock
    int32_t helpers = 0;           // started so far
    int32_t wanted = 0;            // helpers taking part in the current frame
    int32_t busy = 0;              // of those, still working
    BandJob job = nullptr;
    int32_t count = 0;
    std::atomic<int32_t> next{0};
};

Pool* ThePool = nullptr;

void work(Pool& pool)
{
    for (int32_t i; (i = pool.next.fetch_add(1)) < pool.count;)
        pool.job(i);
}

// After a job the next one often follows at once (the bands after the setup
// of the same frame): a helper looks for it a while before it sleeps, since a
// sleeping thread can take longer to wake than a small frame takes to draw.
constexpr auto Linger = std::chrono::microseconds(2000);

void helper(Pool* pool, int32_t id)
{
    uint64_t seen = 0;
    std::unique_lock<std::mutex> hold(pool->lock);
    for (;;) {
        if (pool->frame == seen) {
            hold.unlock();
            const auto until = std::chrono::steady_clock::now() + Linger;
            while (pool->frame == seen && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            hold.lock();
        }
        pool->wake.wait(hold, [&] { return pool->frame != seen; });
        seen = pool->frame;
        if (id >= pool->wanted)
            continue;
        hold.unlock();
        work(*pool);
        hold.lock();
        if (--pool->busy == 0)
            pool->done.notify_one();
    }
}

}  // namespace

int32_t renderthreads()
{
    if (RenderThreads > 0)
        return RenderThreads;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? int32_t(cores) : 1;
}

void runparallel(int32_t count, BandJob job)
{
    int32_t threads = renderthreads();
    if (threads > count)
        threads = count;
    if (threads <= 1) {
        for (int32_t i = 0; i < count; i++)
            job(i);
        return;
    }
    if (!ThePool)
        ThePool = new Pool;
    Pool& pool = *ThePool;
    {
        std::lock_guard<std::mutex> hold(pool.lock);
        while (pool.helpers < threads - 1) {
            std::thread(helper, &pool, pool.helpers).detach();
            pool.helpers += 1;
        }
        pool.job = job;
        pool.count = count;
        pool.next = 0;
        pool.wanted = threads - 1;
        pool.busy = threads - 1;
        pool.frame += 1;
    }
    pool.wake.notify_all();
    work(pool);
    std::unique_lock<std::mutex> hold(pool.lock);
    pool.done.wait(hold, [&] { return pool.busy == 0; });
}
