// TRegExpr's matcher. Backtracking state lives on a heap stack instead of the
// call stack: a choice point says where to resume, and every value changed
// while a choice point is open is saved so that resuming puts it back. Long
// inputs therefore cannot overflow the thread's stack, and the stack's size
// is bounded by MaxBacktrackEntries.

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/RegExpr.h"
#include "app/RegExprProgram.h"

using namespace regexpr;

namespace {

enum : std::uint8_t {
    kRestoreStart,
    kRestoreEnd,
    kRestoreLoopIdx,
    kRestoreLoopCounter,
    kChoice,       // resume at node with ptr
    kLoopExit,     // leave the counted loop: pop its counter, resume at node
    kLoopIter,     // one more loop iteration: count it, resume at the body
    kRepeatGreedy, // next smaller repetition count
    kRepeatLazy,   // next larger repetition count
};

bool IsChoice(std::uint8_t kind) { return kind >= kChoice; }

bool InTable(const std::vector<std::uint64_t>& t, Char c) { return (t[c >> 6] >> (c & 63)) & 1; }

bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

} // namespace

void TRegExpr::ClearMatches()
{
    startp.fill(nullptr);
    endp.fill(nullptr);
}

bool TRegExpr::IsWordChar(Char ch) const { return InTable(fWordTable, ch); }
bool TRegExpr::IsSpaceChar(Char ch) const { return InTable(fSpaceTable, ch); }
bool TRegExpr::IsLineSeparator(Char ch) const { return InTable(fLineSepTable, ch); }

bool TRegExpr::AtPairHead(const Char* p) const
{
    return fLinePairedSeparatorAssigned && p + 1 < fInputEnd && p[0] == fLinePairedSeparatorHead
        && p[1] == fLinePairedSeparatorTail;
}

bool TRegExpr::BetweenPair(const Char* p) const
{
    return fLinePairedSeparatorAssigned && p > fInputStart && p < fInputEnd && p[-1] == fLinePairedSeparatorHead
        && p[0] == fLinePairedSeparatorTail;
}

bool TRegExpr::AtLineStart(const Char* p) const
{
    if (p == fInputStart)
        return true;
    if (p - 1 > fInputStart && AtPairHead(p - 2))
        return true;
    if (BetweenPair(p))
        return false;
    return IsLineSeparator(p[-1]);
}

bool TRegExpr::AtLineEnd(const Char* p) const
{
    if (p == fInputEnd)
        return true;
    if (AtPairHead(p))
        return true;
    if (BetweenPair(p))
        return false;
    return IsLineSeparator(*p);
}

// Set nodes: whether ch is accepted (the CI forms also try its case inversion).
bool TRegExpr::SetMatch(std::int32_t node, Char ch) const
{
    const std::uint16_t op = programm[std::size_t(node)];
    const bool ci = op == ANYOFCI || op == ANYBUTCI;
    const bool negate = op == ANYBUT || op == ANYBUTCI;
    bool found = false;
    const std::int32_t table = fSetTableOf[std::size_t(node)];
    if (table >= 0) {
        const auto& t = fSetTables[std::size_t(table)];
        found = InTable(t, ch) || (ci && InTable(t, fInvertCase(ch)));
    } else {
        const std::uint16_t* chars = nullptr;
        const std::int32_t len = ReadOperand(&programm[std::size_t(node + NodeHeaderSz)], chars);
        const std::uint16_t* last = chars + len;
        found = std::find(chars, last, ch) != last;
        if (!found && ci) {
            const Char inv = fInvertCase(ch);
            found = std::find(chars, last, inv) != last;
        }
    }
    return found != negate;
}

void TRegExpr::Push(const TBacktrackEntry& e)
{
    if (fStack.size() >= MaxBacktrackEntries)
        RaiseRegExprError(reeBacktrackLimit);
    fStack.push_back(e);
    if (IsChoice(e.kind))
        ++fChoiceCount;
}

// Saving is needed only while some choice point could resume before the change.
void TRegExpr::SaveStart(int n)
{
    if (fChoiceCount)
        Push({ kRestoreStart, 0, 0, 0, startp[std::size_t(n)], n, 0, 0 });
}

