// PatternParser: the dialect's grammar. Braces capture, parentheses only group, alternation
// binds single elements, nine backslash abbreviations stand for sub-patterns, and letter case
// is folded (A to Z read as a to z) as the pattern is read.
#include "updater/regex/PatternParser.h"

#include <utility>

#include "common/AsciiCase.h"

namespace {

using Kind = PatternNode::Kind;
using Repeat = PatternNode::Repeat;

// The letter after a backslash selects an expansion, compiled in its place as one element.
// The \n entry holds the control characters themselves: a bare CR is tried first, then an
// optional CR followed by LF.
struct Abbreviation {
    wchar_t letter;
    const wchar_t* expansion;
};

constexpr Abbreviation abbreviations[] = {
    {L'a', L"([a-zA-Z0-9])"},
    {L'b', L"([ \t])"},
    {L'c', L"([a-zA-Z])"},
    {L'd', L"([0-9])"},
    {L'h', L"([0-9a-fA-F])"},
    {L'n', L"(\r|(\r?\n))"},
    {L'q', L"(\"[^\"]*\")|('[^']*')"},
    {L'w', L"([a-zA-Z]+)"},
    {L'z', L"([0-9]+)"},
};

const wchar_t* findExpansion(wchar_t letter)
{
    for (const Abbreviation& entry : abbreviations) {
        if (entry.letter == letter)
            return entry.expansion;
    }
    return nullptr;
}

std::uint32_t code(wchar_t c)
{
    return static_cast<std::uint32_t>(c);
}

bool isDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// A sequence ends at the end of the text being read and at any closing bracket.
bool endsSequence(wchar_t c)
{
    return c == 0 || c == L')' || c == L']' || c == L'}';
}

PatternNodePtr makeNode(Kind kind)
{
    auto node = std::make_unique<PatternNode>();
    node->kind = kind;
    return node;
}

PatternNodePtr makeChar(std::uint32_t c)
{
    PatternNodePtr node = makeNode(Kind::Char);
    node->value = c;
    return node;
}

// A group's sequence can match the empty text when all its elements can; so can an empty group.
void summariseSequence(PatternNode& group)
{
    group.canMatchEmpty = true;
    group.mayConsumeNothing = true;
    for (const PatternNodePtr& child : group.children) {
        group.canMatchEmpty = group.canMatchEmpty && child->canMatchEmpty;
        group.mayConsumeNothing = group.mayConsumeNothing && child->mayConsumeNothing;
    }
}

PatternNodePtr makeAlternation(PatternNodePtr first, PatternNodePtr second)
{
    PatternNodePtr node = makeNode(Kind::Alternation);
    node->canMatchEmpty = first->canMatchEmpty || !second || second->canMatchEmpty;
    node->mayConsumeNothing = first->mayConsumeNothing || !second || second->mayConsumeNothing;
    node->children.push_back(std::move(first));
    node->children.push_back(std::move(second));
    return node;
}

PatternNodePtr makeRepeat(Repeat repeat, PatternNodePtr element)
{
    PatternNodePtr node = makeNode(Kind::Repeat);
    node->repeat = repeat;
    const bool mandatory = repeat == Repeat::Plus || repeat == Repeat::LazyPlus;
    // The dialect counts "+?" as able to match empty, so "(a+?)*" is refused like "(a*)*".
    node->canMatchEmpty = repeat != Repeat::Plus || element->canMatchEmpty;
    node->mayConsumeNothing = !mandatory || element->mayConsumeNothing;
    node->children.push_back(std::move(element));
    return node;
}

bool isLoop(Repeat repeat)
{
    return repeat != Repeat::Optional && repeat != Repeat::LazyOptional;
}

} // namespace

PatternParser::PatternParser(const wchar_t* pattern) : input(pattern) {}

wchar_t PatternParser::peek(std::size_t ahead) const
{
    return asciiLower(input[at + ahead]);
}

bool PatternParser::fail(CompileError code)
{
    error = code;
    return false;
}

