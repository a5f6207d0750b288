#include "tools/amisim/models/isolation/guarded_arena.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace amisim::isolation {

namespace {

std::size_t PageSize() {
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return page;
}

std::size_t PlacedBytes(std::size_t count) { return (count * sizeof(double) + 15) / 16 * 16; }

// A quiet NaN with a payload no arithmetic produces.
constexpr std::uint64_t kCanary = 0x7ff8dead5afe6a4dULL;

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

std::size_t ArenaLayout::PagesFor(std::size_t bytes) {
    const std::size_t page = PageSize();
    return std::max<std::size_t>(1, (bytes + page - 1) / page) * page;
}

ArenaLayout::ArenaLayout(std::vector<std::size_t> sizes) : region_bytes(std::move(sizes)) {
    std::size_t offset = kGuardBytes;
    for (std::size_t& bytes : region_bytes) {
        bytes = PagesFor(bytes);
        region_offset.push_back(offset);
        offset += bytes + kGuardBytes;
    }
    total = offset;
}

GuardedArena::GuardedArena(std::size_t regions)
    : owner_(true), layout_(std::vector<std::size_t>(regions, 1)) {
    fd_ = ::memfd_create("amisim-model-arena", MFD_CLOEXEC);
    if (fd_ < 0) Fail("cannot create shared memory for a model");
    Map(false);
}

GuardedArena::GuardedArena(int fd, std::size_t regions)
    : fd_(fd), layout_(std::vector<std::size_t>(regions, 1)) {
    Map(true);
}

GuardedArena::~GuardedArena() {
    Unmap();
    if (fd_ >= 0) ::close(fd_);
}

void GuardedArena::Unmap() noexcept {
    if (base_ != nullptr) ::munmap(base_, layout_.total);
    base_ = nullptr;
}

void GuardedArena::Map(bool guards) {
    Unmap();
    if (owner_ && ::ftruncate(fd_, static_cast<off_t>(layout_.total)) != 0) Fail("cannot size shared memory for a model");
    void* base = ::mmap(nullptr, layout_.total, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (base == MAP_FAILED) Fail("cannot map shared memory for a model");
    base_ = static_cast<char*>(base);
    if (!guards) return;
    std::size_t guard = 0;
    for (std::size_t i = 0; i <= layout_.region_bytes.size(); ++i) {
        if (::mprotect(base_ + guard, kGuardBytes, PROT_NONE) != 0) Fail("cannot protect the guard pages");
        if (i < layout_.region_bytes.size()) guard = layout_.region_offset[i] + layout_.region_bytes[i];
    }
}

bool GuardedArena::Reserve(std::size_t index, std::size_t bytes) {
    if (bytes + 16 <= layout_.region_bytes.at(index)) return false;
    std::vector<std::size_t> sizes = layout_.region_bytes;
    // Doubling keeps a run of growing calls to a few remappings.
    sizes[index] = std::max(bytes + 16, 2 * sizes[index]);
    Unmap();  // the old mapping's size, before the layout changes
    layout_ = ArenaLayout(sizes);
    Map(false);
    return true;
}

void GuardedArena::MapWithGuards(const ArenaLayout& layout) {
    Unmap();
    layout_ = layout;
    Map(true);
}

double* GuardedArena::Place(std::size_t index, std::size_t count) const {
    char* end = base_ + layout_.region_offset.at(index) + layout_.region_bytes.at(index);
    return reinterpret_cast<double*>(end - PlacedBytes(count));
}

void GuardedArena::SetCanary(std::size_t index, std::size_t count) const {
    if (PlacedBytes(count) == count * sizeof(double)) return;
    std::memcpy(Place(index, count) + count, &kCanary, sizeof kCanary);
}

bool GuardedArena::CanaryIntact(std::size_t index, std::size_t count) const {
    if (PlacedBytes(count) == count * sizeof(double)) return true;
    std::uint64_t value = 0;
    std::memcpy(&value, Place(index, count) + count, sizeof value);
    return value == kCanary;
}

bool GuardedArena::Holds(std::size_t index, const void* address) const noexcept {
    const char* at = static_cast<const char*>(address);
    if (base_ == nullptr || index >= layout_.region_bytes.size()) return false;
    const char* begin = base_ + layout_.region_offset[index];
    return at >= begin && at < begin + layout_.region_bytes[index];
}

int GuardedArena::GuardOf(const void* address) const noexcept {
    const char* at = static_cast<const char*>(address);
    if (base_ == nullptr || at < base_ || at >= base_ + layout_.total) return -2;
    const std::size_t offset = static_cast<std::size_t>(at - base_);
    if (offset < kGuardBytes) return -1;
    for (std::size_t i = 0; i < layout_.region_bytes.size(); ++i) {
        const std::size_t end = layout_.region_offset[i] + layout_.region_bytes[i];
        if (offset >= end && offset < end + kGuardBytes) return static_cast<int>(i);
    }
    return -2;
}

}  // namespace amisim::isolation
