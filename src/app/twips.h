#pragma once

#include "layout/layout.h"

#include <QWidget>

#include <cmath>

namespace gradecast {

// Positions are kept in twips, as the window was designed; Qt places widgets
// in logical pixels of 15 twips each.
inline constexpr int TwipsPerPixel = 15;

inline int pixelsFromTwips(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

inline float twipsFromPixels(int pixels)
{
    return static_cast<float>(pixels * TwipsPerPixel);
}

inline QRect pixelsFromTwips(const TwipsRect &twips)
{
    return {pixelsFromTwips(twips.left), pixelsFromTwips(twips.top), pixelsFromTwips(twips.width),
            pixelsFromTwips(twips.height)};
}

inline void placeAt(QWidget *widget, const TwipsRect &twips)
{
    widget->setGeometry(pixelsFromTwips(twips));
}

} // namespace gradecast
