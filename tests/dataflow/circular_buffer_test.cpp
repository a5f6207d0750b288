#include <gtest/gtest.h>

#include <complex>
#include <vector>

#include "dataflow/circular_buffer.h"

using Vantrel::CircularBuffer;

namespace {

TEST(CircularBufferIndex, WrapsOnceAroundTheCapacity) {
    CircularBuffer<double> b;
    EXPECT_EQ(b.Index(0), 0u);  // no storage, capacity 0
    std::vector<double> items(5);
    b.Attach(items.data(), 5, 1, 3);
    EXPECT_EQ(b.Index(0), 3u);
    EXPECT_EQ(b.Index(1), 4u);
    EXPECT_EQ(b.Index(2), 0u);
    EXPECT_EQ(b.Index(4), 2u);
}

TEST(CircularBufferRate, KeepsTheLargestRequiredSizeAndAttachLeavesIt) {
    CircularBuffer<int> b;
    b.SetRate(3);
    b.SetRate(2);
    EXPECT_EQ(b.rate, 2u);
    EXPECT_EQ(b.requiredSize, 3u);
    int cell = 0;
    b.Attach(&cell, 1, 7, 0);
    EXPECT_EQ(b.rate, 7u);
    EXPECT_EQ(b.requiredSize, 3u);
}

TEST(CircularBufferAdvance, MovesByTheRateWithOneWrap) {
    std::vector<double> items(4);
    CircularBuffer<double> b;
    b.Attach(items.data(), 4, 3, 2);
    b.Advance();
    EXPECT_EQ(b.position, 1u);
    b.rate = 0;
    b.Advance();
    EXPECT_EQ(b.position, 1u);
}

TEST(CircularBufferCopyTo, SplitsRunsThatWrapInEitherArray) {
    std::vector<double> from{10, 11, 12, 13, 14};
    std::vector<double> to(4, -1.0);
    CircularBuffer<double> source, target;
    source.Attach(from.data(), 5, 1, 3);  // logical 0.. = 13 14 10 11 12
    target.Attach(to.data(), 4, 1, 2);
    source.CopyTo(0, target, 0, 4);
    EXPECT_EQ(to, (std::vector<double>{10, 11, 13, 14}));

    std::fill(to.begin(), to.end(), -1.0);
    source.CopyTo(0, target, 0, 0);
    EXPECT_EQ(to, (std::vector<double>(4, -1.0)));

    // one item from the last storage slot
    source.CopyTo(1, target, 1, 1);
    EXPECT_EQ(to[3], 14.0);
}

TEST(CircularBufferZeroItems, ClearsEveryItemIncludingBothComplexParts) {
    std::vector<std::complex<double>> items(3, {1.0, -2.0});
    CircularBuffer<std::complex<double>> b;
    b.Attach(items.data(), 3, 1, 2);
    EXPECT_TRUE(b.ZeroItems(0, 2, 0));
    EXPECT_EQ(items[2], std::complex<double>(0.0, 0.0));
    EXPECT_EQ(items[0], std::complex<double>(0.0, 0.0));
    EXPECT_EQ(items[1], std::complex<double>(1.0, -2.0));
}

TEST(CircularBufferAllocate, ComplexItemsStartAtZeroAndOversizeRequestsFail) {
    CircularBuffer<std::complex<double>> c;
    auto* items = static_cast<std::complex<double>*>(c.Allocate(4));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(items[i], std::complex<double>(0.0, 0.0));
    c.Release(items);
    EXPECT_EQ(c.StorageBytes(), nullptr);

    CircularBuffer<double> d;
    EXPECT_THROW(d.Allocate(0x20000000u), std::bad_alloc);  // 2^32 bytes
}

TEST(CircularBufferRelease, NullFreesOwnStorageAndKeepsRates) {
    CircularBuffer<double> b;
    void* items = b.Allocate(8);
    b.Attach(items, 8, 4, 5);
    b.requiredSize = 8;
    void* other = b.Allocate(2);
    b.Release(other);  // frees only that array
    EXPECT_EQ(b.StorageBytes(), items);
    EXPECT_EQ(b.position, 5u);
    EXPECT_EQ(b.Capacity(), 8u);
    b.Release(nullptr);
    EXPECT_EQ(b.StorageBytes(), nullptr);
    EXPECT_EQ(b.position, 0u);
    EXPECT_EQ(b.Capacity(), 0u);
    EXPECT_EQ(b.rate, 4u);
    EXPECT_EQ(b.requiredSize, 8u);
}

TEST(CircularBufferLifetime, DestroyingOneSharerLeavesTheItemsReadable) {
    double cell = 4.5;
    CircularBuffer<double> reader;
    {
        CircularBuffer<double> writer;
        writer.Attach(&cell, 1, 1, 0);
        reader.Attach(&cell, 1, 1, 0);
        writer.Item(0) = 9.0;
    }
    EXPECT_EQ(reader.Item(0), 9.0);
}

}  // namespace
