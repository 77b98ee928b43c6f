#include "foundation/containers/handle_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <list>
#include <random>
#include <utility>
#include <vector>

#include "foundation/test_helpers.h"

namespace {

using namespace foundation_test;

// The model: (index, value) pairs in chain order.
using Model = std::list<std::pair<uint32_t, uintptr_t>>;

using Walk = std::vector<std::pair<uint32_t, uintptr_t>>;

// Bounded, so a chain that loops shows up as a mismatch rather than a hang.
Walk WalkFrom(const CHandleList& list, uint32_t i, bool backward, size_t limit) {
    Walk walk;
    while (i != 0 && walk.size() <= limit) {
        uint32_t current = i;
        walk.emplace_back(current, backward ? list.GetPrev(&i) : list.GetNext(&i));
    }
    return walk;
}

void ExpectMatches(const CHandleList& list, const Model& model) {
    ASSERT_EQ(list.GetCount(), model.size());
    EXPECT_EQ(WalkFrom(list, list.GetHead(), false, model.size()),
              Walk(model.begin(), model.end()));
    EXPECT_EQ(WalkFrom(list, list.GetTail(), true, model.size()),
              Walk(model.rbegin(), model.rend()));
}

TEST(CHandleListTest, IndicesComeInOrderAndARemovedOneWaitsForTheOlderFreeNodes) {
    CHandleList list;
    Model model;
    for (uint32_t n = 1; n <= 16; ++n) {
        ASSERT_EQ(list.AddTail(n * 10), n);
        model.emplace_back(n, n * 10);
    }
    // The 16th node made the array 48 nodes long: 17 .. 47 need no allocation.
    list.Remove(3);
    model.remove_if([](const auto& entry) { return entry.first == 3; });
    InjectFault(Fault::HeapAlloc, kOneFailure);
    for (uint32_t n = 17; n <= 47; ++n) {
        ASSERT_EQ(list.AddTail(n * 10), n);
        model.emplace_back(n, n * 10);
    }
    ASSERT_EQ(list.AddHead(30), 3u);
    model.emplace_front(3, 30);
    // Nothing is free now and the array cannot grow.
    EXPECT_EQ(list.InsertAfter(5, 1), 0u);
    ExpectMatches(list, model);
    EXPECT_EQ(list.AddTail(480), 48u);

    list.RemoveAll();
    EXPECT_EQ(list.AddTail(1), 1u);
}

TEST(CHandleListTest, AnIndexNotInUseIsIgnored) {
    CHandleList list;
    Model model;
    for (uint32_t n = 1; n <= 4; ++n)
        model.emplace_back(list.AddTail(n * 10), n * 10);
    list.Remove(2);
    model.remove_if([](const auto& entry) { return entry.first == 2; });
    // 2 is now free, 5 was never used, 16 and beyond are past the array; 0 is none.
    for (uint32_t stale : {2u, 5u, 16u, 1000u, 0u}) {
        list.Remove(stale);
        list.SetAt(stale, 77);
        EXPECT_EQ(list.GetAt(stale), 0u);
        list.MoveAfter(stale, 1);
        list.MoveAfter(1, stale);
        uint32_t walk = stale;
        EXPECT_EQ(list.GetNext(&walk), 0u);
        EXPECT_EQ(walk, 0u);
        walk = stale;
        EXPECT_EQ(list.GetPrev(&walk), 0u);
        EXPECT_EQ(walk, 0u);
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << stale;
    }
    // A stale anchor appends instead of linking after a node outside the chain.
    uint32_t added = list.InsertAfter(2, 50);
    model.emplace_back(added, 50);
    ExpectMatches(list, model);
    EXPECT_EQ(list.Find(50), added);
    EXPECT_EQ(list.Find(20), 0u);
}

TEST(CHandleListTest, RandomOperationsKeepTheChainLikeAList) {
    CHandleList list;
    Model model;
    std::mt19937 random(11);
    uintptr_t next = 1;
    auto find = [&](uint32_t i) {
        return std::find_if(model.begin(), model.end(),
                            [i](const auto& entry) { return entry.first == i; });
    };
    auto insert = [&](Model::iterator where, uint32_t index) {
        model.emplace(where, index, next++);
        return index;
    };
    for (int step = 0; step < 20000; ++step) {
        // Biased towards growth up to a few hundred nodes, then churn.
        uint32_t i = random() % (model.size() * 2 + 8);
        uint32_t j = random() % (model.size() * 2 + 8);
        int op = int(random() % 8);
        if (model.size() > 300 && op < 3) op = 7;
        switch (op) {
        case 0:
            ASSERT_NE(insert(model.end(), list.AddTail(next)), 0u);
            break;
        case 1:
            ASSERT_NE(insert(model.begin(), list.AddHead(next)), 0u);
            break;
        case 2: {
            auto anchor = i == 0 ? model.begin() : find(i);
            if (anchor != model.end() && i != 0) ++anchor;
            ASSERT_NE(insert(anchor, list.InsertAfter(i, next)), 0u);
            break;
        }
        case 3:
        case 4: {
            list.MoveAfter(i, j);
            auto moved = find(i);
            auto after = find(j);
            if (i == j || moved == model.end() || (j != 0 && after == model.end())) break;
            model.splice(j == 0 ? model.begin() : std::next(after), model, moved);
            break;
        }
        case 5:
            list.SetAt(i, next);
            if (auto entry = find(i); entry != model.end()) entry->second = next;
            ++next;
            break;
        default:
            list.Remove(i);
            if (auto entry = find(i); entry != model.end()) model.erase(entry);
            break;
        }
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << "step " << step << " op " << op;
    }
}

} // namespace
