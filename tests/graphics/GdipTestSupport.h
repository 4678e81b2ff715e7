#pragma once
// Test helpers for the run-time bound GDI+ wrappers.

#include <gtest/gtest.h>

#include "graphics/LumGDIPlusClassesBase.h"

// Starts the wrapper unit; skips the test where the library is missing.
class GdipWrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LumGDIPlusClasses::EnsureGdiplusUnit();
        if (!LumGDIPlusApi::GdiplusModule())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
};

// Puts a stand-in function into one entry of the table for the life of the
// object, so a test can make a call fail or count how often it is reached.
template <class Entry> class TGdipEntryOverride {
public:
    TGdipEntryOverride(Entry& entry, typename Entry::Function fn) : m_entry(entry), m_saved(entry.Fn) { entry.Fn = fn; }
    ~TGdipEntryOverride() { m_entry.Fn = m_saved; }
    TGdipEntryOverride(const TGdipEntryOverride&) = delete;
    TGdipEntryOverride& operator=(const TGdipEntryOverride&) = delete;

private:
    Entry& m_entry;
    typename Entry::Function m_saved;
};
