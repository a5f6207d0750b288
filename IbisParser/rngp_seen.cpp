// An open-addressing set of doubles. Values are compared as numbers: -0.0
// and 0.0 are one value, and NaN never occurs (the number reader makes none).

#include "IbisParser/rngp_seen.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"

struct RNGP_SEEN {
    uint64_t* slots;
    size_t capacity;  // a power of two
    size_t count;
};

namespace {

// A NaN pattern, so no stored value can look like an empty slot.
constexpr uint64_t kEmpty = ~uint64_t{0};
constexpr size_t kFirstCapacity = 64;

uint64_t KeyOf(double x) {
    if (x == 0.0) x = 0.0;  // one key for both zeros
    uint64_t key = 0;
    std::memcpy(&key, &x, sizeof key);
    return key;
}

size_t SlotOf(uint64_t key, size_t capacity) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<size_t>(key) & (capacity - 1);
}

uint64_t* NewSlots(size_t capacity) {
    auto* slots = static_cast<uint64_t*>(std::malloc(capacity * sizeof(uint64_t)));
    if (slots != nullptr)
        for (size_t i = 0; i < capacity; ++i) slots[i] = kEmpty;
    return slots;
}

void Place(uint64_t* slots, size_t capacity, uint64_t key) {
    for (size_t i = SlotOf(key, capacity);; i = (i + 1) & (capacity - 1)) {
        if (slots[i] == key) return;
        if (slots[i] == kEmpty) {
            slots[i] = key;
            return;
        }
    }
}

bool Grow(RNGP_SEEN* seen) {
    const size_t capacity = seen->capacity * 2;
    uint64_t* slots = NewSlots(capacity);
    if (slots == nullptr) return false;
    for (size_t i = 0; i < seen->capacity; ++i)
        if (seen->slots[i] != kEmpty) Place(slots, capacity, seen->slots[i]);
    std::free(seen->slots);
    seen->slots = slots;
    seen->capacity = capacity;
    return true;
}

}  // namespace

RNGP_SEEN* RNGP_SeenBuild(const RNGP* rows, int count) {
    RNGP_SEEN* seen = nullptr;
    if (!CMN_Calloc(&seen, sizeof *seen)) return nullptr;
    size_t capacity = kFirstCapacity;
    while (capacity < static_cast<size_t>(count) * 2) capacity *= 2;
    seen->slots = NewSlots(capacity);
    if (seen->slots == nullptr) {
        CMN_Free(seen);
        return nullptr;
    }
    seen->capacity = capacity;
    for (int i = 0; i < count; ++i)
        if (rows[i].xState == CMN_OPT_GIVEN) RNGP_SeenInsert(seen, rows[i].x);
    return seen;
}

bool RNGP_SeenContains(const RNGP_SEEN* seen, double x) {
    const uint64_t key = KeyOf(x);
    for (size_t i = SlotOf(key, seen->capacity);; i = (i + 1) & (seen->capacity - 1)) {
        if (seen->slots[i] == key) return true;
        if (seen->slots[i] == kEmpty) return false;
    }
}

void RNGP_SeenInsert(RNGP_SEEN* seen, double x) {
    // Keep at least a quarter free so that probes stay short and end.
    if ((seen->count + 1) * 4 > seen->capacity * 3 && !Grow(seen)) {
        if (seen->count + 1 >= seen->capacity) return;  // full: later repeats go unseen
    }
    const uint64_t key = KeyOf(x);
    if (RNGP_SeenContains(seen, x)) return;
    Place(seen->slots, seen->capacity, key);
    ++seen->count;
}

void RNGP_SeenFree(RNGP_SEEN* seen) {
    if (seen == nullptr) return;
    std::free(seen->slots);
    CMN_Free(seen);
}
