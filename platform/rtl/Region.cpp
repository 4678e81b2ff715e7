#include "platform/rtl/Region.h"

#include <algorithm>
#include <utility>

namespace {

using Spans = std::vector<std::pair<int, int>>; // [x0, x1) sorted, disjoint, not touching

// Spans of `rects` that cover the horizontal line band [y0, y1).
Spans spansIn(const std::vector<TRect>& rects, int y0, int y1)
{
    Spans raw;
    for (const auto& r : rects)
        if (r.Top <= y0 && r.Bottom >= y1)
            raw.emplace_back(r.Left, r.Right);
    std::sort(raw.begin(), raw.end());
    Spans out;
    for (const auto& s : raw) {
        if (!out.empty() && s.first <= out.back().second)
            out.back().second = std::max(out.back().second, s.second);
        else
            out.push_back(s);
    }
    return out;
}

bool inside(const Spans& spans, int x)
{
    for (const auto& s : spans)
        if (x >= s.first && x < s.second)
            return true;
    return false;
}

Spans combine(const Spans& a, const Spans& b, TRegion::Op op)
{
    std::vector<int> xs;
    for (const auto& s : a) { xs.push_back(s.first); xs.push_back(s.second); }
    for (const auto& s : b) { xs.push_back(s.first); xs.push_back(s.second); }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    Spans out;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        bool ia = inside(a, xs[i]);
        bool ib = inside(b, xs[i]);
        bool keep = false;
        switch (op) {
        case TRegion::Op::And: keep = ia && ib; break;
        case TRegion::Op::Or: keep = ia || ib; break;
        case TRegion::Op::Xor: keep = ia != ib; break;
        case TRegion::Op::Diff: keep = ia && !ib; break;
        }
        if (!keep)
            continue;
        if (!out.empty() && out.back().second == xs[i])
            out.back().second = xs[i + 1];
        else
            out.emplace_back(xs[i], xs[i + 1]);
    }
    return out;
}

std::vector<int> bandEdges(const std::vector<TRect>& a, const std::vector<TRect>& b)
{
    std::vector<int> ys;
    for (const auto& r : a) { ys.push_back(r.Top); ys.push_back(r.Bottom); }
    for (const auto& r : b) { ys.push_back(r.Top); ys.push_back(r.Bottom); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    return ys;
}

// Builds normalised rectangles from per-band spans, merging equal adjacent bands.
std::vector<TRect> build(const std::vector<int>& ys, const std::vector<Spans>& bands)
{
    std::vector<TRect> out;
    std::size_t prevStart = 0, prevCount = 0;
    const Spans* prev = nullptr;
    int prevBottom = 0;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const Spans& s = bands[i];
        if (s.empty()) {
            prev = nullptr;
            continue;
        }
        if (prev && prevBottom == ys[i] && *prev == s) {
            for (std::size_t k = 0; k < prevCount; ++k)
                out[prevStart + k].Bottom = ys[i + 1];
        } else {
            prevStart = out.size();
            prevCount = s.size();
            for (const auto& sp : s)
                out.emplace_back(sp.first, ys[i], sp.second, ys[i + 1]);
        }
        prev = &s;
        prevBottom = ys[i + 1];
    }
    return out;
}

} // namespace

TRegion::TRegion(const TRect& r)
{
    if (!r.IsEmpty())
        m_rects.push_back(r);
}

TRegion TRegion::FromRects(const std::vector<TRect>& rects)
{
    std::vector<TRect> valid;
    for (const auto& r : rects)
        if (!r.IsEmpty())
            valid.push_back(r);
    TRegion out;
    auto ys = bandEdges(valid, {});
    std::vector<Spans> bands;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i)
        bands.push_back(spansIn(valid, ys[i], ys[i + 1]));
    out.m_rects = build(ys, bands);
    return out;
}

TRect TRegion::Bounds() const
{
    if (m_rects.empty())
        return {};
    TRect b = m_rects.front();
    for (const auto& r : m_rects) {
        b.Left = std::min(b.Left, r.Left);
        b.Top = std::min(b.Top, r.Top);
        b.Right = std::max(b.Right, r.Right);
        b.Bottom = std::max(b.Bottom, r.Bottom);
    }
    return b;
}

bool TRegion::Contains(const TPoint& p) const
{
    for (const auto& r : m_rects)
        if (r.Contains(p))
            return true;
    return false;
}

bool TRegion::Intersects(const TRect& rect) const
{
    TRect tmp;
    for (const auto& r : m_rects)
        if (IntersectRect(tmp, r, rect))
            return true;
    return false;
}

TRegion TRegion::Combine(const TRegion& other, Op op) const
{
    auto ys = bandEdges(m_rects, other.m_rects);
    std::vector<Spans> bands;
    bands.reserve(ys.size());
    for (std::size_t i = 0; i + 1 < ys.size(); ++i)
        bands.push_back(combine(spansIn(m_rects, ys[i], ys[i + 1]), spansIn(other.m_rects, ys[i], ys[i + 1]), op));
    TRegion out;
    out.m_rects = build(ys, bands);
    return out;
}

void TRegion::Offset(int dx, int dy)
{
    for (auto& r : m_rects)
        r.Offset(dx, dy);
}
