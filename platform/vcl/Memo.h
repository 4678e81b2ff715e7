#pragma once
// The memo: a multi-line edit whose Lines are bound live to its text. The
// lines are the storage and the text is derived on demand, so appending a
// line or searching the lines never walks the whole text.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Edits.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
QT_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

class TCustomMemo;

// The memo's lines. A final empty line (the text ends with a line break)
// is not counted, so "a" CR LF holds one line.
class TMemoStrings : public TStrings {
    QT_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* Memo) : m_memo(Memo) { }
    int GetCount() const override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const String& S) const override;
    String GetText() const override;
    void SetText(const String& Text) override;

protected:
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;

private:
    // Brings the index of printable ASCII lines up to date: lines from the
    // first changed one on are indexed again, so appends cost one line.
    void SyncIndex() const;

    TCustomMemo* m_memo { nullptr };
    mutable std::unordered_multimap<std::uint64_t, int> m_index; // case-folded hash -> line
    mutable std::vector<std::uint64_t> m_lineHash;              // per indexed line
    mutable std::vector<int> m_otherLines;                      // indexed lines that are not plain
};

class TCustomMemo : public TCustomEdit {
    QT_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner = nullptr);
    ~TCustomMemo() override;

    TStrings* GetLines() const { return m_lines.get(); }
    void SetLines(TStrings* v) { m_lines->Assign(v); }
    bool GetWordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    TScrollStyle GetScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool GetWantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool v);
    bool GetWantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool v) { m_wantTabs = v; }
    // Column (X) and row (Y) of the caret.
    TPoint GetCaretPos();
    void SetCaretPos(TPoint v);

    void Dispatch(TMessage& Message) override;

protected:
    friend class TMemoStrings;
    // A descendant's own kind of lines (bound to this memo).
    void ReplaceLines(std::unique_ptr<TMemoStrings> Lines) { m_lines = std::move(Lines); }
    void KeyPress(char16_t& Key) override;
    TRect TextArea() override;
    void ScrollChanged() override;
    void PaintWindow(HDC DC) override;

private:
    // Shows, places and sets the range of the scroll bars.
    void UpdateScrollBars();
    TScrollBar* MakeBar(TScrollBarKind Kind);
    bool HasVert() const { return m_scrollBars == ssVertical || m_scrollBars == ssBoth; }
    bool HasHorz() const { return (m_scrollBars == ssHorizontal || m_scrollBars == ssBoth) && !m_wordWrap; }

    std::unique_ptr<TMemoStrings> m_lines;
    bool m_wordWrap { true };
    TScrollStyle m_scrollBars { ssNone };
    bool m_wantReturns { true };
    bool m_wantTabs { false };
    std::unique_ptr<TScrollBar> m_vert;
    std::unique_ptr<TScrollBar> m_horz;
    bool m_syncingBars { false };
};

class TMemo : public TCustomMemo {
    QT_CLASS(TMemo, TCustomMemo)
public:
    using TCustomMemo::TCustomMemo;
};
