#pragma once
// The application's own regular-expression engine: an expression is compiled
// into a program of 16-bit units (RegExprProgram.h) and matched by
// backtracking. Its dialect, messages and program listing are its own.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

class TStrings;

class ERegExpr : public Exception {
public:
    using Exception::Exception;
    String ClassName() const override { return u"ERegExpr"; }

    std::int32_t ErrorCode { 0 };
    std::int32_t CompilerErrorPos { 0 };
};

using TRegExprInvertCaseFunction = std::function<Char(Char)>;

class TRegExpr {
public:
    static constexpr int NSUBEXP = 15;      // group 0 (the whole match) and groups 1..14
    static constexpr int LoopStackMax = 10; // nesting depth of counted loops

    // Modifier bits.
    static constexpr std::uint32_t MaskModI = 1;
    static constexpr std::uint32_t MaskModR = 2;
    static constexpr std::uint32_t MaskModS = 4;
    static constexpr std::uint32_t MaskModG = 8;
    static constexpr std::uint32_t MaskModM = 16;
    static constexpr std::uint32_t MaskModX = 32;

    // Raised when one match attempt needs more backtracking state than
    // MaxBacktrackEntries: a hostile input then fails cleanly instead of
    // exhausting memory or looping without end.
    static constexpr std::int32_t reeBacktrackLimit = 1016;
    static constexpr std::size_t MaxBacktrackEntries = std::size_t(4) << 20;
    // The same error bounds the time of one search: it may take
    // MaxMatchSteps matcher steps (nodes entered, characters swept by a
    // repetition, counts given back) plus MatchStepsPerChar for each character
    // from the start offset on. A linear search of any page stays far below;
    // an expression that backtracks exponentially stops within a second.
    static constexpr std::int64_t MaxMatchSteps = 100'000'000;
    static constexpr std::int64_t MatchStepsPerChar = 64;

    using TReplaceFunction = std::function<String(TRegExpr&)>;

    static int VersionMajor() { return 0; }
    static int VersionMinor() { return 952; }

    TRegExpr();
    virtual ~TRegExpr();
    TRegExpr(const TRegExpr&) = delete;
    TRegExpr& operator=(const TRegExpr&) = delete;

    String GetExpression() const { return fExpression; }
    void SetExpression(const String& value);

    String GetModifierStr() const;
    void SetModifierStr(const String& value);
    // AIndex 1..6 stands for i, r, s, g, m, x.
    bool GetModifier(int AIndex) const;
    void SetModifier(int AIndex, bool value);
    bool GetModifierI() const { return GetModifier(1); }
    void SetModifierI(bool v) { SetModifier(1, v); }
    bool GetModifierR() const { return GetModifier(2); }
    void SetModifierR(bool v) { SetModifier(2, v); }
    bool GetModifierS() const { return GetModifier(3); }
    void SetModifierS(bool v) { SetModifier(3, v); }
    bool GetModifierG() const { return GetModifier(4); }
    void SetModifierG(bool v) { SetModifier(4, v); }
    bool GetModifierM() const { return GetModifier(5); }
    void SetModifierM(bool v) { SetModifier(5, v); }
    bool GetModifierX() const { return GetModifier(6); }
    void SetModifierX(bool v) { SetModifier(6, v); }

    String GetInputString();
    void SetInputString(const String& value);

    String GetSpaceChars() const { return fSpaceChars; }
    void SetSpaceChars(const String& value);
    String GetWordChars() const { return fWordChars; }
    void SetWordChars(const String& value);
    String GetLineSeparators() const { return fLineSeparators; }
    void SetLineSeparators(const String& value);
    String GetLinePairedSeparator() const;
    void SetLinePairedSeparator(const String& value);
    TRegExprInvertCaseFunction GetInvertCase() const { return fInvertCase; }
    // An empty function restores InvertCaseFunction.
    void SetInvertCase(TRegExprInvertCaseFunction f)
    {
        fInvertCase = f ? std::move(f) : TRegExprInvertCaseFunction(&TRegExpr::InvertCaseFunction);
    }

    bool Exec(const String& AInputString);
    bool Exec();
    bool Exec(int AOffset) { return ExecPos(AOffset); }
    bool ExecPos(int AOffset = 1);
    bool ExecNext();

