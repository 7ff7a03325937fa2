// Matcher: the instruction loop. Positions are offsets into the text, so they fit the 32-bit
// entries of the stack and the slots; letter case is folded per character as it is read,
// which spares a lower-cased copy of the text for every match.
#include "updater/regex/Matcher.h"

#include "common/AsciiCase.h"
#include "updater/regex/PatternError.h"

namespace {

// A capture boundary that is not set, as it travels through the stack.
constexpr std::uint32_t noPosition = UINT32_MAX;

std::uint32_t foldCase(wchar_t c)
{
    return static_cast<std::uint32_t>(asciiLower(c));
}

[[noreturn]] void failIndex()
{
    throw PatternError(PATTERN_E_INVALIDARG);
}

} // namespace

Matcher::Matcher(const std::vector<Instruction>& program, const wchar_t* text, std::uint32_t length,
                 MatchResult& result)
    : code(program.data()), size(static_cast<std::uint32_t>(program.size())), text(text),
      length(length), result(result)
{
}

// The lower-cased character at `at`, or 0 at (and past) the end of the text.
std::uint32_t Matcher::character(std::uint32_t at) const
{
    return at < length ? foldCase(text[at]) : 0;
}

// The entries between an InSet/NotInSet at `pc` and `next` are low/high pairs.
bool Matcher::inRanges(std::uint32_t pc, std::uint32_t next, std::uint32_t c) const
{
    if (next <= pc || next > size || (next - pc - 1) % 2 != 0)
        failIndex();
    for (std::uint32_t i = pc + 1; i < next; i += 2) {
        if (c >= code[i].operand && c <= code[i + 1].operand)
            return true;
    }
    return false;
}

std::uint32_t Matcher::checkedSlot(std::uint32_t slot) const
{
    if (slot >= result.slots.size())
        failIndex();
    return slot;
}

std::uint32_t Matcher::checkedGroup(std::uint32_t group) const
{
    if (group >= result.groups.size())
        failIndex();
    return group;
}

// Positions run from the start of the text to one past its end (where "$" leaves them).
std::uint32_t Matcher::checkedPosition(std::uint32_t offset) const
{
    if (offset > length + 1)
        failIndex();
    return offset;
}

std::uint32_t Matcher::offsetOf(const wchar_t* at) const
{
    return at ? static_cast<std::uint32_t>(at - text) : noPosition;
}

const wchar_t* Matcher::pointerTo(std::uint32_t offset) const
{
    return offset == noPosition ? nullptr : text + checkedPosition(offset);
}

// The text captured by the group, compared ignoring case; a group that has not taken part
// stands for the empty text. On success `pos` moves past it.
bool Matcher::matchBackReference(std::uint32_t group, std::uint32_t& pos) const
{
    const MatchResult::Span& span = result.groups[checkedGroup(group)];
    if (!span.start || !span.end || span.end <= span.start)
        return true;
    const std::uint32_t from = offsetOf(span.start);
    const std::uint32_t to = offsetOf(span.end) < length ? offsetOf(span.end) : length;
    if (pos > length || to - from > length - pos)
        return false;
    for (std::uint32_t i = from, at = pos; i < to; ++i, ++at) {
        if (foldCase(text[i]) != foldCase(text[at]))
            return false;
    }
    pos += to - from;
    return true;
}

// Moves the search start on by one character, or on to the next `first` character when that
// is given; false at the last character of the text.
bool Matcher::nextStart(std::uint32_t& searchStart, std::uint32_t first) const
{
    std::uint32_t at = searchStart;
    do {
        if (at + 1 >= length)
            return false;
        ++at;
    } while (first != 0 && foldCase(text[at]) != first);
    searchStart = at;
    return true;
}

bool Matcher::finish(bool matched, std::uint32_t start)
{
    result.matchStart = text + start;
    result.matchEnd = text + position;
    return matched;
}

