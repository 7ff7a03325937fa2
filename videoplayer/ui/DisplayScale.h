// Display scale arithmetic: a length drawn at 96 dots per inch made right for another DPI, and
// which of the rendered sets of art (100, 150 and 200 percent) serves a DPI. Values in, values out.
#pragma once

namespace scale {

// The DPI every length of the program is written for, and the scale at which it is drawn as is.
constexpr int baseDpi = 96;

// `value` at `dpi`: value * dpi / 96 rounded half away from zero, exactly as MulDiv rounds it, so
// that every length scales the same way wherever it is computed, and 96 changes nothing.
inline int scaled(int value, int dpi)
{
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = baseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / baseDpi : -((-product + half) / baseDpi));
}

// The percent of the set of art rendered for `dpi`: exact at 96, 144 and 192; in between the next
// larger set, which is then scaled down (scaling down keeps edges sharper than scaling up); above
// 192 the largest set, scaled up, and below 96 the smallest, scaled down.
inline int artSetFor(int dpi)
{
    if (dpi <= baseDpi)
        return 100;
    return dpi <= baseDpi * 3 / 2 ? 150 : 200;
}

// The length at 100 percent of art rendered `length` long for the set of `percent`: the set was
// rendered at lengths rounded half up, so the nearest whole length is the one it came from.
inline int baseLength(int length, int percent)
{
    return (length * 100 + percent / 2) / percent;
}

} // namespace scale
