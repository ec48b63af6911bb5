#pragma once
// What both directions of the conversion between the word processor's
// documents and the .doc model share: lengths and alignments.

#include "wordprocessor/document.h"

#include <QTextBlockFormat>
#include <cmath>
#include <cstdint>

namespace wordprocessor::convert {

// Lengths: the file keeps twips, the layout screen units.
inline std::int32_t toTwips(double units)
{
    return std::int32_t(std::lround(units / unitsPerPoint() * 20.0));
}

inline double fromTwips(std::int32_t twips)
{
    return twips / 20.0 * unitsPerPoint();
}

inline std::int32_t pointsToTwips(float points)
{
    return std::int32_t(std::lround(points * 20.0));
}

inline int alignmentOf(const QTextBlockFormat& format)
{
    const Qt::Alignment a = format.alignment();
    if (a & Qt::AlignHCenter)
        return 1;
    if (a & Qt::AlignJustify)
        return 3;
    if (a & Qt::AlignRight)
        return 2;
    return 0;
}

inline Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight | Qt::AlignAbsolute;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

} // namespace wordprocessor::convert
