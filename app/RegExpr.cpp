// TRegExpr's public operations: properties, searching, substitution,
// splitting and replacing, the program listing and the error table.

#include "app/RegExpr.h"

#include <climits>
#include <cstdio>

#include "app/RegExprProgram.h"
#include "platform/rtl/StringList.h"

using namespace regexpr;

namespace {

String IntToStr(long long v)
{
    return AsciiToString(std::to_string(v));
}

const char16_t* OpName(std::uint16_t op)
{
    switch (op) {
    case EEND: return u"END";
    case BOL: return u"BOL";
    case EOL: return u"EOL";
    case ANY: return u"ANY";
    case ANYOF: return u"ANYOF";
    case ANYBUT: return u"ANYBUT";
    case BRANCH: return u"BRANCH";
    case BACK: return u"BACK";
    case EXACTLY: return u"EXACTLY";
    case NOTHING: return u"NOTHING";
    case STAR: return u"STAR";
    case PLUS: return u"PLUS";
    case ANYDIGIT: return u"ANYDIGIT";
    case NOTDIGIT: return u"NOTDIGIT";
    case ANYLETTER: return u"ANYLETTER";
    case NOTLETTER: return u"NOTLETTER";
    case ANYSPACE: return u"ANYSPACE";
    case NOTSPACE: return u"NOTSPACE";
    case BRACES: return u"BRACES";
    case COMMENT: return u"COMMENT";
    case EXACTLYCI: return u"EXACTLY/CI";
    case ANYOFCI: return u"ANYOF/CI";
    case ANYBUTCI: return u"ANYBUT/CI";
    case LOOPENTRY: return u"LOOPENTRY";
    case LOOP: return u"LOOP";
    case ANYOFTINYSET: return u"ANYOFTINYSET";
    case ANYBUTTINYSET: return u"ANYBUTTINYSET";
    case BSUBEXP: return u"BSUBEXP";
    case BSUBEXPCI: return u"BSUBEXP/CI";
    case STARNG: return u"STARNG";
    case PLUSNG: return u"PLUSNG";
    case BRACESNG: return u"BRACESNG";
    case LOOPNG: return u"LOOPNG";
    case BOLML: return u"BOLML";
    case EOLML: return u"EOLML";
    case ANYML: return u"ANYML";
    case BOUND: return u"BOUND";
    case NOTBOUND: return u"NOTBOUND";
    default: return nullptr;
    }
}

} // namespace

TRegExpr::TRegExpr() = default;
TRegExpr::~TRegExpr() = default;

Char TRegExpr::InvertCaseFunction(Char Ch)
{
    const Char upper = CharUpper(Ch);
    return upper != Ch ? upper : CharLower(Ch);
}

void TRegExpr::SetExpression(const String& value)
{
    if (value != fExpression || !fExprIsCompiled) {
        fExpression = value;
        InvalidateProgramm();
    }
}

String TRegExpr::GetModifierStr() const
{
    String result = u"-";
    const Char letters[] = { u'i', u'r', u's', u'g', u'm', u'x' };
    for (int i = 0; i < 6; ++i) {
        if (fModifiers & (1u << i))
            result.insert(result.begin(), letters[i]);
        else
            result += letters[i];
    }
    if (result.back() == u'-')
        result.pop_back();
    return result;
}

void TRegExpr::SetModifierStr(const String& value)
{
    if (!ParseModifiers(value, fModifiers))
        RaiseRegExprError(1013);
}

bool TRegExpr::GetModifier(int AIndex) const
{
    if (AIndex < 1 || AIndex > 6)
        RaiseRegExprError(1013);
    return fModifiers & (1u << (AIndex - 1));
}

void TRegExpr::SetModifier(int AIndex, bool value)
{
    if (AIndex < 1 || AIndex > 6)
        RaiseRegExprError(1013);
    const std::uint32_t mask = 1u << (AIndex - 1);
    if (value)
        fModifiers |= mask;
    else
        fModifiers &= ~mask;
}

String TRegExpr::GetInputString()
{
    if (!fInputAssigned)
        RaiseRegExprError(1008);
    return fInputString;
}

void TRegExpr::SetInputString(const String& value)
{
    ClearMatches();
    fInputString = value;
    fInputAssigned = true;
    fInputStart = fInputString.data();
    fInputEnd = fInputStart + fInputString.size();
}

