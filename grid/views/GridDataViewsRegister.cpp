// Every grid made in a program that links the data views gets them.

#include "grid/views/GridDataViewsImpl.h"

namespace {

[[maybe_unused]] const bool Registered = [] {
    RegisterGridDataViews([](TDedOzovedUrad& Grid) -> std::unique_ptr<IGridDataViews> {
        return std::make_unique<TGridDataViews>(Grid);
    });
    return true;
}();

} // namespace



