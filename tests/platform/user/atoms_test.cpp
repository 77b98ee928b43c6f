#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/user/atoms.h"
#include "platform/user/window_props.h"

namespace {

std::string AtomName(ATOM atom) {
    char buffer[300];
    UINT length = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    return std::string(buffer, length);
}

TEST(GlobalAtoms, AreCountedAndFoundWithoutRegardToCase) {
    ATOM atom = GlobalAddAtomA("Caf\xE9Name");
    ASSERT_GE(atom, MAXINTATOM);
    EXPECT_EQ(GlobalAddAtomA("CAF\xC9NAME"), atom);
    EXPECT_EQ(AtomName(atom), "Caf\xE9Name"); // spelled as first added
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("caf\xE9name"), atom); // one reference left
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("Caf\xE9Name"), 0);
    EXPECT_EQ(GlobalDeleteAtom(atom), atom);
    EXPECT_EQ(AtomName(atom), "");

    char small[4];
    ATOM longest = GlobalAddAtomA(std::string(255, 'x').c_str());
    EXPECT_EQ(GlobalGetAtomNameA(longest, small, sizeof small), 3u);
    EXPECT_STREQ(small, "xxx");
    GlobalDeleteAtom(longest);
    EXPECT_EQ(GlobalAddAtomA(std::string(256, 'x').c_str()), 0);
}

TEST(GlobalAtoms, IntegerAtomsAreTheirOwnNumbers) {
    EXPECT_EQ(GlobalAddAtomA("#123"), 123);
    EXPECT_EQ(GlobalFindAtomA("#0049151"), 0xBFFF);
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(7)), 7);
    EXPECT_EQ(AtomName(123), "#123");
    for (LPCSTR bad : {"#0", "#49152", "#99999999999999999999", "", MAKEINTATOM(0xC000)})
        EXPECT_EQ(ErrorOf(GlobalAddAtomA(bad), 0), ERROR_INVALID_PARAMETER);
}

TEST(GlobalAtoms, AFullTableRefusesAndReusesFreedAtoms) {
    std::vector<ATOM> atoms;
    for (int i = 0;; ++i) {
        ATOM atom = GlobalAddAtomA(("fill" + std::to_string(i)).c_str());
        if (atom == 0) break;
        atoms.push_back(atom);
        ASSERT_LT(atoms.size(), 0x4001u);
    }
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_GT(atoms.size(), 0x3F00u); // what other tests keep may take a few
    GlobalDeleteAtom(atoms[5]);
    EXPECT_EQ(GlobalAddAtomA("again"), atoms[5]);
    for (ATOM atom : atoms)
        EXPECT_EQ(GlobalDeleteAtom(atom), 0);
}

TEST(WindowProperties, TextAndAtomNamesReachOnePropertyAndForgettingAWindowDropsOnlyIts) {
    const HWND window = 0x6001;
    int object = 0;
    auto pointer = reinterpret_cast<uintptr_t>(&object); // a full 64-bit value
    ASSERT_TRUE(SetPropA(window, "iobj", pointer));
    ATOM atom = GlobalFindAtomA("IOBJ");
    ASSERT_NE(atom, 0); // the property holds the name's atom
    EXPECT_EQ(GetPropA(window, MAKEINTATOM(atom)), pointer);
    EXPECT_EQ(GetPropA(window, "IObj"), pointer);
    EXPECT_EQ(GetPropA(0x6002, "iobj"), 0u);
    EXPECT_EQ(GetPropA(window, "other"), 0u);

    EXPECT_TRUE(SetPropA(window, MAKEINTATOM(atom), 5)); // replaces, adds no reference
    EXPECT_EQ(RemovePropA(window, "iobj"), 5u);
    EXPECT_EQ(GetPropA(window, "iobj"), 0u);
    EXPECT_EQ(RemovePropA(window, "iobj"), 0u);
    EXPECT_EQ(GlobalFindAtomA("iobj"), 0); // the reference went with the property

    EXPECT_FALSE(SetPropA(0, "iobj", 1));
    EXPECT_FALSE(SetPropA(window, MAKEINTATOM(0), 1));

    ATOM kept = GlobalAddAtomA("kept");
    SetPropA(0x6001, "first", 1);
    SetPropA(0x6001, MAKEINTATOM(kept), 2);
    SetPropA(0x6002, "first", 3);
    platform::ForgetWindowProperties(0x6001);
    EXPECT_EQ(GetPropA(0x6001, "first"), 0u);
    EXPECT_EQ(GetPropA(0x6001, MAKEINTATOM(kept)), 0u);
    EXPECT_EQ(GetPropA(0x6002, "first"), 3u);
    EXPECT_EQ(GlobalFindAtomA("kept"), kept); // not the property's to drop
    platform::ForgetWindowProperties(0x6002);
    EXPECT_EQ(GlobalFindAtomA("first"), 0);
    GlobalDeleteAtom(kept);
}

} // namespace
