// TDeadlockWatchdog: ends a test program that hangs, with a sentence saying where.
//
// A test of a fault that deadlocks (a main thread waiting for a worker that waits for it)
// would otherwise hold the whole test run until CTest's timeout, without a word. The limit is
// far beyond any normal run: it measures nothing, it only turns a hang into a failure.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace nolu {

class TDeadlockWatchdog {
 public:
  explicit TDeadlockWatchdog(std::string what,
                             std::chrono::seconds limit = std::chrono::seconds(60))
      : what_(std::move(what)), thread_([this, limit] { Watch(limit); }) {}
  ~TDeadlockWatchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  TDeadlockWatchdog(const TDeadlockWatchdog&) = delete;
  TDeadlockWatchdog& operator=(const TDeadlockWatchdog&) = delete;

 private:
  void Watch(std::chrono::seconds limit) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, limit, [this] { return done_; })) {
      std::fprintf(stderr, "DEADLOCK: %s did not return within %lld s\n", what_.c_str(),
                   static_cast<long long>(limit.count()));
      std::fflush(stderr);
      std::_Exit(3);
    }
  }

  std::string what_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace nolu
