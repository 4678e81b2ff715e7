#include "grid/core/GridDataViews.h"

#include "grid/core/GridDragDrop.h"

namespace {

TGridDataViewsFactory& Factory()
{
    static TGridDataViewsFactory factory;
    return factory;
}

} // namespace

TGridDataViewsFactory RegisterGridDataViews(TGridDataViewsFactory NewFactory)
{
    TGridDataViewsFactory old = std::move(Factory());
    Factory() = std::move(NewFactory);
    return old;
}

std::unique_ptr<IGridDataViews> CreateGridDataViews(TDedOzovedUrad& Grid)
{
    if (Factory())
        if (auto Views = Factory()(Grid))
            return Views;
    return std::make_unique<TNeutralGridDataViews>();
}

TComPtr<TDOUDropSource> IGridDataViews::NewDropSource() { return TComPtr<TDOUDropSource>(new TDOUDropSource); }
