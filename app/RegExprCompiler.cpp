// TRegExpr's compiler: recursive descent over the expression, run twice,
// first only counting the program's units, then storing them.

#include <algorithm>
#include <cstring>

#include "app/RegExpr.h"
#include "app/RegExprProgram.h"

using namespace regexpr;

namespace {

constexpr Char Meta[] = u"^$.[()|?+*\\{";

bool IsMeta(Char c)
{
    for (const Char* m = Meta; *m; ++m)
        if (*m == c)
            return true;
    return false;
}

bool IsXIgnored(Char c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

bool IsRepeatChar(Char c) { return c == u'*' || c == u'+' || c == u'?' || c == u'{'; }

// The Russian alphabet: 33 small and 33 capital letters; ё and Ё lie outside
// the code ranges of the others.
String RussianSmall()
{
    String s;
    for (Char c = 0x430; c <= 0x44F; ++c)
        s += c;
    s += Char(0x451);
    return s;
}

String RussianCapital()
{
    String s;
    for (Char c = 0x410; c <= 0x42F; ++c)
        s += c;
    s += Char(0x401);
    return s;
}

// Restores a value when the scope ends, also on an exception.
template <typename T>
class TRestore {
public:
    TRestore(T& ref, T value) : m_ref(ref), m_value(value) { }
    ~TRestore() { m_ref = m_value; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& m_ref;
    T m_value;
};

} // namespace

void TRegExpr::InvalidateProgramm()
{
    programm.clear();
    programm.shrink_to_fit();
    fExprIsCompiled = false;
    regstart = 0;
    regstartSet = false;
    reganch = 0;
    regmust = -1;
    regmlen = 0;
    fSetTables.clear();
    fSetTableOf.clear();
    fFirstTable.clear();
    fLeadRepeat = -1;
    fGiveNothingBack.clear();
    fLeadFilter = false;
    fLeadNextCh = 0;
}

bool TRegExpr::IsProgrammOk()
{
    if (fModifiers != fProgModifiers)
        InvalidateProgramm();
    if (!fExprIsCompiled)
        CompileRegExpr();
    if (programm.empty() || programm[0] != MAGIC)
        RaiseRegExprError(1004);
    return true;
}

void TRegExpr::CompileRegExpr()
{
    InvalidateProgramm();
    if (fExpression.empty())
        RaiseRegExprError(1003);

    fProgModifiers = fModifiers;
    fCompiling = true;
    TRestore<bool> compilingEnds(fCompiling, false);
    try {
        int flags = 0;
        // Pass 1: size the program.
        fSizing = true;
        fCompModifiers = fModifiers;
        regparse = 0;
        regnpar = 1;
        regcode = 0;
        EmitC(MAGIC);
        ParseReg(false, flags);
        regsize = regcode;

        // Pass 2: store it.
        programm.assign(std::size_t(regsize), 0);
        fSizing = false;
        fCompModifiers = fModifiers;
        regparse = 0;
        regnpar = 1;
        regcode = 0;
        EmitC(MAGIC);
        ParseReg(false, flags);
        if (regcode != regsize)
            RaiseRegExprError(114);

        FindSearchHints(flags);
        BuildTables();
        FindStartShortcuts();
        fExprIsCompiled = true;
    } catch (...) {
        fSizing = false;
        InvalidateProgramm();
        throw;
    }
}

void TRegExpr::Compile()
{
    CompileRegExpr();
}

// Search hints, only for a single top-level alternative.
void TRegExpr::FindSearchHints(int flags)
{
    std::int32_t scan = 1; // the first BRANCH
    std::int32_t after = RegNext(scan);
    if (after < 0 || programm[std::size_t(after)] != EEND)
        return;
    scan += NodeHeaderSz;
    const std::uint16_t op = programm[std::size_t(scan)];
    if (op == EXACTLY) {
        const std::uint16_t* chars = nullptr;
        if (ReadOperand(&programm[std::size_t(scan + NodeHeaderSz)], chars) > 0) {
            regstart = chars[0];
            regstartSet = true;
        }
    } else if (op == BOL) {
        ++reganch;
    }
    if (!(flags & SPSTART))
        return;
    std::int32_t longest = -1;
    std::int32_t len = 0;
    for (; scan >= 0; scan = RegNext(scan)) {
        if (programm[std::size_t(scan)] != EXACTLY)
            continue;
        const std::uint16_t* chars = nullptr;
        const std::int32_t l = ReadOperand(&programm[std::size_t(scan + NodeHeaderSz)], chars);
        if (l >= len) { // of equal lengths the later one
            longest = std::int32_t(chars - programm.data());
            len = l;
        }
    }
    regmust = longest;
    regmlen = len;
}

std::int32_t TRegExpr::NodeSize(std::int32_t p) const
{
    const std::uint16_t op = programm[std::size_t(p)];
    std::int32_t size = NodeHeaderSz;
    if (IsCountedOperandOp(op)) {
        const std::uint16_t* chars = nullptr;
        const std::int32_t len = ReadOperand(&programm[std::size_t(p + NodeHeaderSz)], chars);
        size += std::int32_t(chars - &programm[std::size_t(p + NodeHeaderSz)]) + len;
    } else if (op == ANYOFTINYSET || op == ANYBUTTINYSET) {
        size += 3;
    } else if (op == BSUBEXP || op == BSUBEXPCI) {
        size += 1;
    } else if (op == BRACES || op == BRACESNG) {
        size += 2 * REBracesArgSz;
    } else if (op == LOOP || op == LOOPNG) {
        size += 2 * REBracesArgSz + RENextOffSz;
    }
    return size;
}

namespace {

using TTable = std::vector<std::uint64_t>;

TTable MakeTable(const std::uint16_t* chars, std::int32_t len)
{
    TTable t(1024, 0);
    for (std::int32_t i = 0; i < len; ++i)
        t[chars[i] >> 6] |= std::uint64_t(1) << (chars[i] & 63);
    return t;
}

TTable MakeTable(const String& s)
{
    return MakeTable(reinterpret_cast<const std::uint16_t*>(s.data()), std::int32_t(s.size()));
}

} // namespace

// Membership tables for the classes and the larger sets, so that a test is
// one lookup instead of a search through the configured text.
void TRegExpr::BuildTables()
{
    fWordTable = MakeTable(fWordChars);
    fSpaceTable = MakeTable(fSpaceChars);
    fLineSepTable = MakeTable(fLineSeparators);
    fSetTables.clear();
    fSetTableOf.assign(programm.size(), -1);
    std::int32_t p = 1;
    while (p < std::int32_t(programm.size())) {
        const std::uint16_t op = programm[std::size_t(p)];
        if (op == ANYOF || op == ANYBUT || op == ANYOFCI || op == ANYBUTCI) {
            const std::uint16_t* chars = nullptr;
            const std::int32_t len = ReadOperand(&programm[std::size_t(p + NodeHeaderSz)], chars);
            if (len > 8) {
                fSetTableOf[std::size_t(p)] = std::int32_t(fSetTables.size());
                fSetTables.push_back(MakeTable(chars, len));
            }
        }
        if (op == EEND)
            break;
        p += NodeSize(p);
    }
}

// The characters that may begin what a part of the program matches. The
// table over-approximates: a character outside it certainly cannot begin a
// match; `any` gives up on telling (case-insensitive nodes depend on the case
// inversion, which may change without a new program; back references on the
// input); `empty` says the part may match without taking a character.
struct TRegExpr::TFirstChars {
    std::vector<std::uint64_t> table = std::vector<std::uint64_t>(1024, 0);
    bool any = false;
    bool empty = false;
    // A walk marks the nodes it has been through with its own stamp, and
    // gives up (any) after `budget` nodes.
    std::uint32_t stamp = 0;
    std::int64_t budget = 0;

    // Whether the walk should go through node n: not yet seen and within budget.
    bool Visit(std::vector<std::uint32_t>& seen, std::int32_t n)
    {
        if (seen[std::size_t(n)] == stamp)
            return false;
        seen[std::size_t(n)] = stamp;
        if (--budget < 0)
            any = true;
        return !any;
    }

    bool Has(Char c) const { return (table[c >> 6] >> (c & 63)) & 1; }
    void Add(Char c) { table[c >> 6] |= std::uint64_t(1) << (c & 63); }
    void Add(const std::vector<std::uint64_t>& t, bool complement)
    {
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] |= complement ? ~t[i] : t[i];
    }
    // The listed characters, or all others.
    void Add(const std::uint16_t* chars, std::int32_t len, bool complement)
    {
        if (!complement) {
            for (std::int32_t i = 0; i < len; ++i)
                Add(chars[i]);
            return;
        }
        std::vector<Char> absent;
        for (std::int32_t i = 0; i < len; ++i)
            if (!Has(chars[i]))
                absent.push_back(chars[i]);
        std::fill(table.begin(), table.end(), ~std::uint64_t(0));
        for (Char c : absent)
            table[c >> 6] &= ~(std::uint64_t(1) << (c & 63));
    }
    bool Meets(const TFirstChars& other) const
    {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i] & other.table[i])
                return true;
        return false;
    }
};

