// The rules behind the six assignment lists and the connection page: which items
// a Windows version class removes, the function entry a choice writes and the
// label it shows, the detail panel of each key item and the settings accessors
// behind it, the choosers' starting places and filters, how a chooser's answer
// and a stored speed are taken over, and the layout per mouse model.
// Qt Quick type an.utility.AssignmentRules 1.0; the functions below it are the
// same rules for C++ callers. All of them may be called from any thread.
#pragma once

#include "catalogue.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

namespace assignment {

// The detail panels of the key lists, numbered by the list index that shows them.
enum Panel { NoPanel = 0, WebUrl = 1, File = 2, Folder = 3, Program = 4, Sound = 5, Speed = 6 };

constexpr int kNarrowWidth = 310; // a key list without a detail panel
constexpr int kWideWidth = 580;   // a key list with its detail panel
constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 20;

// A page's list under `versionClass`, as its list model takes it: each item's
// text in the user's language ("issueName"), whether it has a detail panel
// ("btn_state"), and its mark ("isSelectItem", "normal").
QVariantList listItems(catalogue::List list, const QString &versionClass);

// name + "-" + index + "-" + tag, for example "Copy-12-midKey".
QString entryText(const QString &name, int index, const QString &tag);
// The OpFunConfFile setter of a control's entry ("SetMidKeyVal" for "midKey");
// empty text for an unknown tag.
QString entrySetter(const QString &tag);
// The control tag an action name of the mouse picture opens; empty if unknown.
QString tagForAction(const QString &action);
// The six tags in the order the stored configuration is shown.
QStringList tagsInShowOrder();
// What the connection page's label of a control shows for a chosen index:
// {"visible": bool, "text": string}. `count` is the list's item count (None last);
// an index outside the list or an unknown tag yields an empty map (label left
// as it was).
QVariantMap labelFor(const QString &tag, int index, int count, const QString &itemName);
// What a screen reader says for a control's hot spot: the control and its
// function ("Right key: Copy"), "None" while nothing is assigned (`assigned`
// false, as when its label is hidden); empty text for an unknown tag. `inherited`:
// the selected program set leaves the control to all programs, whose function
// this is, and the name says so.
QString spotName(const QString &tag, const QString &function, bool assigned,
                 bool inherited = false);

// The models offered on the model page, in order, and the one selected for a
// stored value ("QX210" for an unknown or absent model).
QStringList models();
QString initialModel(const QString &stored);
// True for the models with a side wheel ("QX210", "QX460").
bool isEightKeyModel(const QString &model);
// True when `stored` names a model (not "NULL", not empty).
bool hasModel(const QString &stored);

// The panel of a key list index; NoPanel for every other index.
Panel panelFor(int index);
// True for the panels whose input can also be filled by a chooser.
bool hasChooser(int index);
// kWideWidth for an index with a panel, else kNarrowWidth.
int pageWidth(int index);

// "Mid", "Right", "SliderUp" or "SliderDown" for the four key tags; empty text
// for the wheels and unknown tags.
QString accessorPrefix(const QString &tag);
// The OpFunConfFile accessor that stores / reads the parameter of a text panel
// (indexes 1 to 5) of a key, for example "SetMidWebUrl" or "GetRightFloderPath";
// empty text for other indexes and tags. `speedType` picks the speed of index 6:
// 0 the main speed, 1 the own speed.
QString setterName(const QString &tag, int index, int speedType = 0);
QString getterName(const QString &tag, int index, int speedType = 0);

// A stored speed as a slider position: a whole number is clamped to 1..20; 0
// for "", "NULL", "none" and anything else that is not a number, which leaves
// the slider where it is.
int speedFromStored(const QString &stored);
// The list index of a stored entry's index part in a list of `count` items: its
// decimal digits, or "None" (count - 1) for an empty, signed, non-numeric or
// overlong part or one past the list, as the agent and the sync read it.
int storedIndex(const QString &stored, int count);

// What the chooser of a text panel starts in and offers.
struct Chooser
{
    bool picksFolder = false;
    QUrl startFolder;
    QStringList nameFilters;
};

// The chooser of an index (2 file, 3 folder, 4 program, 5 sound). On Windows
// (`windows`) the system's own folders; elsewhere the user's home folder
// (`home`), its music folder (`music`) for sounds, and no ".exe" filter. An
// index without a chooser answers an empty start folder.
Chooser chooserFor(int index, bool windows, const QString &home, const QString &music);
// Where a chooser opens for the input's `current` value (a path or a file URL):
// the folder it names, the folder of the file it names (which may be gone), or,
// for anything else, `fallback`.
QUrl startFolderFor(const QString &current, const QUrl &fallback);

// A chooser's answer as the panel stores it: a file URL, "file:///" followed by
// the local path with forward slashes; characters that would end the path in a
// URL ("#", "?", "%") stay percent-encoded. Empty text for an empty or non-local
// answer.
QString chooserAnswer(const QUrl &chosen);

} // namespace assignment

