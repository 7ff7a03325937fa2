// One step of a compiled pattern: an opcode and a single 32-bit operand (a character code, an
// instruction index, a group number or a slot number, depending on the opcode).
#pragma once

#include <cstdint>

enum class Opcode : std::uint8_t {
    Nop,              // go on; also the data entries (range ends) that follow InSet/NotInSet
    Char,             // the operand character; 0 matches the end of the text and steps past it
    Any,              // any one character, never the end of the text
    InSet,            // a character inside one of the ranges that follow; operand: index after them
    NotInSet,         // a character inside none of the ranges that follow; operand as for InSet
    Jump,             // go on at the operand
    Call,             // push the index of the next instruction, go on at the operand
    Return,           // backtrack
    PushPos,          // push the current position
    PopPos,           // pop the current position
    PushSlot,         // push the slot's value
    PopSlot,          // pop into the slot
    SavePos,          // slot = current position
    SaveDepth,        // slot = stack depth
    LoadPos,          // current position = slot
    LoadDepth,        // stack depth = slot
    FailIfNoProgress, // backtrack when the current position equals the slot
    BackRef,          // the text captured by the operand group, letter case ignored
    PushGroup,        // push the group's start, then its end
    PopGroup,         // pop the group's end, then its start
    GroupStart,       // the group starts at the current position
    GroupEnd,         // the group ends at the current position
    Advance,          // try the next search start, or fail at the end of the text; a non-zero
                      // operand is the character every match begins with, and starts at other
                      // characters are passed over
    Fail,             // the match fails
    Match,            // the match succeeds here
};

struct Instruction {
    Opcode op = Opcode::Nop;
    std::uint32_t operand = 0;
};
