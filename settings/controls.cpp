#include "controls.h"

#include "catalogue.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace controls {

const std::array<Control, 6> kControls = {{
    {MidKey, "Mid_key", "midKey", "mid", false},
    {MidWheel, "Mid_wheel", "midWheel", "", true},
    {SideUpKey, "Side_upkey", "slideUpKey", "slider_up", false},
    {SideDownKey, "Side_downkey", "slideDownKey", "slider_down", false},
    {SideWheel, "Side_wheel", "slideWheel", "", true},
    {RightKey, "Right_key", "rightKey", "right", false},
}};

const std::array<const char *, 7> kPathSuffixes = {
    "_web_url",    "_file_path",  "_folder_path", "_app_path",
    "_sound_path", "_main_speed", "_self_speed",
};

const Control *byNumber(int number)
{
    if (number < 0 || number >= int(kControls.size()))
        return nullptr;
    return &kControls[size_t(number)];
}

const Control *byTag(const QString &tag)
{
    for (const Control &c : kControls)
        if (tag == QLatin1String(c.tag))
            return &c;
    return nullptr;
}

const Control *bySetKey(const char *setKey)
{
    for (const Control &c : kControls)
        if (qstrcmp(c.setKey, setKey) == 0)
            return &c;
    return nullptr;
}

QString defaultParameter(const QString &suffixOrKey)
{
    return suffixOrKey.endsWith(QLatin1String("_speed")) ? QStringLiteral("1")
                                                         : QStringLiteral("none");
}

catalogue::List listOf(const Control &control)
{
    return control.isWheel ? catalogue::List::Wheels : catalogue::List::Keys;
}

int noneIndex(const Control &control, const QString &versionClass)
{
    return catalogue::noneIndex(listOf(control), versionClass);
}

QString setKeyPath(const Control &control)
{
    return QStringLiteral("/SET/") + QLatin1String(control.setKey);
}

QString pathKey(const QString &prefix, const QString &suffix)
{
    return QStringLiteral("/PATH/") + prefix + suffix;
}

QString defaultEntry(const Control &control, const QString &versionClass)
{
    const bool win8 = versionClass.compare(QLatin1String("win8"), Qt::CaseInsensitive) == 0;
    const int index = control.isWheel ? (win8 ? 8 : 9) : (win8 ? 47 : 48);
    return QStringLiteral("none-%1-%2").arg(index).arg(QLatin1String(control.tag));
}

QStringList splitEntry(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char('-'), Qt::KeepEmptyParts);
    return parts.size() == 3 ? parts : QStringList();
}

std::optional<int> entryIndex(const QString &entry, const Control &control,
                              const QString &versionClass)
{
    const QStringList parts = splitEntry(entry);
    if (parts.isEmpty())
        return std::nullopt;
    const std::optional<int> value = decimalIndex(parts.at(1));
    if (!value)
        return std::nullopt;
    if (*value > noneIndex(control, versionClass))
        return std::nullopt;
    return value;
}

std::optional<int> decimalIndex(const QString &text)
{
    // Nine digits at most: every such number fits an int, and no list is that long.
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return text.toInt();
}

QString entryToJson(const QString &entry)
{
    const QStringList parts = splitEntry(entry);
    if (parts.isEmpty())
        return QString();
    QJsonObject object;
    object.insert(QStringLiteral("name"), parts.at(0));
    object.insert(QStringLiteral("index"), parts.at(1));
    object.insert(QStringLiteral("tag"), parts.at(2));
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace controls
