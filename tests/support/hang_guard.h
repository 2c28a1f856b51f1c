#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace velmar::test {

// Ends the test process with a message when the code under test has neither returned within
// `seconds` nor stayed below `megabytes` of resident memory. A loop that appends forever
// would otherwise fill the shared machine's memory long before ctest's timeout ends it.
class HangGuard {
public:
    explicit HangGuard(const char* what, int seconds = 120, long megabytes = 2048)
        : watcher_([this, what, seconds, megabytes] { watch(what, seconds, megabytes); })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watcher_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    static long residentMegabytes()
    {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return resident * (sysconf(_SC_PAGESIZE) / 1024) / 1024;
    }
    void watch(const char* what, int seconds, long megabytes)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; })) {
            const long resident = residentMegabytes();
            if (std::chrono::steady_clock::now() > deadline || resident > megabytes) {
                std::fprintf(stderr, "%s did not return: %ld MB resident after at most %d s\n", what, resident,
                             seconds);
                std::abort();
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread watcher_;  // last: starts once the members it uses exist
};

}  // namespace velmar::test
