#include "assignrules.h"

#include <QCoreApplication>

#include <array>

namespace assignrules {
namespace {

bool isWin8(const QString &versionClass)
{
    return versionClass == QLatin1String("win8");
}

struct ControlRow
{
    const char *tag;
    const char *entrySetter;
    const char *prefix; // empty for wheels
    const char *action;
};

// In the order the stored configuration is shown.
constexpr std::array<ControlRow, 6> kControls{{
    {"midWheel", "SetMidWheelVal", "", "mid_wheel_wheel"},
    {"midKey", "SetMidKeyVal", "Mid", "mid_key_press"},
    {"slideDownKey", "SetSideDownkeyVal", "SliderDown", "side_downKey_press"},
    {"slideUpKey", "SetSideUpkeyVal", "SliderUp", "side_upKey_press"},
    {"slideWheel", "SetSideWheel", "", "side_wheel"},
    {"rightKey", "SetRightKeyVal", "Right", "right_key_press"},
}};

const ControlRow *row(const QString &tag)
{
    for (const ControlRow &r : kControls)
        if (tag == QLatin1String(r.tag))
            return &r;
    return nullptr;
}

// Parameter kinds of list indexes 1 to 5.
constexpr std::array<const char *, 5> kParamKinds{"WebUrl", "FilePath", "FolderPath", "AppPath",
                                                  "SoundPath"};

} // namespace

QList<int> keyRemovals(const QString &versionClass)
{
    // "Switch application" (45), "Roll right" (41), "Roll left" (40), "Backward" (37),
    // "Forward" (36).
    if (isWin8(versionClass))
        return {45, 41, 40, 37, 36};
    return {41, 40, 37, 36};
}

QList<int> wheelRemovals(const QString &versionClass)
{
    if (isWin8(versionClass))
        return {2}; // "Switch applications"
    return {};
}

QString noneKeyIndex(const QString &versionClass)
{
    return QString::number(53 - 1 - keyRemovals(versionClass).size());
}

QString noneWheelIndex(const QString &versionClass)
{
    return QString::number(10 - 1 - wheelRemovals(versionClass).size());
}

QStringList models()
{
    return {QStringLiteral("QX210"), QStringLiteral("QX330"), QStringLiteral("PL40"),
            QStringLiteral("PL60"),  QStringLiteral("PL20"),  QStringLiteral("QX460")};
}

QString initialModel(const QString &stored)
{
    return models().contains(stored) ? stored : models().constFirst();
}

bool isEightKeyModel(const QString &model)
{
    return model == QLatin1String("QX210") || model == QLatin1String("QX460");
}

bool hasModel(const QString &stored)
{
    return !stored.isEmpty() && stored != QLatin1String("NULL");
}

QString entryText(const QString &name, int index, const QString &tag)
{
    return name + QLatin1Char('-') + QString::number(index) + QLatin1Char('-') + tag;
}

QString entrySetter(const QString &tag)
{
    const ControlRow *r = row(tag);
    return r ? QLatin1String(r->entrySetter) : QString();
}

QString paramPrefix(const QString &tag)
{
    const ControlRow *r = row(tag);
    return r ? QLatin1String(r->prefix) : QString();
}

QString paramSetter(const QString &tag, int index)
{
    const QString prefix = paramPrefix(tag);
    if (prefix.isEmpty() || index < 1 || index > int(kParamKinds.size()))
        return QString();
    return QStringLiteral("Set") + prefix + QLatin1String(kParamKinds[size_t(index - 1)]);
}

QString speedSetter(const QString &tag, int speedType)
{
    const QString prefix = paramPrefix(tag);
    if (prefix.isEmpty() || (speedType != 0 && speedType != 1))
        return QString();
    return QStringLiteral("Set") + prefix +
           (speedType == 0 ? QLatin1String("MainSpeed") : QLatin1String("SelfSpeed"));
}

QString tagForAction(const QString &action)
{
    for (const ControlRow &r : kControls)
        if (action == QLatin1String(r.action))
            return QLatin1String(r.tag);
    return QString();
}

QStringList tagsInShowOrder()
{
    QStringList tags;
    for (const ControlRow &r : kControls)
        tags << QLatin1String(r.tag);
    return tags;
}

QVariantMap labelFor(const QString &tag, int index, int count, const QString &itemName)
{
    if (!row(tag) || index < 0 || index >= count)
        return {};
    if (index == count - 1) // "None": the control's own behaviour, no label
        return {{QStringLiteral("visible"), false},
                {QStringLiteral("text"),
                 tag == QLatin1String("midKey")
                     ? QCoreApplication::translate("ConnectDevice", "Enter word")
                     : QString()}};
    return {{QStringLiteral("visible"), true}, {QStringLiteral("text"), itemName}};
}

} // namespace assignrules

QList<int> AssignRules::keyRemovals(const QString &v) const
{
    return assignrules::keyRemovals(v);
}
QList<int> AssignRules::wheelRemovals(const QString &v) const
{
    return assignrules::wheelRemovals(v);
}
QString AssignRules::noneKeyIndex(const QString &v) const
{
    return assignrules::noneKeyIndex(v);
}
QString AssignRules::noneWheelIndex(const QString &v) const
{
    return assignrules::noneWheelIndex(v);
}
QStringList AssignRules::models() const
{
    return assignrules::models();
}
QString AssignRules::initialModel(const QString &stored) const
{
    return assignrules::initialModel(stored);
}
bool AssignRules::isEightKeyModel(const QString &model) const
{
    return assignrules::isEightKeyModel(model);
}
QString AssignRules::entryText(const QString &name, int index, const QString &tag) const
{
    return assignrules::entryText(name, index, tag);
}
QString AssignRules::entrySetter(const QString &tag) const
{
    return assignrules::entrySetter(tag);
}
QString AssignRules::paramPrefix(const QString &tag) const
{
    return assignrules::paramPrefix(tag);
}
QString AssignRules::paramSetter(const QString &tag, int index) const
{
    return assignrules::paramSetter(tag, index);
}
QString AssignRules::speedSetter(const QString &tag, int speedType) const
{
    return assignrules::speedSetter(tag, speedType);
}
QString AssignRules::tagForAction(const QString &action) const
{
    return assignrules::tagForAction(action);
}
QStringList AssignRules::tagsInShowOrder() const
{
    return assignrules::tagsInShowOrder();
}
QVariantMap AssignRules::labelFor(const QString &tag, int index, int count,
                                  const QString &itemName) const
{
    return assignrules::labelFor(tag, index, count, itemName);
}
