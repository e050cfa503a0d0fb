#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>

namespace platine {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor &wanted, const QColor &background, double minimum)
{
    QColor opaque = wanted.toRgb();
    opaque.setAlpha(255);
    if (contrastRatio(opaque, background) >= minimum)
        return opaque;
    // Black and white give the most contrast there is; which way to go depends on which of the
    // two reads better on the background.
    const bool darken =
        contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background);
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    opaque.getHslF(&hue, &saturation, &lightness);
    constexpr int kSteps = 100;
    for (int step = 1; step <= kSteps; ++step) {
        const float l = darken ? lightness * float(kSteps - step) / kSteps
                               : lightness + (1.0f - lightness) * float(step) / kSteps;
        // In whole 8-bit steps, as the colour will be on screen.
        const QColor hsl = QColor::fromHslF(hue, saturation, l);
        const QColor candidate(hsl.red(), hsl.green(), hsl.blue());
        if (contrastRatio(candidate, background) >= minimum)
            return candidate;
    }
    return darken ? QColor(Qt::black) : QColor(Qt::white);
}

QColor textColourFor(const QColor &background)
{
    const QColor nearBlack(0x1a, 0x1a, 0x1a);
    const QColor white(Qt::white);
    return contrastRatio(nearBlack, background) >= contrastRatio(white, background) ? nearBlack
                                                                                    : white;
}

}  // namespace platine