// The same rules for the pages. The main page finds here what it needs to trim
// the six lists, to set their default items, to build the entries and to call
// the parameter setters; the key lists, the model and connection pages use the
// rest.
class AssignmentRules : public QObject
{
    Q_OBJECT
public:
    // Uses the native backend's system family and the user's own folders.
    explicit AssignmentRules(QObject *parent = nullptr);

    Q_INVOKABLE QVariantList keyItems(const QString &versionClass) const;
    Q_INVOKABLE QVariantList wheelItems(const QString &versionClass) const;
    Q_INVOKABLE int keyNoneIndex(const QString &versionClass) const;
    Q_INVOKABLE int wheelNoneIndex(const QString &versionClass) const;
    Q_INVOKABLE QString entryText(const QString &name, int index, const QString &tag) const;
    Q_INVOKABLE QString entrySetter(const QString &tag) const;
    Q_INVOKABLE QString tagForAction(const QString &action) const;
    Q_INVOKABLE QStringList tagsInShowOrder() const;
    Q_INVOKABLE QVariantMap labelFor(const QString &tag, int index, int count,
                                     const QString &itemName) const;
    Q_INVOKABLE QString spotName(const QString &tag, const QString &function, bool assigned,
                                 bool inherited) const
    {
        return assignment::spotName(tag, function, assigned, inherited);
    }
    Q_INVOKABLE QStringList models() const;
    Q_INVOKABLE QString initialModel(const QString &stored) const;
    Q_INVOKABLE bool isEightKeyModel(const QString &model) const;

    Q_INVOKABLE int panelFor(int index) const { return assignment::panelFor(index); }
    Q_INVOKABLE bool hasChooser(int index) const { return assignment::hasChooser(index); }
    Q_INVOKABLE int pageWidth(int index) const { return assignment::pageWidth(index); }
    Q_INVOKABLE QString setterName(const QString &tag, int index, int speedType = 0) const;
    Q_INVOKABLE QString getterName(const QString &tag, int index, int speedType = 0) const;
    // setterName() for the text panels only (indexes 1 to 5), and for a speed.
    Q_INVOKABLE QString textSetterName(const QString &tag, int index) const;
    Q_INVOKABLE QString speedSetterName(const QString &tag, int speedType) const;
    Q_INVOKABLE int speedFromStored(const QString &stored) const;
    Q_INVOKABLE bool hasModel(const QString &stored) const { return assignment::hasModel(stored); }
    Q_INVOKABLE int storedIndex(const QString &stored, int count) const
    {
        return assignment::storedIndex(stored, count);
    }

    Q_INVOKABLE bool chooserPicksFolder(int index) const;
    Q_INVOKABLE QUrl chooserFolder(int index, const QString &current = QString()) const;
    Q_INVOKABLE QStringList chooserFilters(int index) const;
    Q_INVOKABLE QString chooserAnswer(const QUrl &chosen) const;

private:
    assignment::Chooser chooser(int index) const;

    bool m_windows;
    QString m_home;
    QString m_music;
};