CompileError PatternParser::parse(PatternNode& sequence)
{
    if (peek() == L'^') {
        anchoredAtStart = true;
        ++at;
    }
    // At the top level an unmatched ")", "]" or "}" ends the pattern; the rest is ignored.
    if (parseSequence(sequence, 0))
        summariseSequence(sequence);
    return error;
}

bool PatternParser::parseSequence(PatternNode& sequence, unsigned depth)
{
    while (!endsSequence(peek())) {
        PatternNodePtr element;
        if (!parseAlternative(element, depth))
            return false;
        if (element)
            sequence.children.push_back(std::move(element));
    }
    return true;
}

// E|F chooses between one quantified element and the element after the bar, which may itself
// be an alternation: a|b|c is a|(b|c). With nothing after the bar the whole alternation is
// dropped, so out stays null (xa| matches like x).
bool PatternParser::parseAlternative(PatternNodePtr& out, unsigned depth)
{
    PatternNodePtr first;
    if (!parseQuantified(first, depth))
        return false;
    if (peek() != L'|') {
        out = std::move(first);
        return true;
    }
    ++at;
    if (endsSequence(peek()))
        return true;
    if (depth + 1 > maxNesting)
        return fail(CompileError::OutOfMemory);
    PatternNodePtr second;
    if (!parseAlternative(second, depth + 1))
        return false;
    out = makeAlternation(std::move(first), std::move(second));
    return true;
}

bool PatternParser::parseQuantified(PatternNodePtr& out, unsigned depth)
{
    if (!parseAtom(out, depth))
        return false;
    const wchar_t c = peek();
    if (c != L'*' && c != L'+' && c != L'?')
        return true;
    ++at;
    const bool lazy = peek() == L'?';
    if (lazy)
        ++at;
    Repeat repeat = c == L'*' ? Repeat::Star : c == L'+' ? Repeat::Plus : Repeat::Optional;
    if (lazy)
        repeat = c == L'*' ? Repeat::LazyStar : c == L'+' ? Repeat::LazyPlus : Repeat::LazyOptional;
    if (isLoop(repeat) && out->canMatchEmpty)
        return fail(CompileError::EmptyLoop);
    out = makeRepeat(repeat, std::move(out));
    return true;
}

// One element without its quantifier. "*", "+", "?" and "|" where an element is expected are
// ordinary characters, and so are "^" and "$" outside the places that give them a meaning.
bool PatternParser::parseAtom(PatternNodePtr& out, unsigned depth)
{
    const wchar_t c = peek();
    switch (c) {
    case L'.':
        ++at;
        out = makeNode(Kind::Any);
        return true;
    case L'[':
        return parseSet(out);
    case L'{':
        return parseGroup(out, depth, true);
    case L'(':
        return parseGroup(out, depth, false);
    case L'!':
        return parseNegation(out, depth);
    case L'\\':
        return parseEscape(out, depth);
    case L'$':
        ++at;
        // Only the very last character of the pattern means the end of the text.
        out = makeChar(peek() == 0 ? 0 : code(c));
        return true;
    default:
        ++at;
        out = makeChar(code(c));
        return true;
    }
}

bool PatternParser::parseGroup(PatternNodePtr& out, unsigned depth, bool capture)
{
    if (depth + 1 > maxNesting)
        return fail(CompileError::OutOfMemory);
    ++at;
    PatternNodePtr group = makeNode(capture ? Kind::Capture : Kind::Group);
    // The number is taken before the contents are read, so nested groups count after it.
    if (capture)
        group->value = groups++;
    if (!parseSequence(*group, depth + 1))
        return false;
    if (peek() != (capture ? L'}' : L')'))
        return fail(capture ? CompileError::UnclosedCapture : CompileError::UnclosedGroup);
    ++at;
    summariseSequence(*group);
    out = std::move(group);
    return true;
}

