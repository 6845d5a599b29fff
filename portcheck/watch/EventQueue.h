// What the recording thread hands to the thread that writes: changes of the
// lines and blind intervals, through a fixed ring with one writer and one
// reader, so that the loop never waits for a console or a disk, and never
// allocates. Should the ring fill (the writer far behind), the loop waits
// for room (Record): that wait is a gap like any other, and shows as blind.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace portcheck {

struct WatchEvent {
    enum Kind : uint32_t {
        Change,       // `sample` read at `tick`, the lines differing from the one before
        UncertainChange,  // a change whose sample followed a blind interval: when it came is unknown
        Blind,        // a blind interval between the counter reads `since` and `tick`
    };
    int64_t tick = 0;
    int64_t since = 0;
    uint32_t sample = 0;
    Kind kind = Change;
};

class EventQueue {
public:
    static constexpr uint32_t kCapacity = 1 << 16;

    // `capacity`: a power of two.
    explicit EventQueue(uint32_t capacity = kCapacity) : capacity_(capacity), ring_(new WatchEvent[capacity]) {}

    // The recording thread's end.
    bool TryPush(const WatchEvent& event) {
        const uint32_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) == capacity_) return false;
        ring_[head % capacity_] = event;
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // The writing thread's end.
    bool TryPop(WatchEvent* event) {
        const uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire)) return false;
        *event = ring_[tail % capacity_];
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

private:
    uint32_t capacity_;
    std::unique_ptr<WatchEvent[]> ring_;
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

}  // namespace portcheck
