#include "foundation/containers/llist.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "foundation/test_helpers.h"

namespace {

using namespace foundation_test;

// Checks every position lookup and both directions of the chain against the model.
void ExpectMatches(const LList& list, const std::vector<uintptr_t>& model) {
    ASSERT_EQ(list.GetCount(), model.size());
    for (uint32_t i = 0; i < model.size(); ++i) {
        LListNode* node = list.GetNodeAt(i);
        ASSERT_NE(node, nullptr) << i;
        ASSERT_EQ(node->item, Item(model[i])) << i;
    }
    EXPECT_EQ(list.GetNodeAt(uint32_t(model.size())), nullptr);
    size_t back = model.size();
    for (LListNode* node = list.GetTail(); node != nullptr; node = node->prev) {
        ASSERT_GT(back, 0u);
        ASSERT_EQ(node->item, Item(model[--back]));
    }
    EXPECT_EQ(back, 0u);
    EXPECT_EQ(list.GetHead(), model.empty() ? nullptr : list.GetNodeAt(0));
}

std::vector<uintptr_t> Append(LList& list, uintptr_t count) {
    std::vector<uintptr_t> model;
    for (uintptr_t i = 0; i < count; ++i) {
        EXPECT_NE(list.InsertAfter(Item(i + 1), nullptr), nullptr);
        model.push_back(i + 1);
    }
    return model;
}

// One random insertion, move or removal, made in the list and in the model alike; returns
// the kind of change.
int RandomChange(LList& list, std::vector<uintptr_t>& model, std::mt19937& random,
                 uintptr_t& next) {
    uint32_t count = list.GetCount();
    uint32_t at = count != 0 ? random() % count : 0;
    uint32_t other = random() % (count + 1);
    int op = int(random() % 6);
    if (count == 0 || (op == 5 && count < 150)) op = 0;
    switch (op) {
    case 0:
        list.InsertAfter(Item(next), nullptr);
        model.push_back(next++);
        break;
    case 1:
        list.InsertAfter(Item(next), list.GetNodeAt(at));
        model.insert(model.begin() + at + 1, next++);
        break;
    case 2:
        list.InsertBefore(Item(next), list.GetNodeAt(at));
        model.insert(model.begin() + at, next++);
        break;
    case 3:
        list.InsertAt(Item(next), other);
        model.insert(other < count ? model.begin() + other + 1 : model.end(), next++);
        break;
    case 4: {
        if (at == other) break;
        list.MoveBefore(list.GetNodeAt(at), list.GetNodeAt(other));
        uintptr_t moved = model[at];
        model.erase(model.begin() + at);
        model.insert(model.begin() + (other > at ? other - 1 : other), moved);
        break;
    }
    default:
        EXPECT_EQ(list.RemoveNode(list.GetNodeAt(at), 0), 1);
        model.erase(model.begin() + at);
        break;
    }
    return op;
}

TEST(LListTest, LookupsStayRightAfterInsertionsMovesAndRemovals) {
    LList list;
    std::vector<uintptr_t> model = Append(list, 200);
    EXPECT_EQ(list.GetNodeAt(130)->item, Item(131));
    // First the nodes that index entries point at, the head and the tail.
    for (uint32_t position : {10u, 128u, 64u, 0u, 195u}) {
        ASSERT_EQ(list.RemoveNode(list.GetNodeAt(position), 0), 1);
        model.erase(model.begin() + position);
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << position;
    }
    std::mt19937 random(5);
    uintptr_t next = 1000;
    for (int step = 0; step < 3000; ++step) {
        const int op = RandomChange(list, model, random, next);
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << "step " << step << " op " << op;
    }
    EXPECT_EQ(list.IndexOf(Item(model[77])), 77);
    EXPECT_EQ(list.FindNode(Item(model[77])), list.GetNodeAt(77));
    EXPECT_EQ(list.IndexOf(Item(next)), -1);
    EXPECT_EQ(list.FindNode(Item(next)), nullptr);

    list.RemoveAll();
    ExpectMatches(list, {});
    ExpectMatches(list, Append(list, 700));
}

TEST(LListTest, SingleLookupsBetweenChangesFindTheRightNodes) {
    // Lookups far apart in a long list, each after a change, as a caller picking items
    // by position while it edits does.
    LList list;
    std::vector<uintptr_t> model = Append(list, 1000);
    std::mt19937 random(11);
    uintptr_t next = 5000;
    for (int step = 0; step < 4000; ++step) {
        RandomChange(list, model, random, next);
        for (int probe = 0; probe < 2; ++probe) {
            const uint32_t i = random() % uint32_t(model.size());
            ASSERT_EQ(list.GetNodeAt(i)->item, Item(model[i])) << "step " << step;
        }
        if (step % 97 == 0) {
            list.RemoveNode(list.GetHead(), 1);
            model.erase(model.begin());
        }
    }
    ExpectMatches(list, model);
}

TEST(LListTest, RemovingKnownNodesKeepsLookupsRight) {
    // Nodes kept by their holders, taken out anywhere (the tail often, as lists emptied
    // from the back are), with lookups between that lean on the index; use counts do not
    // hold a known node back.
    LList list;
    std::vector<uintptr_t> model = Append(list, 700);
    list.GetNodeAt(0)->useCount = 3;
    std::mt19937 random(23);
    while (!model.empty()) {
        const uint32_t at = random() % 3 == 0 ? uint32_t(model.size()) - 1
                                              : random() % uint32_t(model.size());
        list.RemoveKnownNode(list.GetNodeAt(at));
        model.erase(model.begin() + at);
        if (model.size() % 50 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << model.size();
        } else if (!model.empty()) {
            const uint32_t i = random() % uint32_t(model.size());
            ASSERT_EQ(list.GetNodeAt(i)->item, Item(model[i])) << model.size();
        }
    }
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    ExpectMatches(list, Append(list, 130));
}

TEST(LListTest, TheIndexGrowsFromNoEntriesAndAFailedGrowthChangesNothing) {
    LList list(0);
    InjectFault(Fault::HeapAlloc, kOneFailure, 1); // the node, then the index
    EXPECT_EQ(list.InsertAfter(Item(1), nullptr), nullptr);
    ExpectMatches(list, {});

    // Ten entries cover 640 nodes; the 641st needs more.
    std::vector<uintptr_t> model = Append(list, 640);
    InjectFault(Fault::HeapAlloc, kOneFailure, 1);
    EXPECT_EQ(list.InsertAfter(Item(9999), nullptr), nullptr);
    ExpectMatches(list, model);

    ASSERT_NE(list.InsertAfter(Item(641), nullptr), nullptr);
    model.push_back(641);
    ExpectMatches(list, model);
}

TEST(LListTest, RemoveNodeHonoursUseCountsAndRefusesForeignNodes) {
    LList list;
    Append(list, 3);
    LListNode* node = list.GetNodeAt(1);
    node->useCount = 3;
    EXPECT_EQ(list.RemoveNode(node, 0), 0);
    EXPECT_EQ(node->useCount, 2);
    EXPECT_EQ(list.RemoveNode(node, 1), 1);
    ExpectMatches(list, {1, 3});

    LList other;
    LListNode* foreign = other.InsertAfter(Item(5), nullptr);
    EXPECT_EQ(list.RemoveNode(foreign, 1), 0);
    EXPECT_EQ(list.RemoveNode(nullptr, 1), 0);
    ExpectMatches(list, {1, 3});
    ExpectMatches(other, {5});
}

} // namespace
