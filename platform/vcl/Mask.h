#pragma once
// The masked edit. An edit mask has up to three fields separated by ';':
// the mask itself, '0' when literals are left out of Text (anything else
// keeps them), and the character that shows an empty position (default
// '_'). Mask characters: L/l letter, A/a letter or digit, C/c any
// character, 0/9 digit, # digit or sign (upper case: required); '>' and
// '<' switch to upper and lower case, "<>" back to none; '\' makes the
// next character a literal; '_' is a blank literal; '!' keeps optional
// blanks at the start of Text; every other character is a literal.

#include <vector>

#include "platform/vcl/Edits.h"

QT_DECLARE_EXCEPTION(EDBEditError, Exception);

class TCustomMaskEdit : public TCustomEdit {
    QT_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner = nullptr);

    const String& GetEditMask() const { return m_editMask; }
    // Reformats the present text into the new mask.
    void SetEditMask(const String& v);
    bool IsMasked() const { return !m_positions.empty(); }
    // The text as shown: literals and blank characters included.
    String GetEditText() { return TCustomEdit::GetText(); }
    void SetEditText(const String& v);
    // Without literals unless the mask saves them; blanks become spaces.
    String GetText();
    // Fills the mask from `v` (literals skipped where `v` leaves them out).
    void SetText(const String& v);
    // EDBEditError, with the caret on the first required position left
    // blank, when the text does not complete the mask. Leaving a changed
    // edit validates it; a failure is reported and the focus comes back.
    virtual void ValidateEdit();
    // Whether `Value` (a text as shown) fills every required position of
    // the mask; `Pos` gets the first one left blank. The check behind
    // ValidateEdit, without its error.
    virtual bool Validate(const String& Value, int& Pos);
    // Whether `Ch` may stand at mask position `Pos`.
    bool CharFits(int Pos, Char Ch) const;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    struct TMaskPos {
        bool Literal { false };
        Char Ch { 0 };       // the literal, or the mask character
        bool Required { false };
        int Case { 0 };      // 1 upper, -1 lower
    };
    void ParseMask();
    String BlankText() const;
    // The first editable position at or after `Pos` (forward) or before it.
    int NextEditable(int Pos) const;
    int PrevEditable(int Pos) const;
    void TypeMasked(Char Ch);
    void BlankRange(int From, int To);
    String FormatIntoMask(const String& v) const;

    String m_editMask;
    std::vector<TMaskPos> m_positions;
    bool m_saveLiterals { true };
    Char m_blank { u'_' };
    bool m_leadingBlanks { false };
    bool m_reEnter { false };
};

class TMaskEdit : public TCustomMaskEdit {
    QT_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