// \w and \s inside sets are expanded when compiling, so any change of the
// character sets drops the program.
void TRegExpr::SetSpaceChars(const String& value)
{
    if (value != fSpaceChars) {
        fSpaceChars = value;
        InvalidateProgramm();
    }
}

void TRegExpr::SetWordChars(const String& value)
{
    if (value != fWordChars) {
        fWordChars = value;
        InvalidateProgramm();
    }
}

void TRegExpr::SetLineSeparators(const String& value)
{
    if (value != fLineSeparators) {
        fLineSeparators = value;
        InvalidateProgramm();
    }
}

String TRegExpr::GetLinePairedSeparator() const
{
    if (!fLinePairedSeparatorAssigned)
        return {};
    return String { fLinePairedSeparatorHead, fLinePairedSeparatorTail };
}

void TRegExpr::SetLinePairedSeparator(const String& value)
{
    if (value.size() == 2 && value[0] != value[1]) {
        if (!fLinePairedSeparatorAssigned || value[0] != fLinePairedSeparatorHead || value[1] != fLinePairedSeparatorTail) {
            fLinePairedSeparatorAssigned = true;
            fLinePairedSeparatorHead = value[0];
            fLinePairedSeparatorTail = value[1];
            InvalidateProgramm();
        }
    } else if (value.empty()) {
        if (fLinePairedSeparatorAssigned) {
            fLinePairedSeparatorAssigned = false;
            InvalidateProgramm();
        }
    } else {
        RaiseRegExprError(128);
    }
}

bool TRegExpr::Exec(const String& AInputString)
{
    SetInputString(AInputString);
    return ExecPrim(1);
}

bool TRegExpr::Exec()
{
    return ExecPrim(1);
}

bool TRegExpr::ExecPos(int AOffset)
{
    return ExecPrim(AOffset);
}

bool TRegExpr::ExecNext()
{
    if (!startp[0] || !endp[0])
        RaiseRegExprError(1007);
    std::int64_t offset = (endp[0] - fInputStart) + 1;
    if (endp[0] == startp[0])
        ++offset; // an empty match must not be found again
    if (offset > INT_MAX)
        return false;
    return ExecPrim(int(offset));
}

int TRegExpr::GetSubExprMatchCount() const
{
    if (!fInputAssigned)
        return -1;
    int result = NSUBEXP - 1;
    while (result > 0 && (!startp[std::size_t(result)] || !endp[std::size_t(result)]))
        --result;
    return result;
}

String TRegExpr::GetMatch(int Idx) const
{
    if (!fInputAssigned || Idx < 0 || Idx >= NSUBEXP || !startp[std::size_t(Idx)] || !endp[std::size_t(Idx)]
        || endp[std::size_t(Idx)] < startp[std::size_t(Idx)])
        return {};
    return String(startp[std::size_t(Idx)], endp[std::size_t(Idx)]);
}

int TRegExpr::GetMatchPos(int Idx) const
{
    if (!fInputAssigned || Idx < 0 || Idx >= NSUBEXP || !startp[std::size_t(Idx)] || !endp[std::size_t(Idx)])
        return -1;
    return int(startp[std::size_t(Idx)] - fInputStart) + 1;
}

int TRegExpr::GetMatchLen(int Idx) const
{
    if (!fInputAssigned || Idx < 0 || Idx >= NSUBEXP || !startp[std::size_t(Idx)] || !endp[std::size_t(Idx)]
        || endp[std::size_t(Idx)] < startp[std::size_t(Idx)])
        return -1;
    return int(endp[std::size_t(Idx)] - startp[std::size_t(Idx)]);
}

// Reads a group reference after a "$": digits or "&", optionally in braces.
// Returns the group number (saturated) and moves p past it, or -1.
std::int32_t TRegExpr::ParseVarName(const String& t, std::size_t& p) const
{
    const std::size_t n = t.size();
    std::size_t q = p;
    const bool delimited = q < n && t[q] == u'{';
    if (delimited)
        ++q;
    std::int64_t value = -1;
    if (q < n && t[q] == u'&') {
        value = 0;
        ++q;
    } else {
        while (q < n && t[q] >= u'0' && t[q] <= u'9') {
            const int d = t[q] - u'0';
            value = value < 0 ? d : std::min<std::int64_t>(value * 10 + d, INT_MAX);
            ++q;
        }
    }
    if (value < 0)
        return -1;
    if (delimited) {
        if (q < n && t[q] == u'}')
            ++q;
        else
            return -1;
    }
    p = q;
    return std::int32_t(value);
}