// Adds the characters the one-character node at `node` may take. A node
// that takes all characters but a few (ANYBUT, \D, \W, \S) is told only
// when complements is set; otherwise it gives up (any): such a node rarely
// rules out a start, and its table is the costly kind to build.
void TRegExpr::AddNodeChars(std::int32_t node, TFirstChars& fc, bool complements) const
{
    const std::uint16_t* n = &programm[std::size_t(node)];
    const std::uint16_t op = n[0];
    const bool complement = op == ANYBUT || op == NOTDIGIT || op == NOTLETTER || op == NOTSPACE || op == ANYBUTTINYSET;
    if (complement && !complements) {
        fc.any = true;
        return;
    }
    switch (op) {
    case EXACTLY: {
        const std::uint16_t* chars = nullptr;
        if (ReadOperand(n + NodeHeaderSz, chars) > 0)
            fc.Add(chars[0]);
        else
            fc.any = true;
        break;
    }
    case ANYOF:
    case ANYBUT: {
        if (const std::int32_t table = fSetTableOf[std::size_t(node)]; table >= 0) {
            fc.Add(fSetTables[std::size_t(table)], complement);
            break;
        }
        const std::uint16_t* chars = nullptr;
        const std::int32_t len = ReadOperand(n + NodeHeaderSz, chars);
        fc.Add(chars, len, complement);
        break;
    }
    case ANYDIGIT:
    case NOTDIGIT: {
        static const std::uint16_t digits[] = { u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9' };
        fc.Add(digits, 10, complement);
        break;
    }
    case ANYLETTER:
    case NOTLETTER:
        fc.Add(fWordTable, complement);
        break;
    case ANYSPACE:
    case NOTSPACE:
        fc.Add(fSpaceTable, complement);
        break;
    case ANYOFTINYSET:
    case ANYBUTTINYSET:
        fc.Add(n + NodeHeaderSz, 3, complement);
        break;
    default: // ANY, ANYML, the case-insensitive nodes, back references
        fc.any = true;
        break;
    }
}

// Collects what the program from `scan` may begin with, following every path
// through nodes that take no character. `seen` marks the nodes whose
// continuations are already collected (loops lead back to them).
void TRegExpr::CollectFirstChars(std::int32_t scan, TFirstChars& fc, std::vector<std::uint32_t>& seen) const
{
    const std::int32_t size = std::int32_t(programm.size());
    while (!fc.any) {
        if (scan <= 0 || scan >= size) {
            fc.any = true;
            return;
        }
        if (!fc.Visit(seen, scan))
            return;
        const std::uint16_t op = programm[std::size_t(scan)];
        switch (op) {
        case EEND:
            fc.empty = true;
            return;
        case BOL:
        case EOL:
        case BOLML:
        case EOLML:
        case BOUND:
        case NOTBOUND:
        case NOTHING:
        case COMMENT:
        case BACK:
        case LOOPENTRY:
            break;
        case EXACTLY: {
            const std::uint16_t* chars = nullptr;
            if (ReadOperand(&programm[std::size_t(scan + NodeHeaderSz)], chars) == 0)
                break; // takes nothing
            AddNodeChars(scan, fc, false);
            return;
        }
        case BRANCH: {
            // A list of alternatives: each but the last one here, the last
            // one by going on into its operand (a lone BRANCH is a last one).
            std::int32_t next = RegNext(scan);
            while (next > 0 && next < size && programm[std::size_t(next)] == BRANCH) {
                CollectFirstChars(scan + NodeHeaderSz, fc, seen);
                if (!fc.Visit(seen, next))
                    return;
                scan = next;
                next = RegNext(scan);
            }
            scan += NodeHeaderSz;
            continue;
        }
        case STAR:
        case PLUS:
        case BRACES:
        case STARNG:
        case PLUSNG:
        case BRACESNG: {
            const TRepeatNode repeat = ReadRepeat(programm.data(), scan);
            AddNodeChars(repeat.operand, fc, false);
            if (repeat.min > 0)
                return;
            break;
        }
        case LOOP:
        case LOOPNG:
            // One more iteration or the way out: both may come next.
            CollectFirstChars(scan + regexpr::ReadInt32(&programm[std::size_t(scan + NodeHeaderSz + 2 * REBracesArgSz)]),
                fc, seen);
            break;
        default:
            if ((op > OPEN && op <= OPEN + 14) || (op > CLOSE && op <= CLOSE + 14))
                break;
            AddNodeChars(scan, fc, false); // a one-character node
            return;
        }
        scan = RegNext(scan);
    }
}

void TRegExpr::FindStartShortcuts()
{
    const std::size_t size = programm.size();
    fGiveNothingBack.assign(size, 0);
    std::vector<std::uint32_t> seen(size, 0);
    std::uint32_t stamp = 0;
    // What follows a repetition is looked at for a few nodes only, and only
    // for the first repetitions of a program: a hostile expression of
    // thousands of them compiles in linear time (the rest give back counts
    // as usual).
    constexpr std::int64_t FollowerBudget = 256;
    int repeatsLeft = 4096;
    for (std::int32_t p = 1; p < std::int32_t(size) && repeatsLeft > 0; p += NodeSize(p)) {
        const std::uint16_t op = programm[std::size_t(p)];
        if (op == EEND)
            break;
        if (!IsRepeatOp(op))
            continue;
        --repeatsLeft;
        TFirstChars taken;
        AddNodeChars(ReadRepeat(programm.data(), p).operand, taken, true);
        if (taken.any || RegNext(p) < 0)
            continue;
        TFirstChars rest;
        rest.stamp = ++stamp;
        rest.budget = FollowerBudget;
        CollectFirstChars(RegNext(p), rest, seen);
        if (!rest.any && !rest.empty && !rest.Meets(taken))
            fGiveNothingBack[std::size_t(p)] = 1;
    }

    TFirstChars first;
    first.stamp = ++stamp;
    first.budget = 16384;
    CollectFirstChars(1, first, seen);
    if (!first.any && !first.empty)
        fFirstTable = std::move(first.table);

    // The lead repetition: the first node of the only top-level alternative
    // (after comments), repeating a one-character node that is no back
    // reference.
    const std::int32_t after = RegNext(1);
    if (after < 0 || programm[std::size_t(after)] != EEND)
        return;
    std::int32_t lead = 1 + NodeHeaderSz;
    while (lead > 0 && programm[std::size_t(lead)] == COMMENT)
        lead = RegNext(lead);
    if (lead <= 0 || !IsRepeatOp(programm[std::size_t(lead)]))
        return;
    const std::uint16_t operand = programm[std::size_t(ReadRepeat(programm.data(), lead).operand)];
    if (operand == BSUBEXP || operand == BSUBEXPCI)
        return;
    fLeadRepeat = lead;
    const std::int32_t next = RegNext(lead);
    if (fGiveNothingBack[std::size_t(lead)] && next > 0 && programm[std::size_t(next)] == EXACTLY) {
        const std::uint16_t* chars = nullptr;
        if (ReadOperand(&programm[std::size_t(next + NodeHeaderSz)], chars) > 0) {
            fLeadFilter = true;
            fLeadNextCh = chars[0];
        }
    }
}

std::int32_t TRegExpr::RegNext(std::int32_t p) const
{
    const std::int32_t off = regexpr::ReadInt32(&programm[std::size_t(p + 1)]);
    return off == 0 ? -1 : p + off;
}

std::int32_t TRegExpr::EmitNode(std::uint16_t op)
{
    const std::int32_t ret = regcode;
    if (!fSizing) {
        if (regcode + NodeHeaderSz > regsize)
            RaiseRegExprError(114);
        programm[std::size_t(regcode)] = op;
        programm[std::size_t(regcode + 1)] = 0;
        programm[std::size_t(regcode + 2)] = 0;
    }
    regcode += NodeHeaderSz;
    return ret;
}

void TRegExpr::EmitC(std::uint16_t ch)
{
    if (!fSizing) {
        if (regcode + 1 > regsize)
            RaiseRegExprError(114);
        programm[std::size_t(regcode)] = ch;
    }
    ++regcode;
}

void TRegExpr::EmitInt32(std::int32_t v)
{
    EmitC(std::uint16_t(std::uint32_t(v) & 0xFFFF));
    EmitC(std::uint16_t(std::uint32_t(v) >> 16));
}

void TRegExpr::EmitOperand(const String& chars)
{
    const std::int32_t len = std::int32_t(chars.size());
    if (len < LongOperand) {
        EmitC(std::uint16_t(len));
    } else {
        EmitC(LongOperand);
        EmitInt32(len);
    }
    for (Char c : chars)
        EmitC(c);
}

// Makes room for an operator node of sz units in front of the operand at opnd.
void TRegExpr::InsertOperator(std::uint16_t op, std::int32_t opnd, std::int32_t sz)
{
    if (!fSizing) {
        if (regcode + sz > regsize)
            RaiseRegExprError(114);
        std::uint16_t* base = programm.data();
        std::memmove(base + opnd + sz, base + opnd, std::size_t(regcode - opnd) * sizeof(std::uint16_t));
        std::fill(base + opnd, base + opnd + sz, std::uint16_t(0));
        base[opnd] = op;
    }
    regcode += sz;
}

// Sets the link of the last node of the chain starting at p.
void TRegExpr::Tail(std::int32_t p, std::int32_t val)
{
    if (fSizing)
        return;
    std::int32_t scan = p;
    for (;;) {
        const std::int32_t next = RegNext(scan);
        if (next < 0)
            break;
        scan = next;
    }
    regexpr::WriteInt32(&programm[std::size_t(scan + 1)], val - scan);
}

// Tail on the operand of a BRANCH; nothing for other nodes.
void TRegExpr::OpTail(std::int32_t p, std::int32_t val)
{
    if (fSizing || p < 0 || programm[std::size_t(p)] != BRANCH)
        return;
    Tail(p + NodeHeaderSz, val);
}

void TRegExpr::EmitComplexBraces(std::int32_t atom, std::int32_t bracesMin, std::int32_t bracesMax, bool nonGreedy)
{
    InsertOperator(LOOPENTRY, atom, NodeHeaderSz);
    const std::int32_t loop = EmitNode(nonGreedy ? LOOPNG : LOOP);
    EmitInt32(bracesMin);
    EmitInt32(bracesMax);
    EmitInt32((atom + NodeHeaderSz) - loop);
    Tail(atom, loop);                // LOOPENTRY -> LOOP
    Tail(atom + NodeHeaderSz, loop); // body -> LOOP
}

// An expression or a parenthesised group: its alternatives, each a BRANCH.
std::int32_t TRegExpr::ParseReg(bool paren, int& flagp)
{
    flagp = HASWIDTH;
    const std::uint32_t savedModifiers = fCompModifiers;
    std::int32_t ret = -1;
    int parno = 0;
    if (paren) {
        if (regnpar >= NSUBEXP)
            RaiseRegExprError(102);
        parno = regnpar++;
        ret = EmitNode(std::uint16_t(OPEN + parno));
    }

    int flags = 0;
    std::int32_t br = ParseBranch(flags);
    if (ret >= 0)
        Tail(ret, br);
    else
        ret = br;
    if (!(flags & HASWIDTH))
        flagp &= ~HASWIDTH;
    flagp |= flags & SPSTART;
    while (!AtEnd() && Cur() == u'|') {
        ++regparse;
        br = ParseBranch(flags);
        Tail(ret, br);
        if (!(flags & HASWIDTH))
            flagp &= ~HASWIDTH;
        flagp |= flags & SPSTART;
    }

    const std::int32_t ender = EmitNode(paren ? std::uint16_t(CLOSE + parno) : EEND);
    Tail(ret, ender);
    if (!fSizing)
        for (std::int32_t b = ret; b >= 0; b = RegNext(b))
            OpTail(b, ender);

    if (paren) {
        if (AtEnd() || Cur() != u')')
            RaiseRegExprError(103);
        ++regparse;
    } else if (!AtEnd()) {
        RaiseRegExprError(Cur() == u')' ? 104 : 105);
    }
    // Inline modifiers last to the end of the group they appear in.
    fCompModifiers = savedModifiers;
    return ret;
}

std::int32_t TRegExpr::ParseBranch(int& flagp)
{
    flagp = WORST;
    const std::int32_t ret = EmitNode(BRANCH);
    std::int32_t chain = -1;
    while (!AtEnd() && Cur() != u'|' && Cur() != u')') {
        int flags = 0;
        const std::int32_t latest = ParsePiece(flags);
        flagp |= flags & HASWIDTH;
        if (chain < 0)
            flagp |= flags & SPSTART;
        else
            Tail(chain, latest);
        chain = latest;
    }
    if (chain < 0)
        EmitNode(NOTHING);
    return ret;
}

// Reads "{n}", "{n,}" or "{n,m}" at `at`; false when the text there is not a
// repetition (the brace is then a literal character).
bool TRegExpr::ParseBraces(std::int32_t at, std::int32_t& bracesMin, std::int32_t& bracesMax, std::int32_t& after)
{
    const std::int32_t size = std::int32_t(fExpression.size());
    auto isDigit = [&](std::int32_t i) { return i < size && fExpression[std::size_t(i)] >= u'0' && fExpression[std::size_t(i)] <= u'9'; };
    auto charAt = [&](std::int32_t i) { return i < size ? fExpression[std::size_t(i)] : Char(0); };
    std::int32_t p = at + 1;
    const std::int32_t minStart = p;
    while (isDigit(p))
        ++p;
    const std::int32_t minEnd = p;
    if (minEnd == minStart)
        return false;
    std::int32_t maxStart = -1, maxEnd = -1;
    if (charAt(p) == u',') {
        ++p;
        maxStart = p;
        while (isDigit(p))
            ++p;
        maxEnd = p;
    }
    if (charAt(p) != u'}')
        return false;
    after = p + 1;

    auto number = [&](std::int32_t from, std::int32_t to) {
        if (to - from > 8) {
            regparse = from;
            RaiseRegExprError(122);
        }
        std::int32_t v = 0;
        for (std::int32_t i = from; i < to; ++i)
            v = v * 10 + (fExpression[std::size_t(i)] - u'0');
        return v;
    };
    bracesMin = number(minStart, minEnd);
    if (maxStart < 0)
        bracesMax = bracesMin;
    else if (maxStart == maxEnd)
        bracesMax = MaxBracesArg;
    else
        bracesMax = number(maxStart, maxEnd);
    if (bracesMin > bracesMax) {
        regparse = at;
        RaiseRegExprError(124);
    }
    return true;
}

// An atom and the repetition that follows it, if any.
std::int32_t TRegExpr::ParsePiece(int& flagp)
{
    int flags = 0;
    const std::int32_t ret = ParseAtom(flags);
    if (AtEnd() || !IsRepeatChar(Cur())) {
        flagp = flags;
        return ret;
    }
    const Char op = Cur();
    std::int32_t bracesMin = 0, bracesMax = 0, after = regparse + 1;
    if (op == u'{' && !ParseBraces(regparse, bracesMin, bracesMax, after)) {
        flagp = flags;
        return ret;
    }
    if (!(flags & HASWIDTH) && op != u'?')
        RaiseRegExprError(106);

    const bool nonGreedyCh = after < std::int32_t(fExpression.size()) && fExpression[std::size_t(after)] == u'?';
    const bool nonGreedyOp = nonGreedyCh || !(fCompModifiers & MaskModG);
    const bool simple = flags & SIMPLE;

    switch (op) {
    case u'*':
        flagp = WORST | SPSTART;
        if (simple) {
            InsertOperator(nonGreedyOp ? STARNG : STAR, ret, NodeHeaderSz);
        } else if (nonGreedyOp) {
            EmitComplexBraces(ret, 0, MaxBracesArg, true);
        } else { // x* as (x&|), where & loops back to the BRANCH
            InsertOperator(BRANCH, ret, NodeHeaderSz);
            OpTail(ret, EmitNode(BACK));
            OpTail(ret, ret);
            Tail(ret, EmitNode(BRANCH));
            Tail(ret, EmitNode(NOTHING));
        }
        break;
    case u'+':
        flagp = WORST | SPSTART | HASWIDTH;
        if (simple) {
            InsertOperator(nonGreedyOp ? PLUSNG : PLUS, ret, NodeHeaderSz);
        } else if (nonGreedyOp) {
            EmitComplexBraces(ret, 1, MaxBracesArg, true);
        } else { // x+ as x(&|)
            const std::int32_t next = EmitNode(BRANCH);
            Tail(ret, next);
            Tail(EmitNode(BACK), ret);
            Tail(next, EmitNode(BRANCH));
            Tail(ret, EmitNode(NOTHING));
        }
        break;
    case u'?':
        flagp = WORST;
        if (nonGreedyOp) {
            if (simple) {
                InsertOperator(BRACESNG, ret, NodeHeaderSz + 2 * REBracesArgSz);
                if (!fSizing) {
                    regexpr::WriteInt32(&programm[std::size_t(ret + NodeHeaderSz)], 0);
                    regexpr::WriteInt32(&programm[std::size_t(ret + NodeHeaderSz + REBracesArgSz)], 1);
                }
            } else {
                EmitComplexBraces(ret, 0, 1, true);
            }
        } else { // x? as (x|)
            InsertOperator(BRANCH, ret, NodeHeaderSz);
            Tail(ret, EmitNode(BRANCH));
            const std::int32_t next = EmitNode(NOTHING);
            Tail(ret, next);
            OpTail(ret, next);
        }
        break;
    default: // braces
        // The operand has width (checked above), so n > 0 repetitions have it too.
        flagp = WORST;
        if (bracesMin > 0)
            flagp |= HASWIDTH;
        if (bracesMax > 0)
            flagp |= SPSTART;
        if (simple) {
            InsertOperator(nonGreedyOp ? BRACESNG : BRACES, ret, NodeHeaderSz + 2 * REBracesArgSz);
            if (!fSizing) {
                regexpr::WriteInt32(&programm[std::size_t(ret + NodeHeaderSz)], bracesMin);
                regexpr::WriteInt32(&programm[std::size_t(ret + NodeHeaderSz + REBracesArgSz)], bracesMax);
            }
        } else {
            EmitComplexBraces(ret, bracesMin, bracesMax, nonGreedyOp);
        }
        break;
    }

    regparse = after + (nonGreedyCh ? 1 : 0);
    if (!AtEnd() && IsRepeatChar(Cur())) {
        std::int32_t m1 = 0, m2 = 0, a = 0;
        if (Cur() != u'{' || ParseBraces(regparse, m1, m2, a))
            RaiseRegExprError(107);
    }
    return ret;
}

int TRegExpr::HexDig(Char ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    RaiseRegExprError(108);
    return 0;
}

// The character an escape stands for; regparse is on the character after the
// backslash and is left on the escape's last character.
Char TRegExpr::UnQuoteChar()
{
    switch (Cur()) {
    case u't': return 0x09;
    case u'n': return 0x0A;
    case u'r': return 0x0D;
    case u'f': return 0x0C;
    case u'a': return 0x07;
    case u'e': return 0x1B;
    case u'x': {
        ++regparse;
        if (AtEnd())
            RaiseRegExprError(111);
        if (Cur() == u'{') {
            std::uint32_t result = 0;
            int digits = 0;
            for (;;) {
                ++regparse;
                if (AtEnd())
                    RaiseRegExprError(111);
                if (Cur() == u'}')
                    break;
                if (digits == 4)
                    RaiseRegExprError(112);
                result = (result << 4) | std::uint32_t(HexDig(Cur()));
                ++digits;
            }
            if (digits == 0)
                RaiseRegExprError(111);
            return Char(result);
        }
        std::uint32_t result = std::uint32_t(HexDig(Cur()));
        ++regparse;
        if (AtEnd())
            RaiseRegExprError(111);
        result = (result << 4) | std::uint32_t(HexDig(Cur()));
        return Char(result);
    }
    default:
        return Cur();
    }
}

bool TRegExpr::ParseModifiers(const String& letters, std::uint32_t& mods) const
{
    bool on = true;
    for (Char c : letters) {
        if (c == u'-') {
            on = false;
            continue;
        }
        std::uint32_t mask = 0;
        switch (c) {
        case u'i': case u'I': mask = MaskModI; break;
        case u'r': case u'R': mask = MaskModR; break;
        case u's': case u'S': mask = MaskModS; break;
        case u'g': case u'G': mask = MaskModG; break;
        case u'm': case u'M': mask = MaskModM; break;
        case u'x': case u'X': mask = MaskModX; break;
        default: return false;
        }
        if (on)
            mods |= mask;
        else
            mods &= ~mask;
    }
    return true;
}

void TRegExpr::ParseSet(int& flagp, std::int32_t& ret)
{
    const bool ci = fCompModifiers & MaskModI;
    const bool rus = fCompModifiers & MaskModR;
    if (!AtEnd() && Cur() == u'^') {
        ret = EmitNode(ci ? ANYBUTCI : ANYBUT);
        ++regparse;
    } else {
        ret = EmitNode(ci ? ANYOFCI : ANYOF);
    }

    String members;
    bool canBeRange = false;
    Char rangeBeg = 0;
    auto addSimple = [&](Char c) {
        members += c;
        rangeBeg = c;
        canBeRange = true;
    };
    auto charAt = [&](std::int32_t i) { return i < std::int32_t(fExpression.size()) ? fExpression[std::size_t(i)] : Char(0); };
    auto inExpr = [&](std::int32_t i) { return i < std::int32_t(fExpression.size()); };

    if (!AtEnd() && Cur() == u']') {
        addSimple(u']');
        ++regparse;
    }
    while (!AtEnd() && Cur() != u']') {
        if (Cur() == u'-' && canBeRange && inExpr(regparse + 1) && charAt(regparse + 1) != u']') {
            ++regparse;
            Char rangeEnd = Cur();
            if (rangeEnd == u'\\') {
                if (!inExpr(regparse + 1)) {
                    ++regparse;
                    RaiseRegExprError(116);
                }
                const Char e = charAt(regparse + 1);
                if (e == u'd' || e == u'D' || e == u's' || e == u'S' || e == u'w' || e == u'W') {
                    members += u'-'; // "-\d" does not make a range
                    canBeRange = false;
                    continue;
                }
                ++regparse;
                rangeEnd = UnQuoteChar();
            }
            if (rus && rangeBeg == 0x430 && rangeEnd == 0x44F) {
                members += RussianSmall();
            } else if (rus && rangeBeg == 0x410 && rangeEnd == 0x42F) {
                members += RussianCapital();
            } else if (rus && rangeBeg == 0x430 && rangeEnd == 0x42F) {
                members += RussianSmall();
                members += RussianCapital();
            } else {
                if (rangeBeg > rangeEnd)
                    RaiseRegExprError(109);
                for (std::uint32_t c = std::uint32_t(rangeBeg) + 1; c <= rangeEnd; ++c)
                    members += Char(c);
            }
            canBeRange = false;
            ++regparse;
            continue;
        }
        if (Cur() == u'\\') {
            ++regparse;
            if (AtEnd())
                RaiseRegExprError(116);
            switch (Cur()) {
            case u'd':
                members += u"0123456789";
                canBeRange = false;
                break;
            case u'w':
                members += fWordChars;
                canBeRange = false;
                break;
            case u's':
                members += fSpaceChars;
                canBeRange = false;
                break;
            default:
                addSimple(UnQuoteChar());
                break;
            }
        } else {
            addSimple(Cur());
        }
        ++regparse;
    }
    if (AtEnd())
        RaiseRegExprError(113);
    ++regparse;
    EmitOperand(members);
    flagp |= HASWIDTH | SIMPLE;
}

std::int32_t TRegExpr::ParseAtom(int& flagp)
{
    flagp = WORST;
    if (AtEnd())
        RaiseRegExprError(114);
    const bool ci = fCompModifiers & MaskModI;
    const Char c = Cur();
    ++regparse;
    std::int32_t ret = -1;
    switch (c) {
    case u'^':
        if (!(fCompModifiers & MaskModM) || (fLineSeparators.empty() && !fLinePairedSeparatorAssigned))
            ret = EmitNode(BOL);
        else
            ret = EmitNode(BOLML);
        return ret;
    case u'$':
        if (!(fCompModifiers & MaskModM) || (fLineSeparators.empty() && !fLinePairedSeparatorAssigned))
            ret = EmitNode(EOL);
        else
            ret = EmitNode(EOLML);
        return ret;
    case u'.':
        ret = EmitNode((fCompModifiers & MaskModS) ? ANY : ANYML);
        flagp |= HASWIDTH | SIMPLE;
        return ret;
    case u'[':
        ParseSet(flagp, ret);
        return ret;
    case u'(':
        if (!AtEnd() && Cur() == u'?') {
            if (regparse + 1 < std::int32_t(fExpression.size()) && fExpression[std::size_t(regparse + 1)] == u'#') {
                regparse += 2;
                while (!AtEnd() && Cur() != u')')
                    ++regparse;
                if (AtEnd())
                    RaiseRegExprError(125);
            } else {
                ++regparse;
                const std::int32_t begin = regparse;
                while (!AtEnd() && Cur() != u')')
                    ++regparse;
                if (AtEnd() || !ParseModifiers(fExpression.substr(std::size_t(begin), std::size_t(regparse - begin)), fCompModifiers))
                    RaiseRegExprError(127);
            }
            ++regparse; // the ')'
            return EmitNode(COMMENT);
        } else {
            int flags = 0;
            ret = ParseReg(true, flags);
            flagp |= flags & (HASWIDTH | SPSTART);
            return ret;
        }
    case u'|':
    case u')':
        RaiseRegExprError(114);
        return -1;
    case u'?':
    case u'+':
    case u'*':
        RaiseRegExprError(115);
        return -1;
    case u'\\': {
        if (AtEnd())
            RaiseRegExprError(110);
        switch (Cur()) {
        case u'b': ret = EmitNode(BOUND); break;
        case u'B': ret = EmitNode(NOTBOUND); break;
        case u'A': ret = EmitNode(BOL); break;
        case u'Z': ret = EmitNode(EOL); break;
        case u'd': ret = EmitNode(ANYDIGIT); flagp |= HASWIDTH | SIMPLE; break;
        case u'D': ret = EmitNode(NOTDIGIT); flagp |= HASWIDTH | SIMPLE; break;
        case u's': ret = EmitNode(ANYSPACE); flagp |= HASWIDTH | SIMPLE; break;
        case u'S': ret = EmitNode(NOTSPACE); flagp |= HASWIDTH | SIMPLE; break;
        case u'w': ret = EmitNode(ANYLETTER); flagp |= HASWIDTH | SIMPLE; break;
        case u'W': ret = EmitNode(NOTLETTER); flagp |= HASWIDTH | SIMPLE; break;
        case u'1': case u'2': case u'3': case u'4': case u'5': case u'6': case u'7': case u'8': case u'9':
            ret = EmitNode(ci ? BSUBEXPCI : BSUBEXP);
            EmitC(std::uint16_t(Cur() - u'0'));
            flagp |= HASWIDTH | SIMPLE;
            break;
        default: {
            const Char ch = UnQuoteChar();
            ret = EmitNode(ci ? EXACTLYCI : EXACTLY);
            EmitOperand(String(1, ch));
            flagp |= HASWIDTH | SIMPLE;
            break;
        }
        }
        ++regparse;
        return ret;
    }
    default:
        break;
    }

    // A run of ordinary characters (or, under x, ignored blanks or a comment).
    --regparse;
    const bool extended = fCompModifiers & MaskModX;
    if (extended && (Cur() == u'#' || IsXIgnored(Cur()))) {
        if (Cur() == u'#') {
            while (!AtEnd() && Cur() != u'\r' && Cur() != u'\n')
                ++regparse;
            while (!AtEnd() && (Cur() == u'\r' || Cur() == u'\n'))
                ++regparse;
        } else {
            while (!AtEnd() && IsXIgnored(Cur()))
                ++regparse;
        }
        return EmitNode(COMMENT);
    }
    const std::int32_t size = std::int32_t(fExpression.size());
    std::int32_t len = 0;
    // A '{' that starts an atom begins no repetition: it is the run's first character.
    if (Cur() == u'{')
        len = 1;
    while (regparse + len < size && !IsMeta(fExpression[std::size_t(regparse + len)]))
        ++len;
    if (len <= 0)
        RaiseRegExprError(119);
    if (len > 1 && regparse + len < size && IsRepeatChar(fExpression[std::size_t(regparse + len)]))
        --len; // leave the last character for the repetition
    flagp |= HASWIDTH;
    if (len == 1)
        flagp |= SIMPLE;
    String run;
    while (len > 0 && !(extended && Cur() == u'#')) {
        if (!extended || !IsXIgnored(Cur()))
            run += Cur();
        ++regparse;
        --len;
    }
    ret = EmitNode(ci ? EXACTLYCI : EXACTLY);
    EmitOperand(run);
    return ret;
}