void TRegExpr::SaveEnd(int n)
{
    if (fChoiceCount)
        Push({ kRestoreEnd, 0, 0, 0, endp[std::size_t(n)], n, 0, 0 });
}

void TRegExpr::SaveLoopIdx()
{
    if (fChoiceCount)
        Push({ kRestoreLoopIdx, 0, 0, 0, nullptr, LoopStackIdx, 0, 0 });
}

void TRegExpr::SaveLoopCounter(int idx)
{
    if (fChoiceCount)
        Push({ kRestoreLoopCounter, 0, 0, 0, nullptr, idx, LoopStack[std::size_t(idx)], 0 });
}

// How many times the one-character node at opnd repeats from `from`, at most
// max. unitLen receives the input length of one repetition.
std::int32_t TRegExpr::RegRepeat(std::int32_t opnd, std::int32_t max, const Char* from, std::int32_t& unitLen)
{
    unitLen = 1;
    const std::uint16_t* node = &programm[std::size_t(opnd)];
    const std::int64_t avail = fInputEnd - from;
    const std::int32_t limit = std::int32_t(std::min<std::int64_t>(max, avail));
    const Char* p = from;
    const Char* stop = from + limit;
    switch (node[0]) {
    case ANY:
        return limit;
    case EXACTLY:
    case EXACTLYCI: {
        const std::uint16_t* chars = nullptr;
        if (ReadOperand(node + NodeHeaderSz, chars) != 1)
            RaiseRegExprError(1000);
        const Char ch = chars[0];
        if (node[0] == EXACTLY) {
            while (p < stop && *p == ch)
                ++p;
        } else {
            const Char inv = fInvertCase(ch);
            while (p < stop && (*p == ch || *p == inv))
                ++p;
        }
        break;
    }
    case ANYOF:
    case ANYBUT:
    case ANYLETTER:
    case NOTLETTER:
    case ANYSPACE:
    case NOTSPACE: {
        // The hot loop of the e-mail scan: one table lookup per character.
        const std::uint16_t op = node[0];
        const std::uint64_t* t = nullptr;
        if (op == ANYLETTER || op == NOTLETTER) {
            t = fWordTable.data();
        } else if (op == ANYSPACE || op == NOTSPACE) {
            t = fSpaceTable.data();
        } else if (const std::int32_t table = fSetTableOf[std::size_t(opnd)]; table >= 0) {
            t = fSetTables[std::size_t(table)].data();
        } else {
            while (p < stop && SetMatch(opnd, *p))
                ++p;
            break;
        }
        const bool negate = op == ANYBUT || op == NOTLETTER || op == NOTSPACE;
        while (p < stop && bool((t[*p >> 6] >> (*p & 63)) & 1) != negate)
            ++p;
        break;
    }
    case ANYDIGIT:
        while (p < stop && IsDigit(*p))
            ++p;
        break;
    case NOTDIGIT:
        while (p < stop && !IsDigit(*p))
            ++p;
        break;
    case ANYML:
    case ANYOFCI:
    case ANYBUTCI:
    case ANYOFTINYSET:
    case ANYBUTTINYSET:
        while (p < stop && CharMatches(opnd, p))
            ++p;
        break;
    case BSUBEXP:
    case BSUBEXPCI: {
        const int n = node[3];
        if (n >= NSUBEXP || !startp[std::size_t(n)] || !endp[std::size_t(n)] || endp[std::size_t(n)] < startp[std::size_t(n)])
            return 0;
        const Char* g = startp[std::size_t(n)];
        const std::int64_t len = endp[std::size_t(n)] - g;
        if (len == 0) {
            unitLen = 0;
            return max;
        }
        unitLen = std::int32_t(len);
        std::int32_t count = 0;
        const bool ci = node[0] == BSUBEXPCI;
        while (count < max && fInputEnd - p >= len) {
            for (std::int64_t i = 0; i < len; ++i)
                if (p[i] != g[i] && !(ci && p[i] == fInvertCase(g[i])))
                    return count;
            p += len;
            ++count;
        }
        return count;
    }
    default:
        RaiseRegExprError(1000);
    }
    return std::int32_t(p - from);
}