String TRegExpr::Substitute(const String& ATemplate)
{
    IsProgrammOk();
    if (!fInputAssigned)
        RaiseRegExprError(1005);
    String result;
    const std::size_t n = ATemplate.size();
    std::size_t p = 0;
    while (p < n) {
        const Char ch = ATemplate[p++];
        if (ch == u'$') {
            const std::int32_t idx = ParseVarName(ATemplate, p);
            if (idx >= 0) {
                if (idx < NSUBEXP)
                    result += GetMatch(idx);
                continue;
            }
        } else if (ch == u'\\' && p < n) {
            result += ATemplate[p++];
            continue;
        }
        result += ch;
    }
    return result;
}

void TRegExpr::Split(const String& AInputStr, TStrings* APieces)
{
    std::size_t prev = 0;
    if (Exec(AInputStr)) {
        do {
            const std::size_t pos = std::size_t(GetMatchPos(0) - 1);
            APieces->Add(AInputStr.substr(prev, pos - prev));
            prev = pos + std::size_t(GetMatchLen(0));
        } while (ExecNext());
    }
    APieces->Add(AInputStr.substr(std::min(prev, AInputStr.size())));
}

String TRegExpr::Replace(const String& AInputStr, const String& AReplaceStr, bool AUseSubstitution)
{
    return ReplaceEx(AInputStr, [&](TRegExpr& re) { return AUseSubstitution ? re.Substitute(AReplaceStr) : AReplaceStr; });
}

String TRegExpr::Replace(const String& AInputStr, const TReplaceFunction& AReplaceFunc)
{
    return ReplaceEx(AInputStr, AReplaceFunc);
}

String TRegExpr::ReplaceEx(const String& AInputStr, const TReplaceFunction& AReplaceFunc)
{
    String result;
    std::size_t prev = 0;
    if (Exec(AInputStr)) {
        do {
            const std::size_t pos = std::size_t(GetMatchPos(0) - 1);
            result += AInputStr.substr(prev, pos - prev);
            result += AReplaceFunc(*this);
            prev = pos + std::size_t(GetMatchLen(0));
        } while (ExecNext());
    }
    result += AInputStr.substr(std::min(prev, AInputStr.size()));
    return result;
}

String TRegExpr::Dump()
{
    IsProgrammOk();
    String result;
    const std::int32_t size = std::int32_t(programm.size());
    std::int32_t s = 1;
    for (;;) {
        if (s + NodeHeaderSz > size)
            RaiseRegExprError(1002);
        const std::uint16_t op = programm[std::size_t(s)];
        String name;
        if (op > OPEN && op <= OPEN + 14)
            name = u"OPEN[" + IntToStr(op - OPEN) + u"]";
        else if (op > CLOSE && op <= CLOSE + 14)
            name = u"CLOSE[" + IntToStr(op - CLOSE) + u"]";
        else if (const char16_t* n = OpName(op))
            name = n;
        else
            RaiseRegExprError(1011);
        char pos[16];
        std::snprintf(pos, sizeof pos, "%2d", s);
        result += AsciiToString(pos) + u":" + name;
        const std::int32_t next = RegNext(s);
        if (next < 0)
            result += u" (0)";
        else
            result += u" (" + IntToStr(next) + u") ";
        const std::uint16_t* operand = &programm[std::size_t(s + NodeHeaderSz)];
        if (IsCountedOperandOp(op)) {
            const std::uint16_t* chars = nullptr;
            const std::int32_t len = ReadOperand(operand, chars);
            result.append(reinterpret_cast<const Char*>(chars), std::size_t(len));
        } else if (op == ANYOFTINYSET || op == ANYBUTTINYSET) {
            result.append(reinterpret_cast<const Char*>(operand), 3);
        } else if (op == BSUBEXP || op == BSUBEXPCI) {
            result += u" \\" + IntToStr(operand[0]);
        } else if (op == BRACES || op == BRACESNG) {
            result += u"{" + IntToStr(regexpr::ReadInt32(operand)) + u"," + IntToStr(regexpr::ReadInt32(operand + 2)) + u"}";
        } else if (op == LOOP || op == LOOPNG) {
            result += u" -> (" + IntToStr(s + regexpr::ReadInt32(operand + 4)) + u") {" + IntToStr(regexpr::ReadInt32(operand))
                + u"," + IntToStr(regexpr::ReadInt32(operand + 2)) + u"}";
        }
        result += u"\r\n";
        if (op == EEND)
            break;
        s += NodeSize(s);
    }
    if (regstartSet)
        result += String(u"start ") + regstart;
    if (reganch)
        result += u"anchored ";
    if (regmust >= 0)
        result += u"must have " + String(reinterpret_cast<const Char*>(programm.data() + regmust), std::size_t(regmlen));
    result += u"\r\n";
    return result;
}

