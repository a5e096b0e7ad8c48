// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>

#include <qcoro/qcorotask.h>

#include <exception>
#include <optional>
#include <type_traits>

// The result of a coroutine for a test that reads top to bottom: runs the event loop until it
// has finished, and throws what it threw.
template <typename T> T Awaited(QCoro::Task<T> task) {
    QEventLoop loop;
    bool done = false;
    std::exception_ptr failure;
    std::conditional_t<std::is_void_v<T>, bool, std::optional<T>> result{};
    auto run = [&]() -> QCoro::Task<> {
        try {
            if constexpr (std::is_void_v<T>)
                co_await std::move(task);
            else
                result = co_await std::move(task);
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        loop.quit();
    };
    auto running = run();
    if (!done)
        loop.exec();
    if (failure)
        std::rethrow_exception(failure);
    if constexpr (!std::is_void_v<T>)
        return std::move(*result);
}
