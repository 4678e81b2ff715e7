#include "richtext/LumHintInfo.h"

QT_PUBLISHED(TLumHintInfo, QT_PROP(Title), QT_PROP(Notes), QT_PROP(Picture), QT_PROP(ShowHelp))

TLumHintInfo::TLumHintInfo() : FPicture(std::make_unique<TGDIPPicture>()), FNotes(std::make_unique<TStringList>()) { }

TLumHintInfo::~TLumHintInfo() = default;

void TLumHintInfo::SetNotes(TStrings* value)
{
    if (value)
        FNotes->Assign(value);
    else
        FNotes->Clear();
}

void TLumHintInfo::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TLumHintInfo*>(source);
    if (!other || other == this)
        return;
    SetTitle(other->GetTitle());
    FNotes->Assign(other->GetNotes());
    SetShowHelp(other->GetShowHelp());
    FPicture->Assign(other->GetPicture());
    SetWideTitle(other->GetWideTitle());
    SetWideNotes(other->GetWideNotes());
}

bool TLumHintInfo::IsEmpty() const { return FTitle.empty() && FNotes->GetText().empty(); }
