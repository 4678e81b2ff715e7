#include <gtest/gtest.h>

#include "foundation/LumPersistence.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

// The touch, docking and bevel properties every control publishes keep
// their values through the JSON persistence like the others.
TEST(PublishedControlProperties, TouchDockingAndBevelsStreamWithTheOthers)
{
    THeadlessSession session;
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    for (const char16_t* name : { u"Touch", u"DragKind", u"BevelEdges", u"BevelKind", u"OnGesture", u"OnMouseActivate",
             u"OnStartDock", u"OnEndDock" }) {
        SCOPED_TRACE(StringToUtf8(name));
        EXPECT_TRUE(IsPublishedProp(panel, name));
    }
    // The framework's defaults.
    EXPECT_EQ(panel->GetDragKind(), dkDrag);
    EXPECT_EQ(panel->GetBevelKind(), bkNone);
    EXPECT_EQ(panel->GetBevelEdges(), (TBevelEdges { beLeft, beTop, beRight, beBottom }));
    EXPECT_EQ(panel->GetTouch()->GetInteractiveGestures(), (TInteractiveGestures { igPan, igPressAndTap }));
    EXPECT_TRUE(panel->GetTouch()->GetParentTabletOptions());

    panel->SetDragKind(dkDock);
    panel->SetBevelKind(bkFlat);
    panel->SetBevelEdges({ beLeft, beBottom });
    panel->GetTouch()->SetInteractiveGestures({ igZoom, igRotate });
    panel->GetTouch()->SetInteractiveGestureOptions({ igoPanInertia });
    panel->GetTouch()->SetParentTabletOptions(false);
    panel->SetCaption(u"kept too");
    const String text = TLumPersistence::ToJSON(panel);
    for (const char16_t* key : { u"\"DragKind\"", u"\"BevelKind\"", u"\"BevelEdges\"", u"\"Touch\"",
             u"\"InteractiveGestures\"" }) {
        SCOPED_TRACE(StringToUtf8(key));
        EXPECT_NE(text.find(key), String::npos) << StringToUtf8(text);
    }

    TForm other(nullptr);
    auto* copy = new TPanel(&other);
    TLumPersistence::FromJSON(copy, text);
    EXPECT_EQ(copy->GetDragKind(), dkDock);
    EXPECT_EQ(copy->GetBevelKind(), bkFlat);
    EXPECT_EQ(copy->GetBevelEdges(), (TBevelEdges { beLeft, beBottom }));
    EXPECT_EQ(copy->GetTouch()->GetInteractiveGestures(), (TInteractiveGestures { igZoom, igRotate }));
    EXPECT_EQ(copy->GetTouch()->GetInteractiveGestureOptions(), (TInteractiveGestureOptions { igoPanInertia }));
    EXPECT_FALSE(copy->GetTouch()->GetParentTabletOptions());
    EXPECT_EQ(copy->GetCaption(), u"kept too");
}

} // namespace
