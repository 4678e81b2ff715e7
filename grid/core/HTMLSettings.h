#pragma once
// The grid's HTML export settings (HTMLSettings): what the HTML writer puts
// around and into the table it writes, and where cell pictures go.

#include <memory>

#include "grid/core/IntList.h"
#include "platform/rtl/Classes.h"

// Published plain fields, in their declaration order.
#define GRID_HTML_PROPS(X)                                                                                      \
    X(bool, AutoPreview, false) X(bool, ConvertSpecialChars, false) X(bool, NonBreakingText, false)           \
    X(bool, SaveColor, true) X(bool, SaveFonts, true) X(String, FooterFile, String())                         \
    X(String, HeaderFile, String()) X(int, BorderSize, 1) X(int, CellSpacing, 0) X(int, CellPadding, 0)       \
    X(String, TableStyle, String()) X(String, PrefixTag, String()) X(String, SuffixTag, String())             \
    X(String, Summary, String()) X(String, HeaderText, String()) X(String, FooterText, String())              \
    X(int, Width, 100) X(bool, XHTML, false) X(bool, ExportImages, true) X(String, ImageBaseName, u"img")     \
    X(String, ImageFolder, u"images")

class THTMLSettings : public TPersistent {
    QT_CLASS(THTMLSettings, TPersistent)

#define GRID_HTML_FIELD(T, N, V)                   \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };
    GRID_HTML_PROPS(GRID_HTML_FIELD)
#undef GRID_HTML_FIELD

public:
    THTMLSettings();
    ~THTMLSettings() override;
    // From another THTMLSettings: every setting but ExportImages and
    // ColWidths; another class of source changes nothing.
    void Assign(TPersistent* Source) override;
    // Explicit column widths (owned, public and read-only).
    TIntList* GetColWidths() const { return FColWidths.get(); }

private:
    std::unique_ptr<TIntList> FColWidths;
};
