#pragma once
// Sample buffers: a port's window onto a circular item array that it does not
// own. Two ports are connected by attaching both to the same array.

#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace Vantrel {

class CircularBufferBase {
public:
    virtual ~CircularBufferBase() = default;

    // Copies count items from logical index sourceIndex of this buffer to
    // logical index destinationIndex of a buffer of the same item type. A run
    // that wraps in either array is split into at most three block copies.
    virtual void CopyTo(std::uint32_t sourceIndex, CircularBufferBase& destination,
                        std::uint32_t destinationIndex, std::uint32_t count) = 0;
    // Plain array copy: no wrap, no field of the buffer is used.
    virtual void CopyItems(const void* source, void* destination, std::uint32_t count) = 0;
    // Clears count items from logical index start on, each index mapped alone.
    virtual bool ZeroItems(std::uint32_t start, std::uint32_t count, int ignored) = 0;
    // A new unattached array of n items; a byte size beyond 32 bits is asked
    // for as the largest possible request, so that it fails instead of
    // returning a short array.
    virtual void* Allocate(std::uint32_t n) = 0;
    // Non-null p: frees that array and changes nothing else. Null: frees the
    // attached storage and detaches it.
    virtual void Release(void* p) = 0;

    // Storage index of logical item k. Wraps once only, so k must be below
    // the capacity.
    std::uint32_t Index(std::uint32_t k) const noexcept {
        if (k == 0) return position;
        std::uint32_t j = position + k;
        if (j >= capacity) j -= capacity;
        return j;
    }

    void SetRate(std::uint32_t n) noexcept {
        rate = n;
        if (requiredSize < n) requiredSize = n;
    }

    void Attach(void* newStorage, std::uint32_t newCapacity, std::uint32_t newRate,
                std::uint32_t newPosition) noexcept {
        storage = newStorage;
        capacity = newCapacity;
        rate = newRate;
        position = newPosition;
    }

    void Advance() noexcept { position = Index(rate); }

    bool IsConnected() const noexcept { return connected; }
    void* StorageBytes() const noexcept { return storage; }
    std::uint32_t Capacity() const noexcept { return capacity; }

    std::uint32_t rate = 1;
    std::uint32_t requiredSize = 1;
    bool spareFlag = false;
    std::int32_t elementSize;
    std::uint32_t position = 0;
    void* storage = nullptr;
    std::uint32_t capacity = 0;
    bool connected = true;

protected:
    explicit CircularBufferBase(std::int32_t itemSize) noexcept : elementSize(itemSize) {}
    CircularBufferBase(const CircularBufferBase&) = default;
    CircularBufferBase& operator=(const CircularBufferBase&) = default;
};

template <typename T>
class CircularBuffer final : public CircularBufferBase {
public:
    using ItemType = T;

    CircularBuffer() noexcept : CircularBufferBase(static_cast<std::int32_t>(sizeof(T))) {}

    T& Item(std::uint32_t k) const noexcept { return Storage()[Index(k)]; }
    T* Storage() const noexcept { return static_cast<T*>(storage); }

    void CopyTo(std::uint32_t sourceIndex, CircularBufferBase& destination,
                std::uint32_t destinationIndex, std::uint32_t count) override {
        auto& target = static_cast<CircularBuffer<T>&>(destination);
        std::uint32_t s = Index(sourceIndex);
        std::uint32_t d = target.Index(destinationIndex);
        T* from = Storage();
        T* to = target.Storage();
        if (count == 1) {
            to[d] = from[s];
            return;
        }
        while (count > 0) {
            std::uint32_t n = count;
            if (capacity - s < n) n = capacity - s;
            if (target.capacity - d < n) n = target.capacity - d;
            std::memmove(to + d, from + s, std::size_t{n} * sizeof(T));
            d += n;
            if (d == target.capacity) d = 0;
            s += n;
            if (s == capacity) s = 0;
            count -= n;
        }
    }

    void CopyItems(const void* source, void* destination, std::uint32_t count) override {
        if (count == 0) return;
        std::memmove(destination, source, std::size_t{count} * sizeof(T));
    }

    bool ZeroItems(std::uint32_t start, std::uint32_t count, int /*ignored*/) override {
        for (std::uint32_t i = 0; i < count; ++i) Item(start + i) = T{};
        return true;
    }

    void* Allocate(std::uint32_t n) override {
        std::uint64_t bytes = std::uint64_t{n} * sizeof(T);
        if (bytes > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
        if constexpr (std::is_same_v<T, std::complex<double>>) {
            return new T[n]();
        } else {
            return new T[n];
        }
    }

    void Release(void* p) override {
        if (p != nullptr) {
            delete[] static_cast<T*>(p);
            return;
        }
        delete[] Storage();
        storage = nullptr;
        position = 0;
        capacity = 0;
    }
};

extern template class CircularBuffer<double>;
extern template class CircularBuffer<int>;
extern template class CircularBuffer<std::complex<double>>;

}  // namespace Vantrel