bool TRegExpr::Backtrack(std::int32_t& scan, const Char*& input)
{
    while (!fStack.empty()) {
        TBacktrackEntry& e = fStack.back();
        switch (e.kind) {
        case kRestoreStart:
            startp[std::size_t(e.a)] = e.ptr;
            fStack.pop_back();
            break;
        case kRestoreEnd:
            endp[std::size_t(e.a)] = e.ptr;
            fStack.pop_back();
            break;
        case kRestoreLoopIdx:
            LoopStackIdx = e.a;
            fStack.pop_back();
            break;
        case kRestoreLoopCounter:
            LoopStack[std::size_t(e.a)] = e.b;
            fStack.pop_back();
            break;
        case kChoice:
        case kLoopExit:
        case kLoopIter: {
            const std::uint8_t kind = e.kind;
            scan = e.node;
            input = e.ptr;
            fStack.pop_back();
            --fChoiceCount;
            if (kind == kLoopExit) {
                SaveLoopIdx();
                --LoopStackIdx;
            } else if (kind == kLoopIter) {
                SaveLoopCounter(LoopStackIdx);
                ++LoopStack[std::size_t(LoopStackIdx)];
            }
            return true;
        }
        case kRepeatGreedy:
        case kRepeatLazy: {
            const bool greedy = e.kind == kRepeatGreedy;
            auto viable = [&](std::int32_t no) {
                const Char* p = e.ptr + std::int64_t(no) * e.c;
                return !e.hasNextCh || (p < fInputEnd && *p == e.nextCh);
            };
            std::int32_t no = e.a;
            if (greedy) {
                do
                    --no;
                while (no >= e.b && !viable(no));
            } else {
                do
                    ++no;
                while (no <= e.b && !viable(no));
            }
            ChargeSteps(std::abs(std::int64_t(no) - e.a));
            if (greedy ? no < e.b : no > e.b) {
                fStack.pop_back();
                --fChoiceCount;
                break;
            }
            e.a = no;
            scan = e.node;
            input = e.ptr + std::int64_t(no) * e.c;
            if (no == e.b) { // the last count to try
                fStack.pop_back();
                --fChoiceCount;
            }
            return true;
        }
        default:
            RaiseRegExprError(1001);
        }
    }
    return false;
}

// The first position from s on where a match can begin, by the first
// characters of the program; the input's end when there is none.
const Char* TRegExpr::NextStart(const Char* s) const
{
    if (fFirstTable.empty())
        return s;
    const std::uint64_t* t = fFirstTable.data();
    while (s < fInputEnd && !((t[*s >> 6] >> (*s & 63)) & 1))
        ++s;
    return s;
}

// Zero-width tests: the anchors and the word boundaries.
bool TRegExpr::MatchAssertion(std::uint16_t op, const Char* input) const
{
    switch (op) {
    case BOL:
        return input == fInputStart;
    case EOL:
        return input == fInputEnd;
    case BOLML:
        return AtLineStart(input);
    case EOLML:
        return AtLineEnd(input);
    default: { // BOUND, NOTBOUND
        const bool prev = input > fInputStart && IsWordChar(input[-1]);
        const bool cur = input < fInputEnd && IsWordChar(*input);
        return (prev != cur) == (op == BOUND);
    }
    }
}

// Whether the one-character node at `node` takes the character at p (p is
// before the input's end). EXACTLY and BSUBEXP are not one of them here.
bool TRegExpr::CharMatches(std::int32_t node, const Char* p) const
{
    const std::uint16_t* n = programm.data() + node;
    const Char ch = *p;
    switch (n[0]) {
    case ANY:
        return true;
    case ANYML:
        return !IsLineSeparator(ch) && !AtPairHead(p);
    case ANYDIGIT:
        return IsDigit(ch);
    case NOTDIGIT:
        return !IsDigit(ch);
    case ANYLETTER:
        return IsWordChar(ch);
    case NOTLETTER:
        return !IsWordChar(ch);
    case ANYSPACE:
        return IsSpaceChar(ch);
    case NOTSPACE:
        return !IsSpaceChar(ch);
    case ANYOF:
    case ANYBUT:
    case ANYOFCI:
    case ANYBUTCI:
        return SetMatch(node, ch);
    case ANYOFTINYSET:
        return ch == n[3] || ch == n[4] || ch == n[5];
    case ANYBUTTINYSET:
        return ch != n[3] && ch != n[4] && ch != n[5];
    default:
        RaiseRegExprError(1001);
    }
    return false;
}

