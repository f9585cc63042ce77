// GapBuffer<T>: a sequence kept in one array with a movable hole (the gap) at
// the current edit point.
//
// Inserting or erasing at the gap costs only the elements inserted; moving the
// gap costs the distance moved. Typing at one place therefore never shifts the
// rest of the sequence. Logical element i is stored at m_buf[i] before the gap
// and at m_buf[i + gap length] after it.
//
// A change is marked while it is under way (Changing), so that a reader who
// may interrupt it, a signal handler, can tell a sequence that is whole from
// one half moved. The mark is a counter of the signal handler's own type,
// with signal fences around it: the compiler keeps every write of the
// change between the mark's start and its end. Its cost is two stores a
// change. A change in several steps, or made in place through Flatten, is
// held under a ChangeMark of the caller's. Each change passes the points of
// TextFaultInjection where it is half made.
#pragma once

#include <algorithm>
#include <atomic>
#include <cassert>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include <sys/mman.h>

#include "framework/win/TextFaultInjection.h"

// The allocator of the buffers' storage. It leaves elements it makes
// without arguments as they are (for the plain types kept here): a buffer
// sized before it is filled is then written once, not zeroed first, and its
// spare room is never touched. Blocks of a megabyte or more (a long text)
// are aligned to 2 MB and offered to the system for huge pages: their
// memory then comes in a few large pages instead of hundreds of small ones,
// each of which costs the system a fault on its first touch.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept
    {}

    T* allocate(std::size_t n)
    {
        if (!IsLarge(n))
            return std::allocator<T>::allocate(n);
        void* p = std::aligned_alloc(kHugePage, RoundedBytes(n));
        if (!p)
            throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        ::madvise(p, RoundedBytes(n), MADV_HUGEPAGE);  // a hint: without huge pages, small ones serve
#endif
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (IsLarge(n))
            std::free(p);
        else
            std::allocator<T>::deallocate(p, n);
    }

    template <typename U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

private:
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;
    static bool IsLarge(std::size_t n) { return n * sizeof(T) >= (std::size_t(1) << 20); }
    static std::size_t RoundedBytes(std::size_t n) { return (n * sizeof(T) + kHugePage - 1) & ~(kHugePage - 1); }
};

template <typename T>
class GapBuffer {
public:
    // The storage a buffer takes over whole (Assign).
    using Storage = std::vector<T, UninitializedAllocator<T>>;

    // Marks the buffer as changing for as long as it lives; marks nest.
    class ChangeMark {
    public:
        explicit ChangeMark(GapBuffer& buffer) : m_buffer(buffer)
        {
            m_buffer.m_changing = m_buffer.m_changing + 1;
            std::atomic_signal_fence(std::memory_order_seq_cst);
        }
        ~ChangeMark()
        {
            std::atomic_signal_fence(std::memory_order_seq_cst);
            m_buffer.m_changing = m_buffer.m_changing - 1;
        }
        ChangeMark(const ChangeMark&) = delete;
        ChangeMark& operator=(const ChangeMark&) = delete;

    private:
        GapBuffer& m_buffer;
    };

    // Whether a change is under way: the elements and the gap's bounds may
    // then make neither the sequence before it nor the one after it.
    // Async-signal-safe.
    bool Changing() const { return m_changing != 0; }

    std::size_t Size() const { return m_buf.size() - GapLength(); }
    // Logical index of the first element after the gap.
    std::size_t GapPosition() const { return m_gapStart; }

    const T& operator[](std::size_t i) const { return m_buf[Physical(i)]; }
    T& operator[](std::size_t i) { return m_buf[Physical(i)]; }

    // The elements before and after the gap, each contiguous in memory.
    std::span<const T> BeforeGap() const { return {m_buf.data(), m_gapStart}; }
    std::span<const T> AfterGap() const { return {m_buf.data() + m_gapEnd, m_buf.size() - m_gapEnd}; }

    // Moves the gap to the end and returns all the elements, contiguous, for
    // changes in place that keep their number; the caller holds a ChangeMark
    // while it makes them.
    std::span<T> Flatten()
    {
        MoveGap(Size());
        return {m_buf.data(), m_gapStart};
    }

