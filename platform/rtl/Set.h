#pragma once
// Set<E>: a set over an enumeration whose ordinals lie in 0..63, kept as a
// bit pattern (bit n set when the element of ordinal n is in the set), so the
// pattern doubles as the set's ordinal value for run-time type information.

#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "platform/rtl/Exceptions.h"

template<class E>
class Set {
    static_assert(std::is_enum_v<E>, "Set<E> needs an enumeration");

public:
    using Element = E;
    static constexpr int MaxOrdinal = 63;

    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> items)
    {
        for (E e : items)
            m_bits |= BitOf(e);
    }

    static constexpr Set FromBits(std::uint64_t bits)
    {
        Set s;
        s.m_bits = bits;
        return s;
    }
    constexpr std::uint64_t Bits() const { return m_bits; }

    constexpr bool Contains(E e) const { return InRange(e) && (m_bits & BitOf(e)) != 0; }
    constexpr Set& Include(E e)
    {
        m_bits |= BitOf(e);
        return *this;
    }
    constexpr Set& Exclude(E e)
    {
        if (InRange(e))
            m_bits &= ~BitOf(e);
        return *this;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr void Clear() { m_bits = 0; }
    int Count() const { return __builtin_popcountll(m_bits); }

    constexpr Set operator+(Set o) const { return FromBits(m_bits | o.m_bits); }
    constexpr Set operator-(Set o) const { return FromBits(m_bits & ~o.m_bits); }
    constexpr Set operator*(Set o) const { return FromBits(m_bits & o.m_bits); }
    constexpr Set& operator+=(Set o) { m_bits |= o.m_bits; return *this; }
    constexpr Set& operator-=(Set o) { m_bits &= ~o.m_bits; return *this; }
    constexpr Set& operator*=(Set o) { m_bits &= o.m_bits; return *this; }
    constexpr Set operator+(E e) const { return Set(*this).Include(e); }
    constexpr Set operator-(E e) const { return Set(*this).Exclude(e); }
    constexpr bool operator==(const Set&) const = default;
    // Subset and superset, as the platform's <= and >= on sets.
    constexpr bool operator<=(Set o) const { return (m_bits & ~o.m_bits) == 0; }
    constexpr bool operator>=(Set o) const { return o <= *this; }

private:
    static constexpr bool InRange(E e)
    {
        auto v = static_cast<long long>(e);
        return v >= 0 && v <= MaxOrdinal;
    }
    static constexpr std::uint64_t BitOf(E e)
    {
        if (!InRange(e))
            throw ERangeError(u"Range check error");
        return std::uint64_t(1) << static_cast<long long>(e);
    }

    std::uint64_t m_bits { 0 };
};
