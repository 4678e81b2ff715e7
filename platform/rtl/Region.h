#pragma once
// An area of the integer plane made of rectangles: the geometry behind
// update regions, clip regions and window regions. Kept normalised as
// y-x bands (rows of non-overlapping rectangles sorted by top, then left;
// vertically adjacent bands with equal spans are merged), so two equal areas
// compare equal.

#include <vector>

#include "platform/rtl/Types.h"

class TRegion {
public:
    enum class Op { And, Or, Xor, Diff };

    TRegion() = default;
    explicit TRegion(const TRect& r);
    // Any rectangles, overlapping or not; empty ones are ignored.
    static TRegion FromRects(const std::vector<TRect>& rects);

    bool IsEmpty() const { return m_rects.empty(); }
    const std::vector<TRect>& Rects() const { return m_rects; }
    TRect Bounds() const;
    bool Contains(const TPoint& p) const;
    bool Contains(int x, int y) const { return Contains(TPoint(x, y)); }
    bool Intersects(const TRect& r) const;

    TRegion Combine(const TRegion& other, Op op) const;
    TRegion Union(const TRegion& o) const { return Combine(o, Op::Or); }
    TRegion Intersect(const TRegion& o) const { return Combine(o, Op::And); }
    TRegion Subtract(const TRegion& o) const { return Combine(o, Op::Diff); }
    TRegion Xor(const TRegion& o) const { return Combine(o, Op::Xor); }
    void Offset(int dx, int dy);
    void Clear() { m_rects.clear(); }

    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    std::vector<TRect> m_rects;
};
