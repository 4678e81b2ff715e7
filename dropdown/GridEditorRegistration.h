#pragma once
// The registrations of this folder's grid cell editors with the grid's
// editor registry, apart from the editor classes, so the program's start
// needs none of their headers. Once is enough; again does no harm.

// The drop-down cell editors of every kind built here.
void RegisterGridDropDownEditors();
// The date-and-time cell editor (edDateTimeEdit).
void RegisterGridDateTimeEditor();
