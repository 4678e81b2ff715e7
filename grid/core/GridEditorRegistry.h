#pragma once
// The editor controls a grid shows on a cell for the kinds the text editor
// does not edit, made by whoever provides them: the drop-down editors live
// above the grid, so they register a factory per editor kind here and the
// grid's editor getters ask for a control the first time they need one.

#include <functional>

#include "grid/core/BaseGrid.h"

class TDedOzovedUrad;
class TWinControl;

// Makes the control of one editor kind for a grid (the grid is its owner).
using TGridEditorFactory = std::function<TWinControl*(TDedOzovedUrad* Grid)>;

namespace GridEditorRegistry {

// A later registration of the same kind replaces the earlier one.
void Register(TEditorType Kind, TGridEditorFactory Factory);
void Unregister(TEditorType Kind);
bool IsRegistered(TEditorType Kind);
// The control made by the kind's factory; nullptr when no factory is
// registered for it.
TWinControl* Create(TEditorType Kind, TDedOzovedUrad* Grid);

} // namespace GridEditorRegistry
