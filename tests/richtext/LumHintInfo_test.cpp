#include <gtest/gtest.h>

#include "richtext/LumHintInfo.h"

namespace {

TEST(LumHintInfo, OnlyTitleAndNotesMakeItNonEmpty)
{
    struct TCase {
        const char* Name;
        const char16_t* Title;
        const char16_t* Notes;
        const char16_t* WideTitle;
        bool WithPicture;
        bool Empty;
    };
    const TCase cases[] = {
        { "nothing", u"", u"", u"", false, true },
        { "only a picture", u"", u"", u"", true, true },
        { "only wide texts", u"", u"", u"Wide", false, true },
        { "a title", u"Title", u"", u"", false, false },
        { "notes", u"", u"first line", u"", false, false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumHintInfo info;
        info.SetTitle(c.Title);
        info.GetNotes()->SetText(c.Notes);
        info.SetWideTitle(c.WideTitle);
        info.SetWideNotes(c.WideTitle);
        if (c.WithPicture) {
            const std::string svg = "<svg/>";
            TBytesStream s(TBytes(svg.begin(), svg.end()));
            info.GetPicture()->LoadFromStream(s);
            ASSERT_FALSE(info.GetPicture()->GetEmpty());
        }
        EXPECT_EQ(info.IsEmpty(), c.Empty);
    }
}

TEST(LumHintInfo, AssignCopiesEveryPartIncludingSVGSource)
{
    TLumHintInfo source;
    source.SetTitle(u"Title");
    source.GetNotes()->SetText(u"one\ntwo");
    source.SetShowHelp(true);
    source.SetWideTitle(u"wide title");
    source.SetWideNotes(u"wide notes");
    const std::string svg = "<svg viewBox=\"0 0 10 10\"><rect width=\"5\" height=\"5\"/></svg>";
    TBytesStream s(TBytes(svg.begin(), svg.end()));
    source.GetPicture()->LoadFromStream(s);
    ASSERT_TRUE(source.GetPicture()->HasSVG());

    TLumHintInfo copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.GetTitle(), u"Title");
    EXPECT_EQ(copy.GetNotes()->GetCount(), 2);
    EXPECT_EQ(copy.GetNotes()->GetStrings(1), u"two");
    EXPECT_TRUE(copy.GetShowHelp());
    EXPECT_EQ(copy.GetWideTitle(), u"wide title");
    EXPECT_EQ(copy.GetWideNotes(), u"wide notes");
    ASSERT_TRUE(copy.GetPicture()->HasSVG());
    EXPECT_EQ(copy.GetPicture()->GetSVGSource(), TBytes(svg.begin(), svg.end()));
    EXPECT_NE(copy.GetPicture(), source.GetPicture()) << "the picture is copied, not shared";

    // Other sources are ignored.
    TStringList other;
    copy.Assign(&other);
    EXPECT_EQ(copy.GetTitle(), u"Title");
}

TEST(LumHintInfo, NotesSetterCopiesTheLines)
{
    TLumHintInfo info;
    TStringList lines;
    lines.Add(u"a");
    lines.Add(u"b");
    info.SetNotes(&lines);
    lines.Add(u"c");
    EXPECT_EQ(info.GetNotes()->GetCount(), 2);
    EXPECT_NE(info.GetNotes(), &lines);
}

} // namespace
