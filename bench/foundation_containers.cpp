#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "foundation/containers/handle_list.h"
#include "foundation/containers/llist.h"
#include "foundation/containers/ptr_array.h"

namespace {

void* Item(uintptr_t n) {
    return reinterpret_cast<void*>(n + 1);
}

void Fill(LList& list, int64_t count) {
    for (int64_t i = 0; i < count; ++i)
        list.InsertAfter(Item(uintptr_t(i)), nullptr);
}

std::vector<uint32_t> RandomPositions(int64_t count) {
    std::mt19937 random(1);
    std::vector<uint32_t> positions(4096);
    for (uint32_t& position : positions)
        position = uint32_t(random() % uint64_t(count));
    return positions;
}

void BM_LListAppend(benchmark::State& state) {
    for (auto _ : state) {
        LList list;
        Fill(list, state.range(0));
        benchmark::DoNotOptimize(list.GetTail());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LListAppend)->Arg(1000)->Arg(100000);

void BM_LListGetNodeAt(benchmark::State& state) {
    LList list;
    Fill(list, state.range(0));
    std::vector<uint32_t> positions = RandomPositions(state.range(0));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.GetNodeAt(positions[next]));
        next = (next + 1) % positions.size();
    }
}
BENCHMARK(BM_LListGetNodeAt)->Arg(1000)->Arg(100000);

void BM_LListFindNode(benchmark::State& state) {
    LList list;
    Fill(list, state.range(0));
    std::vector<uint32_t> positions = RandomPositions(state.range(0));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.FindNode(Item(positions[next])));
        next = (next + 1) % positions.size();
    }
}
BENCHMARK(BM_LListFindNode)->Arg(1000)->Arg(10000);

// Removing the tail is the worst case: the node's position is found from the head.
void BM_LListRemoveTail(benchmark::State& state) {
    LList list;
    Fill(list, state.range(0));
    for (auto _ : state) {
        list.RemoveNode(list.GetTail(), 1);
        list.InsertAfter(Item(0), nullptr);
    }
}
BENCHMARK(BM_LListRemoveTail)->Arg(1000)->Arg(10000);

// Removing the head shifts every index entry by one node.
void BM_LListRemoveHead(benchmark::State& state) {
    LList list;
    Fill(list, state.range(0));
    for (auto _ : state) {
        list.RemoveNode(list.GetHead(), 1);
        list.InsertAfter(Item(0), nullptr);
    }
}
BENCHMARK(BM_LListRemoveHead)->Arg(1000)->Arg(100000);

void BM_HandleListChurn(benchmark::State& state) {
    CHandleList list;
    for (int64_t i = 0; i < state.range(0); ++i)
        list.AddTail(uintptr_t(i));
    for (auto _ : state) {
        uint32_t head = list.GetHead();
        uintptr_t value = list.GetAt(head);
        list.Remove(head);
        benchmark::DoNotOptimize(list.AddTail(value));
    }
}
BENCHMARK(BM_HandleListChurn)->Arg(100)->Arg(10000);

void BM_HandleListWalk(benchmark::State& state) {
    CHandleList list;
    for (int64_t i = 0; i < state.range(0); ++i)
        list.AddTail(uintptr_t(i));
    for (auto _ : state) {
        uintptr_t sum = 0;
        for (uint32_t i = list.GetHead(); i != 0;)
            sum += list.GetNext(&i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HandleListWalk)->Arg(100)->Arg(10000);

void BM_PtrArraySetAtGrow(benchmark::State& state) {
    for (auto _ : state) {
        PtrArray array;
        for (int32_t i = 0; i < int32_t(state.range(0)); ++i)
            array.SetAtGrow(i, Item(uintptr_t(i)));
        benchmark::DoNotOptimize(array.GetAt(0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PtrArraySetAtGrow)->Arg(1000)->Arg(100000);

} // namespace
