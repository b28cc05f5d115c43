#include "app/startheap.h"

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// Has the kernel fill in, in one call, the pages that hold the `size` bytes
// at `block`: one allocation, so that every such page is mapped and
// writable. A kernel that cannot leaves them to be faulted in one by one, as
// without this.
void fillIn(const void *block, std::size_t size)
{
#if defined(MADV_POPULATE_WRITE)
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(block) & ~(pageSize - 1);
    const auto to =
        (reinterpret_cast<std::uintptr_t>(block) + size + pageSize - 1) & ~(pageSize - 1);
    madvise(reinterpret_cast<void *>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)size;
#endif
}

// The last piece of the reserve, held until release(). While it is, the
// freed pieces below it are not the heap's top, so the C library keeps them
// for the allocations that follow instead of handing them back.
void *fence = nullptr;

} // namespace

void StartHeap::reserve(std::size_t bytes)
{
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    if (fence || bytes == 0)
        return;
    // Pieces below the size the C library maps on its own (128 KiB), so
    // that they come from the heap, one after the other.
    constexpr std::size_t piece = 96 * 1024;
    std::vector<void *> pieces;
    pieces.reserve(bytes / piece + 1);
    for (std::size_t taken = 0; taken < bytes; taken += piece) {
        void *block = std::malloc(piece);
        if (!block)
            break;
        fillIn(block, piece);
        pieces.push_back(block);
    }
    fence = std::malloc(piece);
    for (void *block : pieces)
        std::free(block);
#else
    (void)bytes;
#endif
}

void StartHeap::prepareFirstPaint(QWidget *window)
{
    QBackingStore *store = window ? window->backingStore() : nullptr;
    if (!store)
        return;
    store->resize(window->size());
    // The store's pixels can be reached only between beginPaint() and
    // endPaint(); an empty region paints nothing.
    store->beginPaint(QRegion());
    QPaintDevice *device = store->paintDevice();
    if (device && device->devType() == QInternal::Image) {
        const auto *image = static_cast<const QImage *>(device);
        fillIn(image->constBits(), static_cast<std::size_t>(image->sizeInBytes()));
    }
    store->endPaint();
}

void StartHeap::release()
{
    // The freed reserve joins the heap's top, and the C library hands back
    // what is left of it.
    std::free(fence);
    fence = nullptr;
}

bool StartHeap::held()
{
    return fence != nullptr;
}
