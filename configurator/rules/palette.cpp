#include "palette.h"

#include <QQmlEngine>
#include <QQmlPropertyMap>

#include <cmath>
#include <cstring>

namespace palette {
namespace {

const Colour kColours[] = {
    // The dark surfaces of the window.
    {"page", "#1f232b"},
    {"titleBar", "#171a20"},
    {"bottomBar", "#1a1e25"},
    {"panel", "#262b34"},       // boxes, labels, the sync panel
    {"panelHover", "#2e3440"},
    {"fieldDark", "#1b1f26"},   // the key combination's fields
    {"chip", "#2a303a"},        // the program selector's entries
    {"control", "#343b47"},     // a secondary button
    {"controlHover", "#4b5361"},
    {"line", "#3a4250"},        // borders, and what the pointer is over
    // Text on them.
    {"text", "#e6ebf2"},
    {"textSecondary", "#c9d1dc"},
    {"textMuted", "#8d96a5"},
    {"linkOnDark", "#4a93f0"},
    {"errorOnDark", "#ff7b72"},
    // The accent: primary buttons and the selected program, with white text.
    {"accent", "#1f6fd8"},
    {"accentHover", "#1a66cc"},
    {"accentPressed", "#1858b0"},
    {"onAccent", "#ffffff"},
    // The light lists and forms.
    {"list", "#ffffff"},
    {"listHover", "#f1f4f9"},
    {"listSelected", "#e4eefc"},
    {"listText", "#333a44"},
    {"listHeading", "#22272e"},
    {"listSelectedText", "#1a5fbf"},
    {"listHint", "#5f6875"},
    {"form", "#ffffff"},
    {"formField", "#f0f3f7"},   // the verification code's countdown
    {"dangerHover", "#fef3f3"}, // "Sign out" under the pointer
    {"dangerPressed", "#fde8e8"},
    {"formText", "#2b2f36"},
    {"formMuted", "#5a6270"},
    {"placeholder", "#6b7280"},
    {"tabSelected", "#e8f1fd"},
    {"link", "#1c68bc"},
    {"linkHover", "#1858b0"},
    {"error", "#c8222e"},
    {"success", "#177d43"},
    // The keyboard focus.
    {"focusRing", "#3d8bf5"},
    {"listFocus", "#1f6fd8"},
};

const Pair kPairs[] = {
    {"text", "page", kText},           {"text", "titleBar", kText},
    {"text", "bottomBar", kText},      {"text", "panel", kText},
    {"text", "chip", kText},           {"text", "line", kText},
    {"text", "control", kText},        {"text", "controlHover", kText},
    {"textSecondary", "panel", kText}, {"textSecondary", "titleBar", kText},
    {"textSecondary", "page", kText},  {"textMuted", "page", kText},
    {"textMuted", "bottomBar", kText}, {"textMuted", "panel", kText},
    {"linkOnDark", "page", kText},     {"linkOnDark", "panel", kText},
    {"errorOnDark", "panel", kText},   {"onAccent", "accent", kText},
    {"onAccent", "accentHover", kText}, {"onAccent", "accentPressed", kText},
    {"onAccent", "control", kText},    {"onAccent", "controlHover", kText},
    {"listText", "list", kText},       {"listText", "listHover", kText},
    {"listHeading", "list", kText},    {"listSelectedText", "listSelected", kText},
    {"listHint", "list", kText},       {"formText", "form", kText},
    {"formMuted", "form", kText},      {"placeholder", "form", kText},
    {"link", "form", kText},           {"link", "tabSelected", kText},
    {"linkHover", "form", kText},      {"error", "form", kText},
    {"success", "form", kText},        {"text", "panelHover", kText},
    {"text", "fieldDark", kText},      {"textMuted", "fieldDark", kText},
    {"link", "formField", kText},      {"formMuted", "formField", kText},
    {"error", "dangerHover", kText},   {"error", "dangerPressed", kText},        {"focusRing", "page", kLargeOrMark},
    {"focusRing", "panel", kLargeOrMark}, {"focusRing", "list", kLargeOrMark},
    {"listFocus", "list", kLargeOrMark}, {"listFocus", "listSelected", kLargeOrMark},
};

double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
           0.0722 * channel(c.blueF());
}

} // namespace

const Colour *colours(std::size_t &count)
{
    count = std::size(kColours);
    return kColours;
}

const Pair *pairs(std::size_t &count)
{
    count = std::size(kPairs);
    return kPairs;
}

QColor colour(const char *name)
{
    for (const Colour &c : kColours)
        if (std::strcmp(c.name, name) == 0)
            return QColor(QLatin1String(c.value));
    return QColor();
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void registerPaletteType()
{
    qmlRegisterSingletonType<QQmlPropertyMap>(
        "an.utility", 1, 0, "Palette", [](QQmlEngine *, QJSEngine *) -> QObject * {
            auto *map = new QQmlPropertyMap;
            for (const Colour &c : kColours)
                map->insert(QLatin1String(c.name), QColor(QLatin1String(c.value)));
            return map;
        });
}

} // namespace palette
