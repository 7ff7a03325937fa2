// ProgramBuilder: turns a parsed pattern into the instruction list that the matcher runs.
#pragma once

#include <cstdint>
#include <vector>

#include "updater/regex/Instruction.h"
#include "updater/regex/PatternNode.h"

class ProgramBuilder {
public:
    // A program longer than this is refused as if memory had run out: "X+" compiles X twice,
    // so nested "+" doubles the size with every level.
    static constexpr std::uint32_t maxProgramSize = 1u << 20;

    ProgramBuilder(std::vector<Instruction>& program, std::uint32_t& slotCount);

    // Emits the whole program for the top-level `sequence`; false when it grew too large.
    // May throw std::bad_alloc.
    bool build(const PatternNode& sequence, bool anchored);

private:
    static std::uint32_t firstCharacter(const PatternNode& element);

    std::uint32_t here() const;
    bool emit(Opcode op, std::uint32_t operand = 0);
    void patch(std::uint32_t index, std::uint32_t operand);
    bool newSlot(std::uint32_t& slot);

    bool generate(const PatternNode& node);
    bool generateElements(const PatternNode& sequence);
    bool generateBody(const PatternNode& sequence);
    bool generateSet(const PatternNode& node);
    bool generateGroup(const PatternNode& node);
    bool generateCapture(const PatternNode& node);
    bool generateAlternation(const PatternNode& node);
    bool generateRepeat(const PatternNode& node);
    bool generateGreedyLoop(const PatternNode& element, bool repeat);
    bool generateLazyLoop(const PatternNode& element);
    bool generateLazyOptional(const PatternNode& element);
    bool generateNegation(const PatternNode& node);

    std::vector<Instruction>& program;
    std::uint32_t& slots;
};