bool Matcher::run()
{
    MatchResult& r = result;
    std::uint32_t pc = 0;
    std::uint32_t pos = 0;
    std::uint32_t searchStart = 0;
    std::uint32_t start = 0;
    for (;;) {
        if (pc >= size)
            failIndex();
        if (pc == 0)
            start = pos;
        const Instruction in = code[pc];
        bool ok = true;
        switch (in.op) {
        case Opcode::Nop:
            ++pc;
            break;
        case Opcode::Char:
            // Operand 0 is "$": it matches the end of the text and steps past it.
            ok = in.operand == 0 ? pos == length : (pos < length && character(pos) == in.operand);
            if (ok) {
                ++pos;
                ++pc;
            }
            break;
        case Opcode::Any:
            ok = pos < length;
            if (ok) {
                ++pos;
                ++pc;
            }
            break;
        case Opcode::InSet:
        case Opcode::NotInSet:
            ok = pos < length
                && inRanges(pc, in.operand, character(pos)) == (in.op == Opcode::InSet);
            if (ok) {
                ++pos;
                pc = in.operand;
            }
            break;
        case Opcode::Jump:
            pc = in.operand;
            break;
        case Opcode::Call:
            if (!r.push(pc + 1))
                return false;
            pc = in.operand;
            break;
        case Opcode::Return:
            ok = false;
            break;
        case Opcode::PushPos:
            if (!r.push(pos))
                return false;
            ++pc;
            break;
        case Opcode::PopPos:
            pos = checkedPosition(r.pop());
            ++pc;
            break;
        case Opcode::PushSlot:
            if (!r.push(r.slots[checkedSlot(in.operand)]))
                return false;
            ++pc;
            break;
        case Opcode::PopSlot:
            r.slots[checkedSlot(in.operand)] = r.pop();
            ++pc;
            break;
        case Opcode::SavePos:
            r.slots[checkedSlot(in.operand)] = pos;
            ++pc;
            break;
        case Opcode::SaveDepth:
            r.slots[checkedSlot(in.operand)] = r.depth;
            ++pc;
            break;
        case Opcode::LoadPos:
            pos = checkedPosition(r.slots[checkedSlot(in.operand)]);
            ++pc;
            break;
        case Opcode::LoadDepth: {
            const std::uint32_t depth = r.slots[checkedSlot(in.operand)];
            if (depth > r.depth)
                failIndex();
            r.depth = depth;
            ++pc;
            break;
        }
        case Opcode::FailIfNoProgress:
            ok = pos != r.slots[checkedSlot(in.operand)];
            if (ok)
                ++pc;
            break;
        case Opcode::BackRef:
            ok = matchBackReference(in.operand, pos);
            if (ok)
                ++pc;
            break;
        case Opcode::PushGroup: {
            const MatchResult::Span& span = r.groups[checkedGroup(in.operand)];
            if (!r.push(offsetOf(span.start)) || !r.push(offsetOf(span.end)))
                return false;
            ++pc;
            break;
        }
        case Opcode::PopGroup: {
            MatchResult::Span& span = r.groups[checkedGroup(in.operand)];
            span.end = pointerTo(r.pop());
            span.start = pointerTo(r.pop());
            ++pc;
            break;
        }
        case Opcode::GroupStart:
            r.groups[checkedGroup(in.operand)].start = text + pos;
            ++pc;
            break;
        case Opcode::GroupEnd:
            r.groups[checkedGroup(in.operand)].end = text + pos;
            ++pc;
            break;
        case Opcode::Advance:
            // Every start from the first character to the last is tried; an empty text once.
            if (!nextStart(searchStart, in.operand)) {
                position = pos;
                return finish(false, start);
            }
            pos = searchStart;
            r.depth = 0;
            pc = 0;
            break;
        case Opcode::Fail:
        case Opcode::Match:
            position = pos;
            return finish(in.op == Opcode::Match, start);
        default:
            failIndex();
        }
        if (!ok)
            pc = r.pop();
    }
}
