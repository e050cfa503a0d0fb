#pragma once

#include <QColor>

namespace platine {

// The contrast that text and marks keep against what lies behind them, light or dark palette
// alike (WCAG AA for ordinary text).
inline constexpr double kMinimumContrast = 4.5;

// WCAG relative luminance, 0 for black to 1 for white.
double relativeLuminance(const QColor &colour);

// WCAG contrast ratio of two colours, from 1 (the same) to 21 (black and white).
double contrastRatio(const QColor &first, const QColor &second);

// The colour nearest to wanted, with its hue, that reads on background: wanted itself when it
// already does, else darkened on a light background or lightened on a dark one until it does.
QColor readableOn(const QColor &wanted, const QColor &background,
                  double minimum = kMinimumContrast);

// Text for a fixed background (a marked field, the yellow clock display): near-black or white,
// whichever reads better, whatever the palette.
QColor textColourFor(const QColor &background);

}  // namespace platine
