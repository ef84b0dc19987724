// What the Windows build leans on, run under Wine: threads and locks from the
// posix-threads compilers, exceptions unwinding through the statically linked runtime,
// and float arithmetic done in SSE2 as on x86-64 Linux, so pictures round alike.
#include <gtest/gtest.h>

#include <cfloat>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Toolchain, threadsShareACountUnderAMutex)
{
    std::mutex lock;
    int count = 0;
    std::vector<std::thread> threads;
    for (int each = 0; each < 4; ++each) {
        threads.emplace_back([&] {
            for (int step = 0; step < 10000; ++step) {
                const std::lock_guard<std::mutex> hold(lock);
                ++count;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(count, 40000);
}

[[noreturn]] void failDeep(int depth)
{
    if (depth == 0) throw std::runtime_error("from the bottom");
    failDeep(depth - 1);
}

TEST(Toolchain, exceptionsUnwindThroughFrames)
{
    std::string caught;
    try {
        failDeep(8);
    } catch (const std::exception& error) {
        caught = error.what();
    }
    EXPECT_EQ(caught, "from the bottom");
}

TEST(Toolchain, floatsRoundToFloatAtEveryStep)
{
    EXPECT_EQ(FLT_EVAL_METHOD, 0);
    // 2^24 + 1 is no float: in SSE2 the sum rounds back to 2^24 at once, where the x87
    // unit would keep the 1 in its wider register until the subtraction.
    volatile float big = 16777216.0f;
    volatile float one = 1.0f;
    const float sum = big + one;
    EXPECT_EQ(sum - big, 0.0f);
}

} // namespace
