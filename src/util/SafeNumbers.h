#pragma once

#include <climits>
#include <cmath>

// Arithmetic on numbers that come from data files and scripts, where any
// value may arrive: results stop at the ends of int instead of overflowing.

inline int saturatingAdd(int a, int b)
{
    int sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? INT_MAX : INT_MIN;
}

// A float or double as the nearest int it truncates to; NaN reads as 0.
inline int clampToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(INT_MIN))
        return INT_MIN;
    if (value >= double(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}
