#include "platform/vcl/Controls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

// ---- drag ----

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (g_drag.Source)
        return;
    g_drag = {};
    g_drag.Source = this;
    g_drag.Threshold = Threshold < 0 ? DragThreshold() : Threshold;
    POINT p;
    GetCursorPos(p);
    g_drag.Start = { p.X, p.Y };
    SetCaptureControl(this);
    if (Immediate) {
        g_drag.Started = true;
        TDragObject* obj = nullptr;
        DoStartDrag(obj);
        if (!obj) {
            g_drag.OwnObject = std::make_unique<TDragObject>();
            obj = g_drag.OwnObject.get();
        }
        obj->Control = this;
        g_drag.Object = obj;
    }
}

bool TControl::Dragging() const { return g_drag.Source == this; }

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

// Moves a started drag to `screen`: tells the target under it and picks the cursor.
void TControlDragger::Move(TPoint screen)
{
    TDragStateInfo& d = g_drag;
    if (!d.Started) {
        if (std::abs(screen.X - d.Start.X) < d.Threshold && std::abs(screen.Y - d.Start.Y) < d.Threshold)
            return;
        d.Started = true;
        TDragObject* obj = nullptr;
        d.Source->DoStartDrag(obj);
        if (!obj) {
            d.OwnObject = std::make_unique<TDragObject>();
            obj = d.OwnObject.get();
        }
        obj->Control = d.Source;
        d.Object = obj;
    }
    d.Object->DragPos = screen;
    TControl* target = FindDragTarget(screen, false);
    TObject* source = d.Object->Control;
    if (target != d.Target && d.Target) {
        bool ignored = false;
        const TPoint p = d.Target->ScreenToClient(screen);
        d.Target->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
    }
    const TDragState state = target != d.Target ? dsDragEnter : dsDragMove;
    d.Target = target;
    d.Accepted = false;
    if (target) {
        const TPoint p = target->ScreenToClient(screen);
        target->DragOver(source, p.X, p.Y, state, d.Accepted);
    }
    SetCursor(CursorHandle(d.Accepted ? d.Source->GetDragCursor() : crNoDrop));
}

void TControlDragger::Done(bool drop, TPoint screen)
{
    TDragStateInfo d = std::move(g_drag);
    g_drag = {};
    SetCaptureControl(nullptr);
    if (!d.Source || !d.Started)
        return;
    TControl* target = d.Accepted && drop ? d.Target : nullptr;
    TObject* source = d.Object->Control;
    if (d.Target && !target) {
        bool ignored = false;
        const TPoint p = d.Target->ScreenToClient(screen);
        d.Target->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
    }
    TPoint p;
    if (target) {
        d.Object->Dropped = true;
        p = target->ScreenToClient(screen);
        target->DragDrop(source, p.X, p.Y);
    }
    d.Source->DoEndDrag(target, p.X, p.Y);
    SetCursor(CursorHandle(crDefault));
}

void TControl::EndDrag(bool Drop)
{
    if (g_drag.Source != this)
        return;
    POINT p;
    GetCursorPos(p);
    TControlDragger::Done(Drop, { p.X, p.Y });
}