int TRegExpr::LastError()
{
    const int result = fLastError;
    fLastError = 0;
    return result;
}

int TRegExpr::GetCompilerErrorPos() const
{
    return fCompiling ? regparse : 0;
}

String TRegExpr::ErrorMsg(int AErrorID) const
{
    switch (AErrorID) {
    case 0: return u"No errors";
    case 100: return u"TRegExpr(comp): Null Argument";
    case 101: return u"TRegExpr(comp): Regexp Too Big";
    case 102: return u"TRegExpr(comp): ParseReg Too Many ()";
    case 103:
    case 104: return u"TRegExpr(comp): ParseReg Unmatched ()";
    case 105: return u"TRegExpr(comp): ParseReg Junk On End";
    case 106: return u"TRegExpr(comp): *+ Operand Could Be Empty";
    case 107: return u"TRegExpr(comp): Nested *?+";
    case 108: return u"TRegExpr(comp): Bad Hex Digit";
    case 109: return u"TRegExpr(comp): Invalid [] Range";
    case 110: return u"TRegExpr(comp): Parse Atom Trailing \\";
    case 111: return u"TRegExpr(comp): No Hex Code After \\x";
    case 112: return u"TRegExpr(comp): Hex Code After \\x Is Too Big";
    case 113: return u"TRegExpr(comp): Unmatched []";
    case 114: return u"TRegExpr(comp): Internal Urp";
    case 115: return u"TRegExpr(comp): ?+*{ Follows Nothing";
    case 116: return u"TRegExpr(comp): Trailing \\";
    case 119: return u"TRegExpr(comp): RarseAtom Internal Disaster";
    case 122: return u"TRegExpr(comp): BRACES Argument Too Big";
    case 124: return u"TRegExpr(comp): BRACE Min Param Greater then Max";
    case 125: return u"TRegExpr(comp): Unclosed (?#Comment)";
    case 126:
        return u"TRegExpr(comp): If you want take part in beta-testing BRACES '{min,max}' and non-greedy ops '*?', "
               u"'+?', '?\?' for complex cases - remove '.' from {.$DEFINE ComplexBraces}";
    case 127: return u"TRegExpr(comp): Urecognized Modifier";
    case 128: return u"TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case 1000: return u"TRegExpr(exec): RegRepeat Called Inappropriately";
    case 1001: return u"TRegExpr(exec): MatchPrim Memory Corruption";
    case 1002: return u"TRegExpr(exec): MatchPrim Corrupted Pointers";
    case 1003: return u"TRegExpr(exec): Not Assigned Expression Property";
    case 1004: return u"TRegExpr(exec): Corrupted Program";
    case 1005: return u"TRegExpr(exec): No Input String Specified";
    case 1006: return u"TRegExpr(exec): Offset Must Be Greater Then 0";
    case 1007: return u"TRegExpr(exec): ExecNext Without Exec[Pos]";
    case 1008: return u"TRegExpr(exec): GetInputString Without InputString";
    case 1011: return u"TRegExpr(dump): Corrupted Opcode";
    case 1014: return u"TRegExpr(exec): Loop Stack Exceeded";
    case 1015: return u"TRegExpr(exec): Loop Without LoopEntry !";
    case reeBacktrackLimit: return u"TRegExpr(exec): Match Too Complex For Backtrack Limit";
    case 2000: return u"TRegExpr(misc): Bad p-code imported";
    default: return u"Unknown error";
    }
}

void TRegExpr::RaiseRegExprError(int AErrorID) const
{
    fLastError = AErrorID;
    const int pos = GetCompilerErrorPos();
    String message = ErrorMsg(AErrorID);
    if (AErrorID < 1000)
        message += u" (pos " + IntToStr(pos) + u")";
    ERegExpr e(message);
    e.ErrorCode = AErrorID;
    e.CompilerErrorPos = pos;
    throw e;
}
