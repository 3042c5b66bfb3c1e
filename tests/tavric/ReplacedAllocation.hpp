#pragma once

// Replaces the global allocation functions of the program that includes this header (once, in one
// source file) with ones that go through hookedAllocate and hookedRelease, which that file defines
// before the include. hookedAllocate returns null for a failed allocation: the throwing forms then
// throw std::bad_alloc, the nothrow forms return null.

#include <cstddef>
#include <new>

void* hookedAllocate(std::size_t size);
// Not inlined: the compiler would otherwise pair the free() inside with the new expressions it sees.
[[gnu::noinline]] void hookedRelease(void* block) noexcept;

void* operator new(std::size_t size)
{
    void* block = hookedAllocate(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}
void* operator new[](std::size_t size)
{
    void* block = hookedAllocate(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return hookedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return hookedAllocate(size);
}
void operator delete(void* block) noexcept
{
    hookedRelease(block);
}
void operator delete[](void* block) noexcept
{
    hookedRelease(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    hookedRelease(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    hookedRelease(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    hookedRelease(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    hookedRelease(block);
}
