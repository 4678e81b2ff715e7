#include "platform/vcl/ComCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"

// A tab sheet's PageControl property is not published: the two classes
// refer to each other.
QT_PUBLISHED(TTabSheet, QT_PROP(PageIndex), QT_PROP(TabVisible), QT_PROP(ImageIndex))
QT_PUBLISHED(TPageControl, QT_PROP(ActivePage), QT_PROP(Images), QT_EVENT(OnChange), QT_EVENT(OnChanging))

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_align = alClient;
    m_visible = false;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption };
}

TTabSheet::~TTabSheet()
{
    if (m_pageControl)
        m_pageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v)
{
    if (v == m_pageControl)
        return;
    if (m_pageControl)
        m_pageControl->RemovePage(this);
    SetParent(v);
    if (v)
        v->InsertPage(this);
}

int TTabSheet::GetPageIndex() const
{
    if (!m_pageControl)
        return -1;
    const auto& pages = m_pageControl->m_pages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v)
{
    if (!m_pageControl)
        return;
    auto& pages = m_pageControl->m_pages;
    v = std::clamp(v, 0, int(pages.size()) - 1);
    pages.erase(pages.begin() + GetPageIndex());
    pages.insert(pages.begin() + v, this);
    m_pageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool v)
{
    if (v == m_tabVisible)
        return;
    m_tabVisible = v;
    if (m_pageControl) {
        if (!v && m_pageControl->m_activePage == this)
            m_pageControl->SetActivePage(m_pageControl->FindNextPage(this, true, true));
        m_pageControl->Realign();
        m_pageControl->Invalidate();
    }
}

int TTabSheet::GetTabIndex() const
{
    if (!m_pageControl || !m_tabVisible)
        return -1;
    int index = 0;
    for (TTabSheet* p : m_pageControl->m_pages) {
        if (p == this)
            return index;
        if (p->m_tabVisible)
            ++index;
    }
    return -1;
}

void TTabSheet::SetImageIndex(int v)
{
    m_imageIndex = v;
    if (m_pageControl)
        m_pageControl->Invalidate();
}

void TTabSheet::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && m_pageControl)
        m_pageControl->Invalidate();
}

void TTabSheet::Paint()
{
    const bool styled = StyledElement(this, seClient);
    FillSolid(GetCanvas()->GetHandle(), GetClientRect(), styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color));
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_width = 289;
    m_height = 193;
    m_tabStop = true;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks };
}

TPageControl::~TPageControl()
{
    for (TTabSheet* p : m_pages)
        p->m_pageControl = nullptr;
    m_pages.clear();
    m_activePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    if (std::find(m_pages.begin(), m_pages.end(), Page) != m_pages.end())
        return;
    m_pages.push_back(Page);
    Page->m_pageControl = this;
    if (!m_activePage && Page->m_tabVisible)
        SetActivePage(Page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(m_pages.begin(), m_pages.end(), Page);
    if (it == m_pages.end())
        return;
    TTabSheet* next = m_activePage == Page ? FindNextPage(Page, true, true) : m_activePage;
    m_pages.erase(it);
    Page->m_pageControl = nullptr;
    if (next == Page)
        next = nullptr;
    if (m_activePage == Page)
        m_activePage = nullptr;
    if (!GetComponentState().Contains(csDestroying))
        SetActivePage(next);
    Invalidate();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_images)
        m_images = nullptr;
}

void TPageControl::SetImages(TCustomImageList* v)
{
    m_images = v;
    if (v)
        v->FreeNotification(this);
    Invalidate();
}

