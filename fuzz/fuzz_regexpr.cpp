// The application's regular-expression engine with both the expression and
// the subject taken from the input: modifiers byte, expression, NUL,
// subject. Every match is stepped through and substituted; the subject is
// split and replaced. Only ERegExpr may come out (a bad expression, or one
// too complex for the matcher's bounds).
#include "app/RegExpr.h"
#include "fuzz/FuzzSupport.h"
#include "platform/rtl/StringList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInput in(data, size);
    const std::uint8_t mods = in.Byte();
    const String pattern = fuzz::Text(in.Piece());
    const String subject = fuzz::Text(in.Rest());
    TRegExpr re;
    for (int bit = 0; bit < 6; ++bit)
        re.SetModifier(bit + 1, (mods >> bit) & 1);
    try {
        re.SetExpression(pattern);
        re.Compile();
        if (mods & 0x40)
            re.Dump();
        int found = 0;
        for (bool ok = re.Exec(subject); ok && found < 1000; ok = re.ExecNext(), ++found)
            re.Substitute(u"$0[$1]${2}$&\\n");
        if (mods & 0x80) {
            TStringList pieces;
            re.Split(subject, &pieces);
            re.Replace(subject, u"<$1>", true);
        }
    } catch (const ERegExpr&) {
    }
    return 0;
}
