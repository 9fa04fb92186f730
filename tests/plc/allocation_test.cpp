// A scan allocates nothing: counted through the global allocation functions of this test
// executable while ticks run.
#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Sanitizers bring their own allocation functions; counting is left to the plain builds.
#if defined(__SANITIZE_ADDRESS__)
#define WIRTUALON_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WIRTUALON_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef WIRTUALON_COUNT_ALLOCATIONS
#define WIRTUALON_COUNT_ALLOCATIONS 1
#endif

namespace {

std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

}  // namespace

#if WIRTUALON_COUNT_ALLOCATIONS
// Allocation and release are replaced as a pair, so that sanitizers see matching calls.
void* operator new(std::size_t size) {
    if (g_counting.load()) {
        ++g_allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

#if defined(__GNUC__) && !defined(__clang__)
// GCC cannot see that the replaced operator new above is the matching allocator.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace plc::test {
namespace {

TEST(AllocationTest, TicksInRunAllocateNothing) {
    if (!WIRTUALON_COUNT_ALLOCATIONS) {
        GTEST_SKIP() << "allocations are not counted under a sanitizer";
    }
    Builder b;
    b.load(I(1)).loadNot(I(2)).orStack().coil(kCoilNormal, Q(1)).edgeCoil(kCoilPositive, 0, Q(2));
    b.block(BlockKind::Tmr, I(1)).words({0, kTimeBase10ms}).triple(R(1)).operand(5).triple(R(1));
    b.block(BlockKind::UpCtr, I(1)).input(I(2)).triple(R(4)).operand(5).triple(R(4));
    b.block(BlockKind::Add, I(1)).word(kTypeDint).operand(R(10)).operand(1).address(R(10));
    b.block(BlockKind::Shl, I(1)).word(kTypeWord).length(200).address(R(20)).operand(3).input(I(1));
    b.address(R(300));
    b.block(BlockKind::SrhEq, I(1)).word(kTypeInt).length(100).address(R(20)).operand(0).operand(9);
    b.address(R(12));
    b.block(BlockKind::ArrMv, I(1)).word(kTypeBit).length(64).address(M(1)).operand(1);
    b.operand(2).operand(30).address(M(100));
    b.load(I(1)).control(kControlJump, 1).control(kControlLabel, 1).end();
    // Monitored too: the trace is sized when the program is handed over, never by a scan.
    for (const bool monitored : {false, true}) {
        Rig rig;
        rig.plc.setMonitoring(monitored);
        rig.run(b, 1, 1);
        rig.panel.inputs = 1;
        g_allocations = 0;
        g_counting = true;
        rig.ticks(20);
        g_counting = false;
        EXPECT_EQ(g_allocations.load(), 0) << monitored;
        EXPECT_EQ(rig.cycle.scanCount(), 20u);
        EXPECT_EQ(rig.plc.hasTrace(), monitored);
    }
}

}  // namespace
}  // namespace plc::test