int TPageControl::GetActivePageIndex() const
{
    return m_activePage ? m_activePage->GetPageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int v)
{
    SetActivePage(v >= 0 && v < GetPageCount() ? m_pages[std::size_t(v)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* v)
{
    if (v && v->m_pageControl != this)
        return;
    if (v == m_activePage)
        return;
    // The focus leaves a page that is hidden.
    TCustomForm* form = GetParentForm(this);
    if (form && m_activePage && m_activePage->ContainsControl(form->GetActiveControl()))
        form->SetActiveControl(this->CanFocus() ? this : nullptr);
    m_activePage = v;
    ShowActivePage();
}

void TPageControl::ShowActivePage()
{
    for (TTabSheet* p : m_pages)
        if (p != m_activePage)
            p->SetVisible(false);
    if (m_activePage) {
        m_activePage->SetVisible(true);
        m_activePage->BringToFront();
    }
    Realign();
    Invalidate();
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* p : m_pages)
        if (p->m_tabVisible)
            tabs.push_back(p);
    return tabs;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible)
{
    const int count = GetPageCount();
    if (count == 0)
        return nullptr;
    auto it = std::find(m_pages.begin(), m_pages.end(), CurrentPage);
    int start = it == m_pages.end() ? (GoForward ? count - 1 : 0) : int(it - m_pages.begin());
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* p = m_pages[std::size_t(i)];
        if (!CheckTabVisible || p->m_tabVisible)
            return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* page = FindNextPage(m_activePage, GoForward, CheckTabVisible);
    if (page && page != m_activePage)
        ChangeActivePageByUser(page);
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TPageControl::ChangeActivePageByUser(TTabSheet* Page)
{
    if (Page == m_activePage || !CanChange())
        return;
    SetActivePage(Page);
    Change();
}

int TPageControl::GetTabHeight()
{
    return std::max(TextExtent(m_font.get(), u"Ag").cy, m_images ? m_images->GetHeight() : 0) + 6;
}

TRect TPageControl::TabRect(int TabIndex)
{
    const std::vector<TTabSheet*> tabs = VisibleTabs();
    if (TabIndex < 0 || TabIndex >= int(tabs.size()))
        return {};
    const int height = GetTabHeight();
    int x = 2;
    for (int i = 0; i < int(tabs.size()); ++i) {
        const int imageWidth = m_images && tabs[std::size_t(i)]->m_imageIndex >= 0 ? m_images->GetWidth() + 3 : 0;
        const int w = TextExtent(m_font.get(), tabs[std::size_t(i)]->GetCaption()).cx + imageWidth + 12;
        if (i == TabIndex)
            return { x, 2, x + w, 2 + height };
        x += w;
    }
    return {};
}

int TPageControl::IndexOfTabAt(int X, int Y)
{
    const int count = int(VisibleTabs().size());
    for (int i = 0; i < count; ++i)
        if (TabRect(i).Contains({ X, Y }))
            return i;
    return -1;
}

void TPageControl::AdjustClientRect(TRect& Rect)
{
    Rect = GetClientRect();
    if (!VisibleTabs().empty())
        Rect.Top += GetTabHeight() + 2;
    Rect.Inflate(-4, -4);
    Rect.Top -= 2;
    if (Rect.Right < Rect.Left)
        Rect.Right = Rect.Left;
    if (Rect.Bottom < Rect.Top)
        Rect.Bottom = Rect.Top;
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int tab = IndexOfTabAt(X, Y);
    if (tab < 0)
        return;
    if (CanFocus())
        SetFocus();
    ChangeActivePageByUser(VisibleTabs()[std::size_t(tab)]);
}

void TPageControl::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_TAB && Shift.Contains(ssCtrl)) {
        SelectNextPage(!Shift.Contains(ssShift));
        Key = 0;
    } else if (Focused() && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Empty()) {
        SelectNextPage(Key == VK_RIGHT);
        Key = 0;
    }
}

void TPageControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED || Message.Msg == WM_SIZE) {
        Realign();
        Invalidate();
    }
}

void TPageControl::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const TRect c = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor col) { return styled ? StyleColorToRGB(col) : ColorToRGB(col); };
    TColor parentBack = m_parent ? rgb(m_parent->GetColor()) : rgb(clBtnFace);
    FillSolid(dc, c, parentBack);
    const std::vector<TTabSheet*> tabs = VisibleTabs();
    const int tabHeight = tabs.empty() ? 0 : GetTabHeight();
    TRect body { c.Left, c.Top + (tabs.empty() ? 0 : tabHeight + 2), c.Right, c.Bottom };
    TCustomStyleServices* s = StyleServices();
    if (styled) {
        s->DrawElement(dc, s->GetElementDetails(ttPane), body);
    } else {
        FillSolid(dc, body, ColorToRGB(clBtnFace));
        RECT rb = body;
        DrawEdge(dc, &rb, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    const bool enabled = IsEnabledInChain();
    for (int i = 0; i < int(tabs.size()); ++i) {
        TTabSheet* page = tabs[std::size_t(i)];
        const bool active = page == m_activePage;
        TRect r = TabRect(i);
        if (active)
            r = { r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 3 };
        TColor text = enabled ? rgb(m_font->GetColor()) : rgb(clGrayText);
        if (styled) {
            s->DrawElement(dc, s->GetElementDetails(active ? ttTabItemSelected : ttTabItemNormal), r);
            if (StyledElement(this, seFont))
                text = s->GetStyleFontColor(active ? sfTabTextActiveNormal : sfTabTextInactiveNormal);
        } else {
            FillSolid(dc, r, ColorToRGB(clBtnFace));
            RECT rr = r;
            DrawEdge(dc, &rr, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        }
        TRect t = r;
        t.Left += 6;
        if (m_images && page->m_imageIndex >= 0) {
            m_images->Draw(GetCanvas(), t.Left, t.Top + (t.Height() - m_images->GetHeight()) / 2, page->m_imageIndex,
                enabled);
            t.Left += m_images->GetWidth() + 3;
        }
        DrawTextIn(dc, m_font.get(), page->GetCaption(), t, DT_SINGLELINE | DT_VCENTER, text);
        if (active && Focused()) {
            RECT f { r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3 };
            DrawFocusRect(dc, &f);
        }
    }
}