    int GetSubExprMatchCount() const;
    String GetMatch(int Idx) const;
    int GetMatchPos(int Idx) const;
    int GetMatchLen(int Idx) const;

    String Substitute(const String& ATemplate);
    void Split(const String& AInputStr, TStrings* APieces);
    String Replace(const String& AInputStr, const String& AReplaceStr, bool AUseSubstitution = false);
    String Replace(const String& AInputStr, const TReplaceFunction& AReplaceFunc);
    String ReplaceEx(const String& AInputStr, const TReplaceFunction& AReplaceFunc);

    void Compile();
    String Dump();

    int LastError();
    virtual String ErrorMsg(int AErrorID) const;
    int GetCompilerErrorPos() const;

    static Char InvertCaseFunction(Char Ch);

protected:
    [[noreturn]] virtual void RaiseRegExprError(int AErrorID) const;

private:
    // One entry of the matcher's backtracking stack: either a way to resume
    // (a choice point) or a saved value to put back when backtracking past it.
    struct TBacktrackEntry {
        std::uint8_t kind { 0 };
        std::uint8_t hasNextCh { 0 };
        Char nextCh { 0 };
        std::int32_t node { 0 };
        const Char* ptr { nullptr };
        std::int32_t a { 0 };
        std::int32_t b { 0 };
        std::int32_t c { 0 };
    };

    // Compiler (RegExprCompiler.cpp).
    void CompileRegExpr();
    void InvalidateProgramm();
    bool IsProgrammOk();
    std::int32_t ParseReg(bool paren, int& flagp);
    std::int32_t ParseBranch(int& flagp);
    std::int32_t ParsePiece(int& flagp);
    std::int32_t ParseAtom(int& flagp);
    void ParseSet(int& flagp, std::int32_t& ret);
    Char UnQuoteChar();
    int HexDig(Char ch);
    bool ParseBraces(std::int32_t at, std::int32_t& bracesMin, std::int32_t& bracesMax, std::int32_t& after);
    bool AtEnd() const { return regparse >= std::int32_t(fExpression.size()); }
    Char Cur() const { return AtEnd() ? Char(0) : fExpression[std::size_t(regparse)]; }
    std::int32_t EmitNode(std::uint16_t op);
    void EmitC(std::uint16_t ch);
    void EmitInt32(std::int32_t v);
    void EmitOperand(const String& chars);
    bool ParseModifiers(const String& letters, std::uint32_t& mods) const;
    std::int32_t NodeSize(std::int32_t p) const;
    bool SetMatch(std::int32_t node, Char ch) const;
    void InsertOperator(std::uint16_t op, std::int32_t opnd, std::int32_t sz);
    void Tail(std::int32_t p, std::int32_t val);
    void OpTail(std::int32_t p, std::int32_t val);
    void EmitComplexBraces(std::int32_t atom, std::int32_t bracesMin, std::int32_t bracesMax, bool nonGreedy);
    void FindSearchHints(int flags);
    void BuildTables();
    struct TFirstChars;
    void CollectFirstChars(std::int32_t scan, TFirstChars& fc, std::vector<std::uint32_t>& seen) const;
    void AddNodeChars(std::int32_t node, TFirstChars& fc, bool complements) const;
    void FindStartShortcuts();
    std::int32_t RegNext(std::int32_t p) const;

    // Matcher (RegExprMatcher.cpp).
    bool ExecPrim(int AOffset);
    bool RegMatch(const Char* start);
    bool MatchPrim(const Char* start);
    std::int32_t ParseVarName(const String& t, std::size_t& p) const;
    std::int32_t RegRepeat(std::int32_t opnd, std::int32_t max, const Char* from, std::int32_t& unitLen);
    bool MatchAssertion(std::uint16_t op, const Char* input) const;
    bool CharMatches(std::int32_t node, const Char* p) const;
    bool MatchLiteral(const std::uint16_t* node, const Char*& input) const;
    bool MatchBackReference(const std::uint16_t* node, const Char*& input) const;
    bool EnterRepeat(std::int32_t& scan, std::int32_t next, const Char*& input);
    void EnterLoop();
    bool LoopStep(std::int32_t& scan, std::int32_t next, const Char* input);
    void MarkGroup(std::uint16_t op, const Char* input);
    bool IsWordChar(Char ch) const;
    bool IsSpaceChar(Char ch) const;
    bool IsLineSeparator(Char ch) const;
    bool AtPairHead(const Char* p) const;
    bool BetweenPair(const Char* p) const;
    bool AtLineStart(const Char* p) const;
    bool AtLineEnd(const Char* p) const;
    void Push(const TBacktrackEntry& e);
    void SaveStart(int n);
    void SaveEnd(int n);
    void SaveLoopIdx();
    void SaveLoopCounter(int idx);
    bool Backtrack(std::int32_t& scan, const Char*& input);
    void ClearMatches();
    void ChargeSteps(std::int64_t n)
    {
        fStepsLeft -= n;
        if (fStepsLeft < 0)
            RaiseRegExprError(reeBacktrackLimit);
    }
    const Char* NextStart(const Char* s) const;
    const Char* LeadRunEnd(const Char* s, bool& hopeless);