// EXACTLY and EXACTLY/CI: the string at input, which moves past it.
bool TRegExpr::MatchLiteral(const std::uint16_t* node, const Char*& input) const
{
    const std::uint16_t* chars = nullptr;
    const std::int32_t len = ReadOperand(node + NodeHeaderSz, chars);
    if (fInputEnd - input < len)
        return false;
    bool ok = true;
    if (node[0] == EXACTLY) {
        ok = std::equal(chars, chars + len, input);
    } else {
        for (std::int32_t i = 0; i < len && ok; ++i)
            ok = input[i] == chars[i] || input[i] == fInvertCase(chars[i]);
    }
    input += len;
    return ok;
}

// BSUBEXP and BSUBEXP/CI: the group's text again at input, which moves past
// it; an unset group fails.
bool TRegExpr::MatchBackReference(const std::uint16_t* node, const Char*& input) const
{
    const int n = node[3];
    if (n >= NSUBEXP || !startp[std::size_t(n)] || !endp[std::size_t(n)] || endp[std::size_t(n)] < startp[std::size_t(n)])
        return false;
    const Char* g = startp[std::size_t(n)];
    const std::int64_t len = endp[std::size_t(n)] - g;
    if (fInputEnd - input < len)
        return false;
    bool ok = true;
    for (std::int64_t i = 0; i < len && ok; ++i)
        ok = input[i] == g[i] || (node[0] == BSUBEXPCI && input[i] == fInvertCase(g[i]));
    input += len;
    return ok;
}

// STAR, PLUS, BRACES and their lazy forms: counts the operand's repetitions
// in one sweep, takes the first count worth trying and keeps the others as
// one choice point. On success scan and input move after the repetition.
bool TRegExpr::EnterRepeat(std::int32_t& scan, std::int32_t next, const Char*& input)
{
    if (next < 0)
        RaiseRegExprError(1002);
    const std::uint16_t* prog = programm.data();
    const std::uint16_t op = prog[scan];
    const auto [min, max, opnd] = ReadRepeat(prog, scan);
    std::int32_t unitLen = 1;
    std::int32_t count = RegRepeat(opnd, max, input, unitLen);
    ChargeSteps(std::int64_t(count) * unitLen);
    if (unitLen == 0) // an empty back reference: every count ends at the same place
        count = std::min(count, min);
    if (scan == fLeadRepeat && count < max)
        fLeadRunEnd = input + count;
    if (fGiveNothingBack[std::size_t(scan)]) {
        // Only the longest count can be followed, greedy or lazy.
        if (count < min)
            return false;
        input += count;
        scan = next;
        return true;
    }
    // The next literal's first character rules out hopeless counts.
    bool hasNextCh = false;
    Char nextCh = 0;
    if (prog[next] == EXACTLY) {
        const std::uint16_t* chars = nullptr;
        if (ReadOperand(prog + next + NodeHeaderSz, chars) > 0) {
            hasNextCh = true;
            nextCh = chars[0];
        }
    }
    auto viable = [&](std::int32_t no) {
        const Char* p = input + std::int64_t(no) * unitLen;
        return !hasNextCh || (p < fInputEnd && *p == nextCh);
    };
    const bool greedy = op == STAR || op == PLUS || op == BRACES;
    std::int32_t no = 0;
    if (greedy) {
        no = count;
        while (no >= min && !viable(no))
            --no;
        ChargeSteps(count - no);
        if (no < min)
            return false;
        if (no > min)
            Push({ kRepeatGreedy, std::uint8_t(hasNextCh), nextCh, next, input, no, min, unitLen });
    } else {
        no = min;
        while (no <= count && !viable(no))
            ++no;
        ChargeSteps(no - min);
        if (no > count)
            return false;
        if (no < count)
            Push({ kRepeatLazy, std::uint8_t(hasNextCh), nextCh, next, input, no, count, unitLen });
    }
    input += std::int64_t(no) * unitLen;
    scan = next;
    return true;
}

