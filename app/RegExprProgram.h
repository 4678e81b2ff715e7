#pragma once
// Layout of a compiled TRegExpr program, shared by its compiler, matcher and
// listing. The program is an array of 16-bit units: the magic, then nodes.
// A node is its opcode (1 unit), a link to the next node (2 units, a signed
// 32-bit offset relative to the node, 0 for none) and its operands.
//
// String and set operands are counted rather than zero-terminated, so that
// they can hold the character 0: one unit with the length, or, for 0xFFFF
// characters and more, the unit 0xFFFF followed by a 32-bit length.

#include <cstdint>
#include <limits>

namespace regexpr {

constexpr std::uint16_t MAGIC = 216;

constexpr std::uint16_t EEND = 0;
constexpr std::uint16_t BOL = 1;
constexpr std::uint16_t EOL = 2;
constexpr std::uint16_t ANY = 3;
constexpr std::uint16_t ANYOF = 4;
constexpr std::uint16_t ANYBUT = 5;
constexpr std::uint16_t BRANCH = 6;
constexpr std::uint16_t BACK = 7;
constexpr std::uint16_t EXACTLY = 8;
constexpr std::uint16_t NOTHING = 9;
constexpr std::uint16_t STAR = 10;
constexpr std::uint16_t PLUS = 11;
constexpr std::uint16_t ANYDIGIT = 12;
constexpr std::uint16_t NOTDIGIT = 13;
constexpr std::uint16_t ANYLETTER = 14;
constexpr std::uint16_t NOTLETTER = 15;
constexpr std::uint16_t ANYSPACE = 16;
constexpr std::uint16_t NOTSPACE = 17;
constexpr std::uint16_t BRACES = 18;
constexpr std::uint16_t COMMENT = 19;
constexpr std::uint16_t EXACTLYCI = 20;
constexpr std::uint16_t ANYOFCI = 21;
constexpr std::uint16_t ANYBUTCI = 22;
constexpr std::uint16_t LOOPENTRY = 23;
constexpr std::uint16_t LOOP = 24;
constexpr std::uint16_t ANYOFTINYSET = 25;
constexpr std::uint16_t ANYBUTTINYSET = 26;
constexpr std::uint16_t BSUBEXP = 28;
constexpr std::uint16_t BSUBEXPCI = 29;
constexpr std::uint16_t STARNG = 30;
constexpr std::uint16_t PLUSNG = 31;
constexpr std::uint16_t BRACESNG = 32;
constexpr std::uint16_t LOOPNG = 33;
constexpr std::uint16_t BOLML = 34;
constexpr std::uint16_t EOLML = 35;
constexpr std::uint16_t ANYML = 36;
constexpr std::uint16_t BOUND = 37;
constexpr std::uint16_t NOTBOUND = 38;
constexpr std::uint16_t OPEN = 39;  // OPEN + n, n = 1..14
constexpr std::uint16_t CLOSE = 54; // CLOSE + n

constexpr std::int32_t REOpSz = 1;
constexpr std::int32_t RENextOffSz = 2;
constexpr std::int32_t REBracesArgSz = 2;
constexpr std::int32_t NodeHeaderSz = REOpSz + RENextOffSz;
constexpr std::int32_t MaxBracesArg = 0x7FFFFFFF - 1;
constexpr std::uint16_t LongOperand = 0xFFFF;

// Compile flags carried upward by the parser.
constexpr int HASWIDTH = 1; // cannot match the empty text
constexpr int SIMPLE = 2;   // a one-character node
constexpr int SPSTART = 4;  // starts with a repetition
constexpr int WORST = 0;

inline std::int32_t ReadInt32(const std::uint16_t* p)
{
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 16));
}

inline void WriteInt32(std::uint16_t* p, std::int32_t v)
{
    p[0] = std::uint16_t(std::uint32_t(v) & 0xFFFF);
    p[1] = std::uint16_t(std::uint32_t(v) >> 16);
}

// Reads a counted operand at p: returns its length and points chars at the
// first character.
inline std::int32_t ReadOperand(const std::uint16_t* p, const std::uint16_t*& chars)
{
    if (p[0] != LongOperand) {
        chars = p + 1;
        return p[0];
    }
    chars = p + 3;
    return ReadInt32(p + 1);
}

inline bool IsCountedOperandOp(std::uint16_t op)
{
    return op == ANYOF || op == ANYBUT || op == ANYOFCI || op == ANYBUTCI || op == EXACTLY || op == EXACTLYCI;
}

inline bool IsRepeatOp(std::uint16_t op)
{
    return op == STAR || op == PLUS || op == BRACES || op == STARNG || op == PLUSNG || op == BRACESNG;
}

// The bounds and the operand of the repetition node (STAR, PLUS, BRACES or a
// lazy form) at `node`; STAR and PLUS have no upper bound.
struct TRepeatNode {
    std::int32_t min;
    std::int32_t max;
    std::int32_t operand;
};

inline TRepeatNode ReadRepeat(const std::uint16_t* prog, std::int32_t node)
{
    const std::uint16_t* n = prog + node;
    constexpr std::int32_t unbounded = std::numeric_limits<std::int32_t>::max();
    switch (n[0]) {
    case PLUS:
    case PLUSNG:
        return { 1, unbounded, node + NodeHeaderSz };
    case BRACES:
    case BRACESNG:
        return { ReadInt32(n + NodeHeaderSz), ReadInt32(n + NodeHeaderSz + REBracesArgSz),
            node + NodeHeaderSz + 2 * REBracesArgSz };
    default:
        return { 0, unbounded, node + NodeHeaderSz };
    }
}

} // namespace regexpr