    std::array<const Char*, NSUBEXP> startp {};
    std::array<const Char*, NSUBEXP> endp {};
    std::array<std::int32_t, LoopStackMax + 1> LoopStack {};
    std::int32_t LoopStackIdx { 0 };

    // Search hints.
    Char regstart { 0 };
    bool regstartSet { false };
    Char reganch { 0 };
    std::int32_t regmust { -1 }; // index of the literal's first unit in programm
    std::int32_t regmlen { 0 };

    const Char* reginput { nullptr };
    const Char* fInputStart { nullptr };
    const Char* fInputEnd { nullptr };

    // Compile state.
    std::int32_t regparse { 0 };
    std::int32_t regnpar { 0 };
    bool fSizing { false }; // first pass: count units instead of storing them
    std::int32_t regcode { 0 };
    std::int32_t regsize { 0 };
    bool fCompiling { false };

    bool fExprIsCompiled { false };
    std::vector<std::uint16_t> programm;
    String fExpression;
    String fInputString;
    bool fInputAssigned { false };
    mutable int fLastError { 0 };
    std::uint32_t fModifiers { MaskModR | MaskModS | MaskModG };
    std::uint32_t fCompModifiers { 0 };
    std::uint32_t fProgModifiers { 0 };
    String fSpaceChars { u" \t\n\r\f" };
    String fWordChars { u"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_" };
    TRegExprInvertCaseFunction fInvertCase { &TRegExpr::InvertCaseFunction };
    String fLineSeparators { u"\r\n\x0B\x0C\u2028\u2029\u2026" };
    bool fLinePairedSeparatorAssigned { true };
    Char fLinePairedSeparatorHead { u'\r' };
    Char fLinePairedSeparatorTail { u'\n' };

    // Membership tables for \w, \s and the line separators, rebuilt with the
    // program (the sets can only change through setters that drop it).
    std::vector<std::uint64_t> fWordTable, fSpaceTable, fLineSepTable;
    // Membership tables of the larger sets of the program: fSetTableOf holds,
    // for each program unit that starts a set node, its table's index or -1.
    std::vector<std::vector<std::uint64_t>> fSetTables;
    std::vector<std::int32_t> fSetTableOf;

    // Start shortcuts, found with the program. fFirstTable: the characters a
    // match can begin with (empty when any may, or the match may be empty).
    // fLeadRepeat: the program unit of a repetition of a one-character node
    // that begins every match; a failed attempt that swept its operand up to
    // q shows that no start up to q can match either (the rest of the program
    // was tried at every position a later start could reach), so the search
    // resumes after q. fGiveNothingBack: for each repetition node, whether
    // only its longest count can succeed (what follows it cannot begin with a
    // character the operand takes), so that no count is worth trying again.
    std::vector<std::uint64_t> fFirstTable;
    std::int32_t fLeadRepeat { -1 };
    std::vector<std::uint8_t> fGiveNothingBack;
    // When the lead repetition gives nothing back and a literal follows it,
    // the search sweeps it itself and calls the matcher only where the
    // literal's first character (fLeadNextCh) comes right after the run.
    bool fLeadFilter { false };
    Char fLeadNextCh { 0 };
    const Char* fLeadRunEnd { nullptr }; // where the last attempt's lead repetition stopped, if it may be skipped

    std::vector<TBacktrackEntry> fStack;
    std::size_t fChoiceCount { 0 };
    std::int64_t fStepsLeft { 0 };
};
