#pragma once

#include <cstddef>

class QWidget;

// The heap the first window is built in, filled in by the kernel in one call.
//
// Building and painting the main window allocates about 1.5 MiB of heap.
// Each new page of it costs a page fault at its first touch, and in a
// virtual machine a page fault leaves the guest: about 11 µs a page, where
// having the kernel fill the same pages in one call costs half. reserve()
// fills most of that heap before the application object exists and keeps
// it free for the allocations that follow; release() hands back what the
// start-up did not use.
namespace StartHeap {

// Below the smallest start-up heap measured (1.5 MiB: the real store,
// offscreen), so that the reserve barely raises the program's peak memory.
inline constexpr std::size_t defaultBytes = 1280 * 1024;

// First thing in main(). Does nothing where the kernel cannot fill pages
// ahead of use or the C library is not glibc.
void reserve(std::size_t bytes = defaultBytes);

// Right after the first window is shown, before its first paint: its
// backing store is made now and its pixels filled in the same way, a
// megabyte for the main window.
void prepareFirstPaint(QWidget *window);

// Once the first window has been painted; safe to call more than once.
void release();

// Whether reserve() holds heap that release() has not yet handed back.
bool held();

} // namespace StartHeap
