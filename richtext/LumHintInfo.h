#pragma once
// The persistent content of a rich hint: a title, lines of notes, a picture
// and a help flag.

#include <memory>

#include "platform/rtl/StringList.h"
#include "richtext/GDIPPicture.h"

class TLumHintInfo : public TPersistent {
    QT_CLASS(TLumHintInfo, TPersistent)
public:
    TLumHintInfo();
    ~TLumHintInfo() override;
    // Copies only from another hint info; any other source is ignored.
    void Assign(TPersistent* source) override;
    // No title and no notes; the picture and the wide texts do not count.
    bool IsEmpty() const;

    const String& GetTitle() const { return FTitle; }
    void SetTitle(const String& value) { FTitle = value; }
    TStringList* GetNotes() const { return FNotes.get(); }
    // Copies the lines of the given list.
    void SetNotes(TStrings* value);
    TGDIPPicture* GetPicture() const { return FPicture.get(); }
    // Assigns the given picture into the owned one.
    void SetPicture(TGDIPPicture* value) { FPicture->Assign(value); }
    bool GetShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool value) { FShowHelp = value; }
    const String& GetWideTitle() const { return FWideTitle; }
    void SetWideTitle(const String& value) { FWideTitle = value; }
    const String& GetWideNotes() const { return FWideNotes; }
    void SetWideNotes(const String& value) { FWideNotes = value; }

private:
    std::unique_ptr<TGDIPPicture> FPicture;
    bool FShowHelp { false };
    std::unique_ptr<TStringList> FNotes;
    String FTitle;
    String FWideTitle;
    String FWideNotes;
};