// LOOPENTRY: opens a counted loop with its counter at 0.
void TRegExpr::EnterLoop()
{
    if (LoopStackIdx >= LoopStackMax)
        RaiseRegExprError(1014);
    SaveLoopIdx();
    ++LoopStackIdx;
    SaveLoopCounter(LoopStackIdx);
    LoopStack[std::size_t(LoopStackIdx)] = 0;
}

// LOOP and LOOPNG, reached after LOOPENTRY and after each iteration. Returns
// true with scan on the body for one more iteration; false when the loop is
// left (its counter popped) and the match goes on after it.
bool TRegExpr::LoopStep(std::int32_t& scan, std::int32_t next, const Char* input)
{
    if (LoopStackIdx <= 0)
        RaiseRegExprError(1015);
    if (next < 0)
        RaiseRegExprError(1002);
    const std::uint16_t* node = programm.data() + scan;
    const bool greedy = node[0] == LOOP;
    const std::int32_t min = regexpr::ReadInt32(node + NodeHeaderSz);
    const std::int32_t max = regexpr::ReadInt32(node + NodeHeaderSz + REBracesArgSz);
    const std::int32_t body = scan + regexpr::ReadInt32(node + NodeHeaderSz + 2 * REBracesArgSz);
    const std::int32_t counter = LoopStack[std::size_t(LoopStackIdx)];
    if (counter < min || (greedy && counter < max)) {
        if (counter >= min) // greedy: leaving the loop stays possible
            Push({ kLoopExit, 0, 0, next, input, 0, 0, 0 });
        SaveLoopCounter(LoopStackIdx);
        ++LoopStack[std::size_t(LoopStackIdx)];
        scan = body;
        return true;
    }
    if (!greedy && counter < max)
        Push({ kLoopIter, 0, 0, body, input, 0, 0, 0 });
    SaveLoopIdx();
    --LoopStackIdx;
    return false;
}

// OPEN[n] and CLOSE[n]: record where group n starts or ends.
void TRegExpr::MarkGroup(std::uint16_t op, const Char* input)
{
    if (op > OPEN && op <= OPEN + 14) {
        const int n = op - OPEN;
        SaveStart(n);
        startp[std::size_t(n)] = input;
    } else if (op > CLOSE && op <= CLOSE + 14) {
        const int n = op - CLOSE;
        SaveEnd(n);
        endp[std::size_t(n)] = input;
    } else {
        RaiseRegExprError(1001);
    }
}

// Sweeps the lead repetition from s as an attempt at s would: returns where
// it stops (null when its count reached its maximum), and sets hopeless when
// the attempt would fail at once, its count being too small or the literal
// after it not beginning there.
const Char* TRegExpr::LeadRunEnd(const Char* s, bool& hopeless)
{
    const auto [min, max, opnd] = ReadRepeat(programm.data(), fLeadRepeat);
    std::int32_t unitLen = 1;
    const std::int32_t count = RegRepeat(opnd, max, s, unitLen);
    ChargeSteps(count);
    const Char* end = s + count;
    hopeless = count < min || end >= fInputEnd || *end != fLeadNextCh;
    return count < max ? end : nullptr;
}

