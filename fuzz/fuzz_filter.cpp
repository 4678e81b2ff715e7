// Filter expressions: the grid's filter language and the library's filter
// matcher, each with an expression and a cell value from the input (choice
// byte, expression, NUL, value).
#include "foundation/VuzErazs.h"
#include "fuzz/FuzzSupport.h"
#include "grid/core/GridFilterMatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const String expression = fuzz::Text(in.Piece());
    const String value = fuzz::Text(in.Rest());
    const bool caseSensitive = flags & 1;
    try {
        VuzEraz::MatchFilterExpression(expression, value, caseSensitive);
        VuzEraz::MatchFilterCondition(expression, value);
        TDateTime date {};
        VuzEraz::TryParseDateTime(expression, date);
        VuzEraz::MatchingParenPos(expression);
    } catch (const Exception&) {
    }
    try {
        TVuzErazs::MatchStrEx(value, expression, caseSensitive);
        TVuzErazs::MatchStr(value, expression, caseSensitive);
        TVuzErazs::Matches(value, expression);
        TDateTime date {};
        TVuzErazs::IsDate(expression, date);
    } catch (const Exception&) {
    }
    return 0;
}