// "!E" negates one element without its quantifier; a quantifier after it applies to the whole
// negation. A "!" with nothing after it in its sequence has nothing to negate and is read as
// the character itself.
bool PatternParser::parseNegation(PatternNodePtr& out, unsigned depth)
{
    ++at;
    if (endsSequence(peek())) {
        out = makeChar(code(L'!'));
        return true;
    }
    if (depth + 1 > maxNesting)
        return fail(CompileError::OutOfMemory);
    PatternNodePtr element;
    if (!parseAtom(element, depth + 1))
        return false;
    out = makeNode(Kind::Negation);
    out->canMatchEmpty = element->canMatchEmpty;
    out->mayConsumeNothing = true;
    out->children.push_back(std::move(element));
    return true;
}

bool PatternParser::parseSet(PatternNodePtr& out)
{
    ++at;
    PatternNodePtr set = makeNode(Kind::Set);
    if (peek() == L'^') {
        set->negated = true;
        ++at;
    }
    if (peek() == L']')
        return fail(CompileError::EmptySet);
    while (peek() != L']') {
        std::uint32_t low = 0;
        if (!parseSetCharacter(low))
            return false;
        std::uint32_t high = low;
        // A "-" right after an item's first character starts a range; its upper end is taken
        // as written (no escapes) and must be there.
        if (peek() == L'-') {
            const wchar_t upper = peek(1);
            if (upper == 0 || upper == L']')
                return fail(CompileError::UnclosedSet);
            high = code(upper);
            at += 2;
            if (high < low)
                return fail(CompileError::ReversedRange);
        }
        set->ranges.emplace_back(low, high);
    }
    ++at;
    out = std::move(set);
    return true;
}

// One set character: a backslash takes the next character literally, except that "\t" is a
// tab. A backslash that ends the pattern stands for itself (the set then lacks its "]").
bool PatternParser::parseSetCharacter(std::uint32_t& c)
{
    const wchar_t first = peek();
    if (first == 0)
        return fail(CompileError::UnclosedSet);
    ++at;
    if (first != L'\\' || peek() == 0) {
        c = code(first);
        return true;
    }
    const wchar_t escaped = peek();
    ++at;
    c = escaped == L't' ? code(L'\t') : code(escaped);
    return true;
}

// Outside sets a backslash introduces a back-reference (digits), an abbreviation (one of the
// table's letters) or a literal character. A backslash that ends the pattern is a literal
// backslash.
bool PatternParser::parseEscape(PatternNodePtr& out, unsigned depth)
{
    ++at;
    const wchar_t c = peek();
    if (c == 0) {
        out = makeChar(code(L'\\'));
        return true;
    }
    if (isDigit(c))
        return parseBackReference(out);
    if (const wchar_t* expansion = findExpansion(c)) {
        ++at;
        return parseExpansion(expansion, out, depth);
    }
    ++at;
    out = makeChar(code(c));
    return true;
}

bool PatternParser::parseBackReference(PatternNodePtr& out)
{
    std::uint32_t group = 0;
    while (isDigit(peek())) {
        const std::uint32_t digit = code(peek()) - code(L'0');
        group = group > (UINT32_MAX - digit) / 10 ? UINT32_MAX : group * 10 + digit;
        ++at;
    }
    if (group >= groups)
        return fail(CompileError::BadBackReference);
    out = makeNode(Kind::BackRef);
    out->value = group;
    out->mayConsumeNothing = true;
    return true;
}

// The expansion is read in place of the abbreviation and must be exactly one element, to which
// a following quantifier then applies as a whole.
bool PatternParser::parseExpansion(const wchar_t* expansion, PatternNodePtr& out, unsigned depth)
{
    const wchar_t* const savedInput = std::exchange(input, expansion);
    const std::size_t savedAt = std::exchange(at, 0);
    PatternNode sequence;
    const bool ok = parseSequence(sequence, depth) && peek() == 0 && sequence.children.size() == 1;
    input = savedInput;
    at = savedAt;
    if (!ok)
        return fail(error == CompileError::OutOfMemory ? error : CompileError::BadAbbreviation);
    out = std::move(sequence.children.front());
    return true;
}
