// ProgramBuilder: the code each construct compiles to. Labels are instruction indices; forward
// targets are emitted as 0 and patched once known.
#include "updater/regex/ProgramBuilder.h"

namespace {
using Kind = PatternNode::Kind;
using Repeat = PatternNode::Repeat;
} // namespace

ProgramBuilder::ProgramBuilder(std::vector<Instruction>& program, std::uint32_t& slotCount)
    : program(program), slots(slotCount)
{
}

// Instruction 0 calls the pattern at 2; when every way through it fails, backtracking lands on
// 1, which tries the next search start, or fails outright for a pattern anchored with "^".
bool ProgramBuilder::build(const PatternNode& sequence, bool anchored)
{
    const Opcode retry = anchored ? Opcode::Fail : Opcode::Advance;
    return emit(Opcode::Call, 2) && emit(retry, anchored ? 0 : firstCharacter(sequence))
        && generateElements(sequence) && emit(Opcode::Match);
}

// The character every match must begin with, or 0 when there is no such single character.
// Advance uses it to pass over start positions where the first instruction that reads the
// text would fail anyway; what runs before that instruction (group bookkeeping) leaves
// nothing behind, so skipping those attempts changes no result.
std::uint32_t ProgramBuilder::firstCharacter(const PatternNode& element)
{
    switch (element.kind) {
    case Kind::Char:
        return element.value;
    case Kind::Group:
    case Kind::Capture:
        return element.children.empty() ? 0 : firstCharacter(*element.children.front());
    case Kind::Repeat:
        if (element.repeat == Repeat::Plus || element.repeat == Repeat::LazyPlus)
            return firstCharacter(*element.children.front());
        return 0;
    default:
        return 0;
    }
}

std::uint32_t ProgramBuilder::here() const
{
    return static_cast<std::uint32_t>(program.size());
}

bool ProgramBuilder::emit(Opcode op, std::uint32_t operand)
{
    if (program.size() >= maxProgramSize)
        return false;
    program.push_back(Instruction{op, operand});
    return true;
}

void ProgramBuilder::patch(std::uint32_t index, std::uint32_t operand)
{
    program[index].operand = operand;
}

bool ProgramBuilder::newSlot(std::uint32_t& slot)
{
    if (slots >= maxProgramSize)
        return false;
    slot = slots++;
    return true;
}

bool ProgramBuilder::generate(const PatternNode& node)
{
    switch (node.kind) {
    case Kind::Char:
        return emit(Opcode::Char, node.value);
    case Kind::Any:
        return emit(Opcode::Any);
    case Kind::Set:
        return generateSet(node);
    case Kind::BackRef:
        return emit(Opcode::BackRef, node.value);
    case Kind::Group:
        return generateGroup(node);
    case Kind::Capture:
        return generateCapture(node);
    case Kind::Alternation:
        return generateAlternation(node);
    case Kind::Repeat:
        return generateRepeat(node);
    case Kind::Negation:
        return generateNegation(node);
    }
    return false;
}

bool ProgramBuilder::generateElements(const PatternNode& sequence)
{
    for (const PatternNodePtr& element : sequence.children) {
        if (!generate(*element))
            return false;
    }
    return true;
}

// The body of a group; an empty one still needs an instruction to call.
bool ProgramBuilder::generateBody(const PatternNode& sequence)
{
    return sequence.children.empty() ? emit(Opcode::Nop) : generateElements(sequence);
}

// InSet/NotInSet, then two entries per item holding its low and high character.
bool ProgramBuilder::generateSet(const PatternNode& node)
{
    if (node.ranges.size() >= maxProgramSize)
        return false;
    const auto next = here() + 1 + 2 * static_cast<std::uint32_t>(node.ranges.size());
    if (!emit(node.negated ? Opcode::NotInSet : Opcode::InSet, next))
        return false;
    for (const auto& range : node.ranges) {
        if (!emit(Opcode::Nop, range.first) || !emit(Opcode::Nop, range.second))
            return false;
    }
    return true;
}

// (X): Call body; Return; body: X
bool ProgramBuilder::generateGroup(const PatternNode& node)
{
    const std::uint32_t start = here();
    return emit(Opcode::Call, start + 2) && emit(Opcode::Return) && generateBody(node);
}

// {X}: PushGroup n; GroupStart n; Call body; PopGroup n; Return; body: X; GroupEnd n.
// Backtracking out of the group runs PopGroup, which restores the previous capture.
bool ProgramBuilder::generateCapture(const PatternNode& node)
{
    const std::uint32_t start = here();
    const std::uint32_t group = node.value;
    return emit(Opcode::PushGroup, group) && emit(Opcode::GroupStart, group)
        && emit(Opcode::Call, start + 5) && emit(Opcode::PopGroup, group) && emit(Opcode::Return)
        && generateBody(node) && emit(Opcode::GroupEnd, group);
}

// E|F: PushPos; Call e; PopPos; Jump f; e: E; Jump end; f: F; end:
bool ProgramBuilder::generateAlternation(const PatternNode& node)
{
    const std::uint32_t start = here();
    if (!emit(Opcode::PushPos) || !emit(Opcode::Call, start + 4) || !emit(Opcode::PopPos)
        || !emit(Opcode::Jump) || !generate(*node.children[0]))
        return false;
    const std::uint32_t jumpToEnd = here();
    if (!emit(Opcode::Jump))
        return false;
    patch(start + 3, here());
    if (node.children[1] && !generate(*node.children[1]))
        return false;
    patch(jumpToEnd, here());
    return true;
}