    // Moves the gap so that it sits before logical element `pos`.
    void MoveGap(std::size_t pos)
    {
        assert(pos <= Size());
        if (pos == m_gapStart)
            return;
        // The elements that cross the gap are copied over it; until its
        // bounds follow, some of them are there twice and others not at all.
        ChangeMark changing(*this);
        if (pos < m_gapStart) {
            std::copy_backward(m_buf.begin() + pos, m_buf.begin() + m_gapStart, m_buf.begin() + m_gapEnd);
            TextFaultInjection::At(TextFaultInjection::ptMoveGap);
            m_gapEnd -= m_gapStart - pos;
            m_gapStart = pos;
        } else {
            const std::size_t count = pos - m_gapStart;
            std::copy(m_buf.begin() + m_gapEnd, m_buf.begin() + m_gapEnd + count, m_buf.begin() + m_gapStart);
            TextFaultInjection::At(TextFaultInjection::ptMoveGap);
            m_gapStart = pos;
            m_gapEnd += count;
        }
    }

    // Makes the gap at least `count` long, so that inserting that many
    // elements at it allocates nothing.
    void Reserve(std::size_t count)
    {
        if (GapLength() < count)
            Grow(count);
    }

    void Insert(std::size_t pos, const T* items, std::size_t count)
    {
        if (count == 0)
            return;
        ChangeMark changing(*this);
        MoveGap(pos);
        Reserve(count);
        std::copy(items, items + count, m_buf.begin() + m_gapStart);
        m_gapStart += count;
    }
    void Insert(std::size_t pos, const T& item) { Insert(pos, &item, 1); }

    void Erase(std::size_t pos, std::size_t count)
    {
        if (count == 0)
            return;
        assert(pos + count <= Size());
        ChangeMark changing(*this);
        MoveGap(pos);
        m_gapEnd += count;
    }

    // Copies `count` elements starting at `pos` to `out`; the range must be valid.
    void CopyOut(std::size_t pos, std::size_t count, T* out) const
    {
        assert(pos + count <= Size());
        const std::size_t front = pos < m_gapStart ? std::min(count, m_gapStart - pos) : 0;
        std::copy_n(m_buf.begin() + pos, front, out);
        std::copy_n(m_buf.begin() + Physical(pos + front), count - front, out + front);
    }

    // Replaces the whole contents. The spare capacity of `items` becomes the
    // gap, at the end, so a caller that reserves room avoids a second copy.
    void Assign(Storage items)
    {
        const std::size_t size = items.size();
        if (items.capacity() < size + kMinGap)
            items.reserve(size + size / 8 + kMinGap);
        items.resize(items.capacity());
        // The old storage goes when `items` does, after the change.
        ChangeMark changing(*this);
        m_buf.swap(items);
        TextFaultInjection::At(TextFaultInjection::ptAssign);
        m_gapStart = size;
        m_gapEnd = m_buf.size();
    }

private:
    static constexpr std::size_t kMinGap = 64;

    std::size_t GapLength() const { return m_gapEnd - m_gapStart; }
    std::size_t Physical(std::size_t i) const { return i < m_gapStart ? i : i + GapLength(); }

    // Makes the gap at least `needed` long; capacity at least doubles so that
    // a run of insertions costs amortised O(1) per element. The new storage
    // is filled before it is taken: a failure to get it changes nothing.
    void Grow(std::size_t needed)
    {
        const std::size_t capacity = std::max(Size() + needed + kMinGap, m_buf.size() * 2);
        const std::size_t tail = m_buf.size() - m_gapEnd;
        Storage grown(capacity);
        std::copy(m_buf.begin(), m_buf.begin() + m_gapStart, grown.begin());
        std::copy(m_buf.begin() + m_gapEnd, m_buf.end(), grown.end() - tail);
        ChangeMark changing(*this);
        m_buf.swap(grown);
        TextFaultInjection::At(TextFaultInjection::ptGrow);
        m_gapEnd = capacity - tail;
    }

    Storage m_buf;
    std::size_t m_gapStart = 0;
    std::size_t m_gapEnd = 0;
    volatile std::sig_atomic_t m_changing = 0;
};
