#pragma once

#include <functional>
#include <system_error>
#include <thread>

// Work that runs beside the caller, in a thread of its own; when no thread
// can be had, it runs here before the call returns, and the thread returned
// is empty. The thread joins when it goes out of scope.
inline std::jthread besideOrHere(const std::function<void()> &work)
{
    try {
        return std::jthread(work);
    } catch (const std::system_error &) {
        work();
        return {};
    }
}
