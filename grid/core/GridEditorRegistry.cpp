#include "grid/core/GridEditorRegistry.h"

#include <map>

namespace {

std::map<TEditorType, TGridEditorFactory>& Factories()
{
    static std::map<TEditorType, TGridEditorFactory> Map;
    return Map;
}

} // namespace

namespace GridEditorRegistry {

void Register(TEditorType Kind, TGridEditorFactory Factory)
{
    if (Factory)
        Factories()[Kind] = std::move(Factory);
    else
        Factories().erase(Kind);
}

void Unregister(TEditorType Kind) { Factories().erase(Kind); }

bool IsRegistered(TEditorType Kind) { return Factories().count(Kind) > 0; }

TWinControl* Create(TEditorType Kind, TDedOzovedUrad* Grid)
{
    const auto It = Factories().find(Kind);
    if (It == Factories().end())
        return nullptr;
    // Copied: a factory may register or unregister kinds while it runs.
    const TGridEditorFactory Factory = It->second;
    return Factory(Grid);
}

} // namespace GridEditorRegistry
