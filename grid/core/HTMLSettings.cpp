#include "grid/core/HTMLSettings.h"

QT_PUBLISHED(THTMLSettings, QT_PROP(AutoPreview), QT_PROP(ConvertSpecialChars), QT_PROP(NonBreakingText),
    QT_PROP(SaveColor), QT_PROP(SaveFonts), QT_PROP(FooterFile), QT_PROP(HeaderFile), QT_PROP(BorderSize),
    QT_PROP(CellSpacing), QT_PROP(CellPadding), QT_PROP(TableStyle), QT_PROP(PrefixTag), QT_PROP(SuffixTag),
    QT_PROP(Summary), QT_PROP(HeaderText), QT_PROP(FooterText), QT_PROP(Width), QT_PROP(XHTML),
    QT_PROP(ExportImages), QT_PROP(ImageBaseName), QT_PROP(ImageFolder))

THTMLSettings::THTMLSettings() : FColWidths(std::make_unique<TIntList>()) { }

THTMLSettings::~THTMLSettings() = default;

void THTMLSettings::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<THTMLSettings*>(Source);
    if (!S)
        return;
    const bool KeepExportImages = FExportImages;
#define GRID_HTML_COPY(T, N, V) F##N = S->F##N;
    GRID_HTML_PROPS(GRID_HTML_COPY)
#undef GRID_HTML_COPY
    FExportImages = KeepExportImages;
}
