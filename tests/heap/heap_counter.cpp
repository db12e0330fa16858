// Replaces the global operator new and delete with ones that count the bytes in use and
// the most in use at once, so that a test can bound what a command costs in memory.
#include "heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};
}  // namespace

long long LiveHeapBytes() { return liveBytes.load(); }
long long PeakHeapBytes() { return peakBytes.load(); }
void ResetPeakHeapBytes() { peakBytes = liveBytes.load(); }

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) throw std::bad_alloc();
    const long long now = liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