// Matches the program from `start`; on success reginput is where the match
// ends. One loop over the nodes, one case per group of opcodes; a failed node
// resumes at the latest choice point.
bool TRegExpr::MatchPrim(const Char* start)
{
    const std::uint16_t* prog = programm.data();
    const std::int32_t progSize = std::int32_t(programm.size());
    std::int32_t scan = 1;
    const Char* input = start;
    for (;;) {
        if (scan <= 0 || scan + NodeHeaderSz > progSize)
            RaiseRegExprError(1002);
        ChargeSteps(1);
        const std::uint16_t* node = prog + scan;
        const std::uint16_t op = node[0];
        const std::int32_t off = regexpr::ReadInt32(node + 1);
        const std::int32_t next = off == 0 ? -1 : scan + off;
        bool ok = true;
        switch (op) {
        case EEND:
            reginput = input;
            return true;
        case BOL:
        case EOL:
        case BOLML:
        case EOLML:
        case BOUND:
        case NOTBOUND:
            ok = MatchAssertion(op, input);
            break;
        case ANY:
        case ANYML:
        case ANYDIGIT:
        case NOTDIGIT:
        case ANYLETTER:
        case NOTLETTER:
        case ANYSPACE:
        case NOTSPACE:
        case ANYOF:
        case ANYBUT:
        case ANYOFCI:
        case ANYBUTCI:
        case ANYOFTINYSET:
        case ANYBUTTINYSET:
            ok = input < fInputEnd && CharMatches(scan, input);
            ++input;
            break;
        case EXACTLY:
        case EXACTLYCI:
            ok = MatchLiteral(node, input);
            break;
        case BSUBEXP:
        case BSUBEXPCI:
            ok = MatchBackReference(node, input);
            break;
        case NOTHING:
        case COMMENT:
        case BACK:
            break;
        case BRANCH:
            // A BRANCH followed by another is a list of alternatives: keep
            // the next one to resume with, and go into this one's operand.
            if (next > 0 && next < progSize && prog[next] == BRANCH)
                Push({ kChoice, 0, 0, next, input, 0, 0, 0 });
            scan += NodeHeaderSz;
            continue;
        case STAR:
        case PLUS:
        case BRACES:
        case STARNG:
        case PLUSNG:
        case BRACESNG:
            if (EnterRepeat(scan, next, input))
                continue;
            ok = false;
            break;
        case LOOPENTRY:
            EnterLoop();
            break;
        case LOOP:
        case LOOPNG:
            if (LoopStep(scan, next, input))
                continue;
            break;
        default:
            MarkGroup(op, input);
            break;
        }
        if (ok) {
            if (next < 0)
                RaiseRegExprError(1002);
            scan = next;
            continue;
        }
        if (!Backtrack(scan, input))
            return false;
    }
}

// One match attempt at `start`, with the groups of any earlier attempt cleared.
bool TRegExpr::RegMatch(const Char* start)
{
    // Only the groups the expression has can have been set.
    for (int i = 1; i < regnpar; ++i) {
        startp[std::size_t(i)] = nullptr;
        endp[std::size_t(i)] = nullptr;
    }
    LoopStackIdx = 0;
    fStack.clear();
    fChoiceCount = 0;
    fLeadRunEnd = nullptr;
    if (!MatchPrim(start))
        return false;
    startp[0] = start;
    endp[0] = reginput;
    return true;
}

bool TRegExpr::ExecPrim(int AOffset)
{
    ClearMatches();
    IsProgrammOk();
    if (!fInputAssigned)
        RaiseRegExprError(1005);
    if (AOffset < 1)
        RaiseRegExprError(1006);
    if (std::int64_t(AOffset) > std::int64_t(fInputString.size()) + 1)
        return false;

    // A hostile input may have grown the stack a lot; do not keep that memory.
    struct TStackTrim {
        std::vector<TBacktrackEntry>& stack;
        ~TStackTrim()
        {
            if (stack.capacity() > 65536)
                std::vector<TBacktrackEntry>().swap(stack);
        }
    } trim { fStack };

    const Char* s = fInputStart + (AOffset - 1);
    fStepsLeft = MaxMatchSteps + MatchStepsPerChar * (fInputEnd - s);
    try {
        if (regmust >= 0) {
            const Char* lit = reinterpret_cast<const Char*>(programm.data() + regmust);
            if (std::search(s, fInputEnd, lit, lit + regmlen) == fInputEnd && regmlen > 0)
                return false;
        }
        if (reganch)
            return RegMatch(s);
        if (regstartSet) {
            for (;; ++s) {
                s = std::find(s, fInputEnd, regstart);
                if (s == fInputEnd)
                    return false;
                if (RegMatch(s))
                    return true;
            }
        }
        for (;;) {
            s = NextStart(s);
            if (!fFirstTable.empty() && s == fInputEnd) // a match takes a character
                return false;
            bool hopeless = false;
            if (fLeadFilter)
                fLeadRunEnd = LeadRunEnd(s, hopeless);
            if (!hopeless && RegMatch(s))
                return true;
            // No start up to where the lead repetition stopped can match.
            const Char* last = fLeadRunEnd && fLeadRunEnd > s ? fLeadRunEnd : s;
            if (last >= fInputEnd)
                return false;
            s = last + 1;
        }
    } catch (...) {
        ClearMatches();
        throw;
    }
}
