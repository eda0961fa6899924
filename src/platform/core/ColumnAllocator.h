#pragma once

#include <cstddef>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace kt7 {

// Memory for the columns of a large log. A million rows fill 80 MB; taken a 4 kB page at a time,
// the page faults cost about a quarter of reading the file. Large blocks are asked of the system
// directly (marked for 2 MB pages on Linux) and go back to it at once when freed.
template <typename T> struct ColumnAllocator {
    using value_type = T;
    static constexpr std::size_t LargeBytes = 2 * 1024 * 1024;

    ColumnAllocator() = default;
    template <typename U> ColumnAllocator(const ColumnAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
#ifdef __linux__
        if (bytes >= LargeBytes) {
            void* block =
                mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block == MAP_FAILED)
                throw std::bad_alloc();
            madvise(block, bytes, MADV_HUGEPAGE);
            return static_cast<T*>(block);
        }
#elif defined(_WIN32)
        if (bytes >= LargeBytes) {
            void* block = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (!block)
                throw std::bad_alloc();
            return static_cast<T*>(block);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }
    void deallocate(T* block, std::size_t n) noexcept {
#ifdef __linux__
        if (n * sizeof(T) >= LargeBytes) {
            munmap(block, n * sizeof(T));
            return;
        }
#elif defined(_WIN32)
        if (n * sizeof(T) >= LargeBytes) {
            VirtualFree(block, 0, MEM_RELEASE);
            return;
        }
#endif
        ::operator delete(block);
    }
    template <typename U> bool operator==(const ColumnAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace kt7
