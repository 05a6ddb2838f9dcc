#pragma once

#include <memory>

namespace tarsik {

// The handle of a running store task: the store keeps one copy, the task's coroutine another.
// Cancelling is cooperative; the coroutine checks after every suspension. UI thread only.
class CancellableTask {
  public:
    void cancel() const { *cancelled_ = true; }
    bool isCancelled() const { return *cancelled_; }

  private:
    std::shared_ptr<bool> cancelled_ = std::make_shared<bool>(false);
};

} // namespace tarsik
