#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/vcl/Memo.h"

namespace {

// The memo's Lines and its Text are one: every change through either shows
// in the other, as the edit control's own text would.
TEST(MemoLines, LinesAndTextStayBound)
{
    struct TCase {
        const char* Name;
        const char16_t* Start;
        std::function<void(TStrings*)> Change;
        const char16_t* Text;
        int Count;
    };
    const TCase cases[] = {
        { "add to an empty memo ends with a break", u"", [](TStrings* l) { l->Add(u"a"); }, u"a\r\n", 1 },
        { "two adds", u"", [](TStrings* l) { l->Add(u"a"); l->Add(u"b"); }, u"a\r\nb\r\n", 2 },
        { "add after a last line without break", u"a", [](TStrings* l) { l->Add(u"b"); }, u"a\r\nb", 2 },
        { "insert in the middle", u"a\r\nc", [](TStrings* l) { l->Insert(1, u"b"); }, u"a\r\nb\r\nc", 3 },
        { "insert at the top", u"b\r\n", [](TStrings* l) { l->Insert(0, u"a"); }, u"a\r\nb\r\n", 2 },
        { "a line with a break becomes two", u"", [](TStrings* l) { l->Add(u"x\r\ny"); }, u"x\r\ny\r\n", 2 },
        { "delete the middle line", u"a\r\nb\r\nc", [](TStrings* l) { l->Delete(1); }, u"a\r\nc", 2 },
        { "delete the last line keeps the break", u"a\r\nb", [](TStrings* l) { l->Delete(1); }, u"a\r\n", 1 },
        { "delete the only line", u"a", [](TStrings* l) { l->Delete(0); }, u"", 0 },
        { "put replaces a line", u"a\r\nb", [](TStrings* l) { l->SetStrings(0, u"z"); }, u"z\r\nb", 2 },
        { "clear", u"a\r\nb", [](TStrings* l) { l->Clear(); }, u"", 0 },
        { "set text through the lines", u"old", [](TStrings* l) { l->SetText(u"p\nq"); }, u"p\r\nq", 2 },
        { "lone CR and LF split lines", u"", [](TStrings* l) { l->SetText(u"1\r2\n3"); }, u"1\r\n2\r\n3", 3 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemo memo;
        memo.SetText(c.Start);
        c.Change(memo.GetLines());
        EXPECT_EQ(StringToUtf8(memo.GetText()), StringToUtf8(c.Text));
        EXPECT_EQ(memo.GetLines()->GetCount(), c.Count);
    }
}

TEST(MemoLines, ReadingLinesAndTheirText)
{
    TMemo memo;
    memo.SetText(u"one\r\ntwo\r\n");
    TStrings* lines = memo.GetLines();
    EXPECT_EQ(lines->GetStrings(1), u"two");
    EXPECT_EQ(lines->GetText(), u"one\r\ntwo\r\n");
    memo.SetText(u"one\r\ntwo");
    EXPECT_EQ(lines->GetText(), u"one\r\ntwo\r\n"); // a string list's text
    EXPECT_THROW(lines->GetStrings(2), Exception);
    EXPECT_THROW(lines->Insert(5, u"x"), Exception);
    EXPECT_THROW(lines->Delete(-1), Exception);
}

TEST(MemoLines, IndexOfIgnoresCaseAndFindsTheFirst)
{
    TMemo memo;
    for (const char16_t* s : { u"\"Acme Pty\",\"Sydney\"", u"beta", u"BETA", u"Ärger", u"tab\there" })
        memo.GetLines()->Add(s);
    struct TCase {
        const char16_t* Sought;
        int Index;
    };
    const TCase cases[] = {
        { u"\"ACME PTY\",\"sydney\"", 0 },
        { u"Beta", 1 },
        { u"ärger", 3 },
        { u"tab\there", 4 },
        { u"bet", -1 },
        { u"betaa", -1 },
        { u"", -1 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Sought));
        EXPECT_EQ(memo.GetLines()->IndexOf(c.Sought), c.Index);
    }
}

// The lookup index must follow every kind of change, and a line the
// collator finds equal without being plain ASCII still counts first.
TEST(MemoLines, IndexOfFollowsChangesToTheLines)
{
    TMemo memo;
    TStrings* lines = memo.GetLines();
    for (const char16_t* s : { u"a", u"b", u"c", u"d" })
        lines->Add(s);
    struct TStep {
        const char* Name;
        std::function<void()> Do;
        const char16_t* Sought;
        int Index;
    };
    const TStep steps[] = {
        { "as added", [] {}, u"C", 2 },
        { "after an insert above", [&] { lines->Insert(0, u"z"); }, u"c", 3 },
        { "after a delete above", [&] { lines->Delete(0); lines->Delete(0); }, u"c", 1 },
        { "a replaced line is gone", [&] { lines->SetStrings(1, u"q"); }, u"c", -1 },
        { "and its new text is found", [] {}, u"Q", 1 },
        { "typed text", [&] { memo.SetSel(0, 0); memo.SetSelText(u"x"); }, u"xb", 0 },
        { "an appended copy is not first", [&] { lines->Add(u"q"); }, u"q", 1 },
        { "after the text is set", [&] { memo.SetText(u"m\r\nn"); }, u"n", 1 },
        { "the last line without a break", [&] { lines->Add(u"o"); }, u"O", 2 },
        { "an ignorable character", [&] { lines->Insert(0, u"o\u00AD"); }, u"o", 0 },
        { "after clear", [&] { lines->Clear(); }, u"o", -1 },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        s.Do();
        EXPECT_EQ(lines->IndexOf(s.Sought), s.Index);
    }
}

TEST(MemoLines, ChangesByCodeFireOnChangeOncePerChange)
{
    TMemo memo;
    int changes = 0;
    memo.OnChange = [&](TObject*) { ++changes; };
    struct TStep {
        const char* Name;
        std::function<void()> Do;
        int Changes;
    };
    TStrings* lines = memo.GetLines();
    const TStep steps[] = {
        { "add", [&] { lines->Add(u"a"); }, 1 },
        { "insert", [&] { lines->Insert(0, u"b"); }, 1 },
        { "put", [&] { lines->SetStrings(0, u"c"); }, 1 },
        { "delete", [&] { lines->Delete(0); }, 1 },
        { "text", [&] { memo.SetText(u"x\r\ny"); }, 1 },
        { "same text", [&] { memo.SetText(u"x\r\ny"); }, 0 },
        { "clear", [&] { lines->Clear(); }, 1 },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        changes = 0;
        s.Do();
        EXPECT_EQ(changes, s.Changes);
    }
}

TEST(MemoLines, CaretPosFollowsLinesAndColumns)
{
    TMemo memo;
    memo.SetWordWrap(false);
    memo.SetText(u"abc\r\ndefgh\r\nij");
    memo.SetCaretPos({ 3, 1 });
    EXPECT_EQ(memo.GetSelStart(), 8);
    EXPECT_EQ(memo.GetCaretPos(), TPoint(3, 1));
    memo.GetLines()->Add(u"k");
    // Adding a line leaves the caret after it, like typing it would.
    EXPECT_EQ(memo.GetCaretPos(), TPoint(1, 2 + 1));
}

} // namespace
