// thread.cpp: BBThread's detached runs.
//
// Owns nothing global. Depends on host/errors.h for the console line and the
// process exit of a failed thread creation.
#include "net/thread.h"

#include <system_error>
#include <thread>

#include "host/errors.h"

void BBThread::Start() {
    if (runState_.load(std::memory_order_acquire) == kRunning) return;
    result_.reset();
    runState_.store(kRunning, std::memory_order_release);
    std::shared_ptr<BBThread> self = shared_from_this();
    std::shared_ptr<void> owner = KeepAlive();
    try {
        std::thread([self, owner]() mutable {
            self->Run__UNSAFE__();
            self->runState_.store(kFinished, std::memory_order_release);
            // The last references may go here; nothing touches either after.
            owner.reset();
            self.reset();
        }).detach();
    } catch (const std::system_error&) {
        bbPrint(u"CreateThread failed!");
        bbExitProcess(-1);
    }
}

bool BBThread::IsRunning() {
    return runState_.load(std::memory_order_acquire) == kRunning;
}

std::shared_ptr<void> BBThread::Result() {
    return result_;
}

void BBThread::SetResult(std::shared_ptr<void> result) {
    result_ = std::move(result);
}
