// The colours of the pages, by what they are for, and the pairs of text and
// background the pages put together. The pages read the colours as the singleton
// Palette of module an.utility ("Palette.text"); the pairs are what the contrast
// rule is checked against: 4.5:1 for text, 3:1 for large text and for marks that
// are not text (the focus ring).
#pragma once

#include <QColor>

#include <cstddef>

namespace palette {

struct Colour
{
    const char *name;
    const char *value; // "#rrggbb"
};

struct Pair
{
    const char *foreground;
    const char *background;
    double minimum; // the contrast the pair needs
};

constexpr double kText = 4.5;
constexpr double kLargeOrMark = 3.0;

const Colour *colours(std::size_t &count);
const Pair *pairs(std::size_t &count);

// The colour called `name`; an invalid colour for an unknown name.
QColor colour(const char *name);

// The contrast ratio of two colours, 1 to 21, from their relative luminance.
double contrast(const QColor &a, const QColor &b);

// Makes the colours the singleton Palette of module an.utility 1.0.
void registerPaletteType();

} // namespace palette