// "X+" is X followed by "X*" (and "X+?" by "X*?"); both copies use the same group numbers.
bool ProgramBuilder::generateRepeat(const PatternNode& node)
{
    const PatternNode& element = *node.children[0];
    switch (node.repeat) {
    case Repeat::Star:
        return generateGreedyLoop(element, true);
    case Repeat::Plus:
        return generate(element) && generateGreedyLoop(element, true);
    case Repeat::Optional:
        return generateGreedyLoop(element, false);
    case Repeat::LazyStar:
        return generateLazyLoop(element);
    case Repeat::LazyPlus:
        return generate(element) && generateLazyLoop(element);
    case Repeat::LazyOptional:
        return generateLazyOptional(element);
    }
    return false;
}

// loop: PushSlot m; SavePos m; PushPos; Call body; PopPos; PopSlot m; Jump end;
// body: E; FailIfNoProgress m; SavePos m; Jump loop (no Jump for "?").
// A pass that consumes nothing is rejected. The SavePos after the check lets a later pass
// prune a second way through an earlier one that ends where the first did. It is left out
// when E may consume nothing (a back-reference or a negation): there it would make that
// earlier pass compare against the wrong start, accept an empty pass, and loop forever.
bool ProgramBuilder::generateGreedyLoop(const PatternNode& element, bool repeat)
{
    std::uint32_t slot = 0;
    if (!newSlot(slot))
        return false;
    const std::uint32_t loop = here();
    if (!emit(Opcode::PushSlot, slot) || !emit(Opcode::SavePos, slot) || !emit(Opcode::PushPos)
        || !emit(Opcode::Call, loop + 7) || !emit(Opcode::PopPos) || !emit(Opcode::PopSlot, slot)
        || !emit(Opcode::Jump) || !generate(element) || !emit(Opcode::FailIfNoProgress, slot))
        return false;
    if (!element.mayConsumeNothing && !emit(Opcode::SavePos, slot))
        return false;
    if (repeat && !emit(Opcode::Jump, loop))
        return false;
    patch(loop + 6, here());
    return true;
}

// c: PushPos; Call end; PopPos; E; Jump c; end:
// The rest of the pattern is tried first; when it fails, the position it left behind is
// restored before E takes one more pass. (Backtracking only restores what was pushed: without
// PushPos/PopPos E would resume wherever the failed attempt stopped, and "{.+?}ab" over "xaab"
// would miss the match at the start.) When E may consume nothing the pass is guarded like a
// greedy one, with the slot saved and restored around it:
// c: PushPos; Call end; PopPos; PushSlot m; SavePos m; Call body; PopSlot m; Return;
// body: E; FailIfNoProgress m; Jump c; end:
bool ProgramBuilder::generateLazyLoop(const PatternNode& element)
{
    const std::uint32_t loop = here();
    if (!emit(Opcode::PushPos) || !emit(Opcode::Call) || !emit(Opcode::PopPos))
        return false;
    if (!element.mayConsumeNothing) {
        if (!generate(element) || !emit(Opcode::Jump, loop))
            return false;
    } else {
        std::uint32_t slot = 0;
        if (!newSlot(slot))
            return false;
        const std::uint32_t guard = here();
        if (!emit(Opcode::PushSlot, slot) || !emit(Opcode::SavePos, slot)
            || !emit(Opcode::Call, guard + 5) || !emit(Opcode::PopSlot, slot)
            || !emit(Opcode::Return) || !generate(element)
            || !emit(Opcode::FailIfNoProgress, slot) || !emit(Opcode::Jump, loop))
            return false;
    }
    patch(loop + 1, here());
    return true;
}

// PushPos; Call end; PopPos; E; end:  (the position is restored as for the lazy loop)
bool ProgramBuilder::generateLazyOptional(const PatternNode& element)
{
    const std::uint32_t start = here();
    if (!emit(Opcode::PushPos) || !emit(Opcode::Call) || !emit(Opcode::PopPos) || !generate(element))
        return false;
    patch(start + 1, here());
    return true;
}

// SavePos m1; SaveDepth m2; Call e; LoadPos m1; LoadDepth m2; Jump end;
// e: E; LoadPos m1; LoadDepth m2; Return; end:
// When E matches, the stack is cut back to where it was and Return backtracks past the
// negation; when E fails, backtracking reaches the LoadPos after the Call and the negation
// succeeds where it started.
bool ProgramBuilder::generateNegation(const PatternNode& node)
{
    std::uint32_t position = 0;
    std::uint32_t depth = 0;
    if (!newSlot(position) || !newSlot(depth))
        return false;
    const std::uint32_t start = here();
    if (!emit(Opcode::SavePos, position) || !emit(Opcode::SaveDepth, depth)
        || !emit(Opcode::Call, start + 6) || !emit(Opcode::LoadPos, position)
        || !emit(Opcode::LoadDepth, depth) || !emit(Opcode::Jump) || !generate(*node.children[0])
        || !emit(Opcode::LoadPos, position) || !emit(Opcode::LoadDepth, depth)
        || !emit(Opcode::Return))
        return false;
    patch(start + 5, here());
    return true;
}
