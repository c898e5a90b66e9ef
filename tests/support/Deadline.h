#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>

// Runs work on a thread of its own and gives its result, or nothing when it
// has not finished by the deadline: work that would run for an hour fails its
// test instead of holding the test run. Work left running is abandoned (the
// process ends it at exit), so it must not touch what the test frees.
template <class Work>
auto resultWithin(std::chrono::seconds deadline, Work work) -> std::optional<decltype(work())>
{
    using Result = decltype(work());
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> future = promise->get_future();
    std::thread([promise, work = std::move(work)]() mutable { promise->set_value(work()); }).detach();
    if (future.wait_for(deadline) != std::future_status::ready)
        return std::nullopt;
    return future.get();
}
