// The rules behind the assignment lists and the connection page: which items a
// Windows version class drops, the "None" index per version, the layout per mouse
// model, and how a control's choice becomes a settings entry. Plain functions so
// that the pages and the tests share them; AssignRules hands them to the pages as
// Qt Quick type an.utility.AssignRules 1.0. Main thread only (no state).
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace assignrules {

// Positions to remove from the full key list (52 items and "None") or the full
// wheel list (9 items and "None"), highest first so that each removal leaves the
// positions still to remove unchanged. Unknown classes are treated like "win7".
QList<int> keyRemovals(const QString &versionClass);
QList<int> wheelRemovals(const QString &versionClass);
// The index of "None" in the trimmed lists, as stored ("48"/"9", "47"/"8" on win8).
QString noneKeyIndex(const QString &versionClass);
QString noneWheelIndex(const QString &versionClass);

// The models offered on the model page, in order, and the one selected for a
// stored value ("QX210" for an unknown or absent model).
QStringList models();
QString initialModel(const QString &stored);
// True for the models with a side wheel ("QX210", "QX460").
bool isEightKeyModel(const QString &model);
// True when `stored` names a model (not "NULL", not empty).
bool hasModel(const QString &stored);

// "name-index-tag".
QString entryText(const QString &name, int index, const QString &tag);
// The OpFunConfFile setter of a control's entry ("SetMidKeyVal" for "midKey");
// empty for an unknown tag.
QString entrySetter(const QString &tag);
// The parameter accessor prefix of a key control ("Mid", "Right", "SliderUp",
// "SliderDown"); empty for wheels and unknown tags.
QString paramPrefix(const QString &tag);
// The setter for a parameter text of list index 1 to 5 ("SetMidWebUrl",
// "SetRightFilePath", ...); empty for any other index or a tag without prefix.
QString paramSetter(const QString &tag, int index);
// The setter for a pointer speed, type 0 main, 1 self; empty otherwise.
QString speedSetter(const QString &tag, int speedType);
// The control tag an action name of the mouse picture opens; empty if unknown.
QString tagForAction(const QString &action);
// The six tags in the order the stored configuration is shown.
QStringList tagsInShowOrder();

// What the connection page's label of a control shows for a chosen index:
// {"visible": bool, "text": string}. `count` is the list's item count (None last);
// an index outside the list yields an empty map (label left as it was).
QVariantMap labelFor(const QString &tag, int index, int count, const QString &itemName);

} // namespace assignrules

class AssignRules : public QObject
{
    Q_OBJECT
public:
    explicit AssignRules(QObject *parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE QList<int> keyRemovals(const QString &v) const;
    Q_INVOKABLE QList<int> wheelRemovals(const QString &v) const;
    Q_INVOKABLE QString noneKeyIndex(const QString &v) const;
    Q_INVOKABLE QString noneWheelIndex(const QString &v) const;
    Q_INVOKABLE QStringList models() const;
    Q_INVOKABLE QString initialModel(const QString &stored) const;
    Q_INVOKABLE bool isEightKeyModel(const QString &model) const;
    Q_INVOKABLE QString entryText(const QString &name, int index, const QString &tag) const;
    Q_INVOKABLE QString entrySetter(const QString &tag) const;
    Q_INVOKABLE QString paramPrefix(const QString &tag) const;
    Q_INVOKABLE QString paramSetter(const QString &tag, int index) const;
    Q_INVOKABLE QString speedSetter(const QString &tag, int speedType) const;
    Q_INVOKABLE QString tagForAction(const QString &action) const;
    Q_INVOKABLE QStringList tagsInShowOrder() const;
    Q_INVOKABLE QVariantMap labelFor(const QString &tag, int index, int count,
                                     const QString &itemName) const;
};
