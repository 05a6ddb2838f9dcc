#pragma once

#include <QCoro/QCoroFuture>
#include <QFuture>
#include <optional>

namespace tarsik {

// Awaits a future on the calling (UI) thread. A future that was cancelled or finished without a
// result gives nothing, where awaiting its value directly would read a result that is not there.
template <typename T> QCoro::Task<std::optional<T>> awaitResult(QFuture<T> future) {
    co_await QFuture<void>(future);
    if (future.isCanceled() || future.resultCount() == 0) {
        co_return std::nullopt;
    }
    co_return future.result();
}

} // namespace tarsik
