#pragma once
// Buses: multi-branch ports. Each branch is an ordinary sample buffer owned
// by the bus; the block's owner sets the width before Setup and attaches
// storage to each branch.

#include <cstdint>

#include "dataflow/circular_buffer.h"

namespace Vantrel {

class CircularBufferBus {
public:
    virtual void SetWidth(std::uint32_t n) = 0;
    virtual ~CircularBufferBus() = default;
    virtual CircularBufferBase* Branch(std::uint32_t i) = 0;

protected:
    CircularBufferBus() = default;
    CircularBufferBus(const CircularBufferBus&) = default;
    CircularBufferBus& operator=(const CircularBufferBus&) = default;
};

template <typename B>
class CircularBufferBusT final : public CircularBufferBus {
public:
    using BranchType = B;

    CircularBufferBusT() = default;
    CircularBufferBusT(const CircularBufferBusT&) = delete;
    CircularBufferBusT& operator=(const CircularBufferBusT&) = delete;
    ~CircularBufferBusT() override { DropBranches(); }

    // An unchanged width keeps the branches with their storage, rates and
    // flags; any other width replaces them with fresh, unattached ones.
    void SetWidth(std::uint32_t n) override {
        if (n == width) return;
        DropBranches();
        width = n;
        if (n != 0) branches = new B[n];
    }

    // No bounds check: i must be below the width.
    B* Branch(std::uint32_t i) override { return branches + i; }

    std::uint32_t Width() const noexcept { return width; }

private:
    void DropBranches() noexcept {
        delete[] branches;
        branches = nullptr;
        width = 0;
    }

    std::uint32_t width = 0;
    B* branches = nullptr;
};

}  // namespace Vantrel
