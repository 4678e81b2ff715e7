#pragma once
// In-process drag and drop in the shape of OLE's: drop targets registered
// per window, and the modal drag loop that runs over our own message queue
// while the pointer is captured. Drops from other programs on the desktop
// come in through the back end as one drop on the registered target.

#include "platform/win/Ole.h"

// A registration holds a reference to `target` until it is revoked or its
// window is destroyed. Errors: E_INVALIDARG (no target),
// DRAGDROP_E_INVALIDHWND (no window), DRAGDROP_E_ALREADYREGISTERED,
// DRAGDROP_E_NOTREGISTERED, CO_E_NOTINITIALIZED (no OleInitialize).
HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target);
HRESULT RevokeDragDrop(HWND hwnd);

// Runs a drag until the source drops or cancels and answers
// DRAGDROP_S_DROP or DRAGDROP_S_CANCEL (or the source's own failure), with
// the final effect in `effect`: what the target's Drop answered, masked by
// `okEffects`, or DROPEFFECT_NONE. Mouse and key input during the loop
// belong to the loop; paint, timers and posted messages are dispatched as
// usual. A step (the source's QueryContinueDrag, then DragEnter, DragOver or
// DragLeave on the registered window under the pointer or its nearest
// registered ancestor, then the source's GiveFeedback) runs at the start, on
// every pointer move, key or button change, and every kDragRestIntervalMs
// while the pointer rests. Taking the capture away (WM_CANCELMODE) cancels.
// What a source or target throws counts as a failed call; a window procedure
// that throws while the loop dispatches ends the drag with E_UNEXPECTED.
// E_INVALIDARG for a missing argument, CO_E_NOTINITIALIZED without OLE.
HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* dropSource, DWORD okEffects, DWORD* effect);

inline constexpr UINT kDragRestIntervalMs = 50;

// The cursor the loop shows for an effect when the source leaves the cursor
// to it: move, copy or link (in that order of preference), else no-drop.
HCURSOR GetDragCursor(DWORD effect);

// Drops from other programs, as a back end reports them on the top-level
// window `top`: a drop begins, brings files and texts, and completes. At
// completion the registered target under `screen` (inside `top`) gets
// DragEnter, DragOver and Drop with the effect copy, and a data object with
// CF_HDROP (wide names) and/or CF_UNICODETEXT (texts joined by line breaks).
// The drop itself runs when the message loop next dispatches.
void InjectDropBegin(HWND top);
void InjectDropFile(HWND top, const String& path);
void InjectDropText(HWND top, const String& text);
void InjectDropComplete(HWND top, TPoint screen);
