// A loop's round as one register program: the number statements, conditions and branches
// from the first step of the loop's body up to the jump back to it, written for the kinds
// the slots hold when the loop program is entered. It runs round after round, counting the
// statements as the steps do, until the loop ends or something it cannot do comes up; it
// then leaves at a statement's boundary, every slot holding what the steps would have left
// there, and the ordinary steps go on from that step.
#pragma once

#include <cstdint>
#include <vector>

#include "script/interpreter/compiled_registers.h"

struct CompiledFunction;

struct LoopProgram {
    // The round's first step, and its last: the jump back to the first.
    uint32_t start = 0;
    uint32_t end = 0;
    // Written when first entered and again when a kind it was written for stopped holding
    // (its run left at a failed load), at most kMaxWritings times.
    mutable std::vector<RegisterInstruction> code;
    // For each instruction, the step where the statement it belongs to begins: where the
    // ordinary steps go on when it fails.
    mutable std::vector<uint32_t> exits;
    // The names of the slots its statements bind, which no scope had when it was written.
    mutable std::vector<uint8_t*> binds;
    mutable uint64_t bindsSlots = 0;
    // The names its statements read, their variables found while the scopes were in state
    // `epoch`, and the elements they read (an element of a named array by its place in
    // `names`).
    mutable std::vector<uint8_t*> names;
    mutable std::vector<CVariable*> variables;
    mutable std::vector<ElementRead> elements;
    // The members its statements read or assign: their entries in `names` are null.
    mutable std::vector<LoopMember> members;
    mutable uint64_t epoch = 0;
    // The locals' shape and the stamps of This and the globals when the names were found
    // outside the locals, as a NumberProgram keeps them (globalsStamp 0 else): a new call of
    // the function finds the same variables without a lookup while they hold.
    mutable uint64_t localsShape = 0;
    mutable uint64_t currentStamp = 0;
    mutable uint64_t globalsStamp = 0;
    // The slots the call had bound when the code was written.
    mutable uint64_t bound = 0;
    // The slots bound at every first round that came to the program (all before one came):
    // the code is written for those bound at the jump back less the others, which the round
    // binds itself, so that a first round with fewer bound enters it too.
    mutable uint64_t entryBound = ~uint64_t(0);
    // Whether first rounds enter: not once the code written without those slots had to
    // leave for the steps where the code written with them did not.
    mutable bool firstRounds = true;
    // First rounds turned away for slots they had not bound: the code is written for them
    // only for a loop entered afresh often enough to pay for the binds its rounds then do.
    mutable uint8_t declines = 0;
    static constexpr uint8_t kDeclines = 8;
    mutable bool stale = true;
    mutable uint8_t writings = 0;
    // For each step of the round, 1 + the index of the block open there that the program
    // keeps no record of, else 0 (empty when it keeps a record of every block): where the
    // steps go on inside such a block, its record is pushed then.
    mutable std::vector<uint32_t> unrecorded;
    // Running: a handler that a statement's end dispatches may call the function again,
    // whose rounds then take the steps, leaving the code that runs as it is.
    mutable bool running = false;
    static constexpr uint8_t kMaxWritings = 8;
};

// Where the steps go on after a loop program, and the slots the call has bound there.
struct LoopExit {
    uint32_t step;
    uint64_t bound;
};

// Each round of a loop whose steps are all number statements, conditions, statement ends,
// jumps and block changes becomes a loop program: its jump back becomes kOpLoopRound, and so
// does the step into its first round (a For's first test going into the body, the end of a
// While's first test once its block is begun), whose kOpLoopRound has `site` 1.
void AddLoopPrograms(CompiledFunction& code);
