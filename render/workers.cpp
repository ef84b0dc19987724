// The worker threads of banded frames: started once, woken for each frame.
#include "render/workers.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

struct FrameWorkers {
    std::mutex mutex;
    std::condition_variable wake; // a new job, or stopping
    std::condition_variable done; // the last worker finished its band
    u64 generation = 0;           // counts jobs, so a worker takes each one once
    u32 pending = 0;              // workers still busy with the current job
    u32 bands = 0;
    BandJob job = nullptr;
    void* context = nullptr;
    bool stopping = false;
    std::vector<std::thread> threads; // worker w draws band w + 1
};

namespace {

void workerLoop(FrameWorkers& workers, u32 band)
{
    u64 seen = 0;
    for (;;) {
        BandJob job = nullptr;
        void* context = nullptr;
        u32 bands = 0;
        {
            std::unique_lock<std::mutex> lock(workers.mutex);
            workers.wake.wait(lock, [&] { return workers.stopping || workers.generation != seen; });
            if (workers.stopping) return;
            seen = workers.generation;
            job = workers.job;
            context = workers.context;
            bands = workers.bands;
        }
        if (band < bands) job(context, band);
        std::lock_guard<std::mutex> lock(workers.mutex);
        if (--workers.pending == 0) workers.done.notify_one();
    }
}

} // namespace

u32 CoreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<u32>(cores) : 1u;
}

u32 StartFrameWorkers(RenderState& render, u32 bands)
{
    if (bands <= 1) return 1;
    if (!render.workers) render.workers = new (std::nothrow) FrameWorkers;
    FrameWorkers* workers = render.workers;
    if (!workers) return 1;
    try {
        if (workers->threads.capacity() < bands - 1) workers->threads.reserve(bands - 1);
        while (workers->threads.size() + 1 < bands) {
            const u32 band = static_cast<u32>(workers->threads.size()) + 1;
            workers->threads.emplace_back(workerLoop, std::ref(*workers), band);
        }
    } catch (const std::system_error&) {
        // The system would not start another thread: the frame makes do with fewer.
    } catch (const std::bad_alloc&) {
    }
    return static_cast<u32>(workers->threads.size()) + 1;
}

void RunBands(RenderState& render, u32 bands, BandJob job, void* context)
{
    FrameWorkers* workers = render.workers;
    if (!workers || workers->threads.empty() || bands <= 1) {
        for (u32 band = 0; band < bands; ++band) job(context, band);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(workers->mutex);
        workers->job = job;
        workers->context = context;
        workers->bands = bands;
        workers->pending = static_cast<u32>(workers->threads.size());
        ++workers->generation;
    }
    workers->wake.notify_all();
    job(context, 0);
    std::unique_lock<std::mutex> lock(workers->mutex);
    workers->done.wait(lock, [&] { return workers->pending == 0; });
}

void StopFrameWorkers(RenderState& render)
{
    FrameWorkers* workers = render.workers;
    if (!workers) return;
    {
        std::lock_guard<std::mutex> lock(workers->mutex);
        workers->stopping = true;
    }
    workers->wake.notify_all();
    for (std::thread& thread : workers->threads) thread.join();
    delete workers;
    render.workers = nullptr;
}

FaceScratch BandScratch(const RenderState& render, u32 band)
{
    return band > 0 ? render.bandScratch[band - 1] : render.corners;
}
