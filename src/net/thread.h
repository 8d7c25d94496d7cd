// thread.h: BBThread and c_Thread, work on a detached platform thread.
//
// A thread object runs Run__UNSAFE__ on a new detached thread each time it is
// started while not running; there is no pool and nothing waits for it. The
// run state (0 never started, 1 running, 2 finished) is written by both
// threads and is atomic. The object keeps itself, and whatever KeepAlive
// names, alive until its run has finished, so it must be owned by a
// std::shared_ptr.
//
// Failure: a thread that cannot be created prints "CreateThread failed!" and
// ends the process with status -1.
#pragma once

#include <atomic>
#include <memory>

class BBThread : public std::enable_shared_from_this<BBThread> {
  public:
    static constexpr int kNeverStarted = 0;
    static constexpr int kRunning = 1;
    static constexpr int kFinished = 2;

    virtual ~BBThread() = default;

    // Nothing while running; otherwise clears the result and starts a run.
    virtual void Start();
    virtual bool IsRunning();
    virtual std::shared_ptr<void> Result();
    virtual void SetResult(std::shared_ptr<void> result);
    // The work of one run, on the new thread.
    virtual void Run__UNSAFE__() {}

    int RunState() const { return runState_.load(std::memory_order_acquire); }

  protected:
    // An owner the run needs besides this object (held until the run ends).
    virtual std::shared_ptr<void> KeepAlive() { return nullptr; }

  private:
    std::atomic<int> runState_{kNeverStarted};
    std::shared_ptr<void> result_;
};

class c_Thread : public BBThread {};
