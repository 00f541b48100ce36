#include "assignmentrules.h"

#include "controls.h"

#include <QSysInfo>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>

namespace assignment {
namespace {

struct Control
{
    const char *tag;
    const char *entrySetter;
    const char *prefix; // parameter accessors; empty for the wheels
    const char *action; // the mouse picture's name for it
    const char *name;   // what the control is called on screen and by screen readers
};

// In the order the stored configuration is shown.
const Control kControls[] = {
    {"midWheel", "SetMidWheelVal", "", "mid_wheel_wheel", QT_TRANSLATE_NOOP("AssignmentRules", "Middle wheel")},
    {"midKey", "SetMidKeyVal", "Mid", "mid_key_press", QT_TRANSLATE_NOOP("AssignmentRules", "Middle key")},
    {"slideDownKey", "SetSideDownkeyVal", "SliderDown", "side_downKey_press",
     QT_TRANSLATE_NOOP("AssignmentRules", "Side down key")},
    {"slideUpKey", "SetSideUpkeyVal", "SliderUp", "side_upKey_press", QT_TRANSLATE_NOOP("AssignmentRules", "Side up key")},
    {"slideWheel", "SetSideWheel", "", "side_wheel", QT_TRANSLATE_NOOP("AssignmentRules", "Side wheel")},
    {"rightKey", "SetRightKeyVal", "Right", "right_key_press", QT_TRANSLATE_NOOP("AssignmentRules", "Right key")},
};

const Control *control(const QString &tag)
{
    for (const Control &c : kControls)
        if (tag == QLatin1String(c.tag))
            return &c;
    return nullptr;
}

// The first is the one selected when none is stored.
const char *const kModels[] = {"QX210", "QX330", "PL40", "PL60", "PL20", "QX460"};
const char *const kEightKeyModels[] = {"QX210", "QX460"};

// The accessor names of each panel, without "Set"/"Get" and the key's prefix.
// The folder getter keeps the settings class's own spelling.
struct PanelAccessors
{
    const char *setter;
    const char *getter;
};

const PanelAccessors kPanelAccessors[] = {
    {"WebUrl", "WebUrl"},       {"FilePath", "FilePath"},   {"FolderPath", "FloderPath"},
    {"AppPath", "AppPath"},     {"SoundPath", "SoundPath"}, {"MainSpeed", "MainSpeed"},
    {"SelfSpeed", "SelfSpeed"},
};

QString accessorName(const char *verb, const QString &tag, int index, int speedType, bool setter)
{
    const QString prefix = accessorPrefix(tag);
    const Panel panel = panelFor(index);
    if (prefix.isEmpty() || panel == NoPanel ||
        (panel == Speed && speedType != 0 && speedType != 1))
        return QString();
    const PanelAccessors &names = kPanelAccessors[panel - 1 + (panel == Speed ? speedType : 0)];
    return QLatin1String(verb) + prefix + QLatin1String(setter ? names.setter : names.getter);
}

// A text of this file's table (a chooser's filter, a control's name) in the
// language on screen.
QString translated(const char *text)
{
    return QCoreApplication::translate("AssignmentRules", text);
}

} // namespace

QVariantList listItems(catalogue::List list, const QString &versionClass)
{
    QVariantList items;
    for (const catalogue::PageItem &item : catalogue::pageList(list, versionClass)) {
        const catalogue::SourceItem *source = catalogue::item(list, item.canonicalIndex);
        items.append(QVariantMap{
            {QStringLiteral("issueName"), catalogue::shownText(list, item.text)},
            {QStringLiteral("btn_state"), source && source->parameter != nullptr},
            {QStringLiteral("isSelectItem"), QStringLiteral("normal")}});
    }
    return items;
}

QString entryText(const QString &name, int index, const QString &tag)
{
    return name + QLatin1Char('-') + QString::number(index) + QLatin1Char('-') + tag;
}

Panel panelFor(int index)
{
    return index >= WebUrl && index <= Speed ? Panel(index) : NoPanel;
}

bool hasChooser(int index)
{
    return index >= File && index <= Sound;
}

int pageWidth(int index)
{
    return panelFor(index) == NoPanel ? kNarrowWidth : kWideWidth;
}

QString entrySetter(const QString &tag)
{
    const Control *c = control(tag);
    return c ? QLatin1String(c->entrySetter) : QString();
}

QString tagForAction(const QString &action)
{
    for (const Control &c : kControls)
        if (action == QLatin1String(c.action))
            return QLatin1String(c.tag);
    return QString();
}

QStringList tagsInShowOrder()
{
    QStringList tags;
    for (const Control &c : kControls)
        tags << QLatin1String(c.tag);
    return tags;
}

QVariantMap labelFor(const QString &tag, int index, int count, const QString &itemName)
{
    if (!control(tag) || index < 0 || index >= count)
        return {};
    if (index == count - 1) // "None": the control's own behaviour, no label
        return {{QStringLiteral("visible"), false},
                {QStringLiteral("text"),
                 tag == QLatin1String("midKey")
                     ? QCoreApplication::translate("ConnectDevice", "Enter word")
                     : QString()}};
    return {{QStringLiteral("visible"), true}, {QStringLiteral("text"), itemName}};
}

QString spotName(const QString &tag, const QString &function, bool assigned, bool inherited)
{
    const Control *c = control(tag);
    if (!c)
        return QString();
    const QString performed = assigned && !function.isEmpty()
                                  ? function
                                  : QCoreApplication::translate("AssignmentRules", "None");
    if (inherited)
        //: A hot spot of the mouse picture in a program set that leaves the control
        //: to all programs: the control, then the function it has there
        return QCoreApplication::translate("AssignmentRules", "%1: %2, same as all programs")
            .arg(translated(c->name), performed);
    //: A hot spot of the mouse picture: the control, then the function assigned to it
    return QCoreApplication::translate("AssignmentRules", "%1: %2")
        .arg(translated(c->name), performed);
}

QStringList models()
{
    QStringList names;
    for (const char *model : kModels)
        names << QLatin1String(model);
    return names;
}

QString initialModel(const QString &stored)
{
    return models().contains(stored) ? stored : QLatin1String(kModels[0]);
}

bool isEightKeyModel(const QString &model)
{
    return std::any_of(std::begin(kEightKeyModels), std::end(kEightKeyModels),
                       [&](const char *name) { return model == QLatin1String(name); });
}

bool hasModel(const QString &stored)
{
    return !stored.isEmpty() && stored != QLatin1String("NULL");
}

QString accessorPrefix(const QString &tag)
{
    const Control *c = control(tag);
    return c ? QLatin1String(c->prefix) : QString();
}

QString setterName(const QString &tag, int index, int speedType)
{
    return accessorName("Set", tag, index, speedType, true);
}

QString getterName(const QString &tag, int index, int speedType)
{
    return accessorName("Get", tag, index, speedType, false);
}

int speedFromStored(const QString &stored)
{
    bool ok = false;
    const int speed = stored.trimmed().toInt(&ok);
    return ok ? std::clamp(speed, kMinSpeed, kMaxSpeed) : 0;
}

int storedIndex(const QString &stored, int count)
{
    const std::optional<int> index = controls::decimalIndex(stored);
    return index && *index < count ? *index : count - 1;
}

QUrl startFolderFor(const QString &current, const QUrl &fallback)
{
    const QString text = current.trimmed();
    const QUrl url(text);
    const QFileInfo named(url.isLocalFile() ? url.toLocalFile() : text);
    if (fallback.isEmpty() || text.isEmpty() || !named.isAbsolute())
        return fallback;
    if (named.isDir())
        return QUrl::fromLocalFile(named.absoluteFilePath());
    if (named.absoluteDir().exists())
        return QUrl::fromLocalFile(named.absolutePath());
    return fallback;
}

Chooser chooserFor(int index, bool windows, const QString &home, const QString &music)
{
    const QUrl homeUrl = QUrl::fromLocalFile(home);
    Chooser chooser;
    switch (panelFor(index)) {
    case File:
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/")) : homeUrl;
        chooser.nameFilters = QStringList{QStringLiteral("*.*")};
        break;
    case Folder:
        chooser.picksFolder = true;
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/")) : homeUrl;
        break;
    case Program:
        if (windows) {
            chooser.startFolder = QUrl(QStringLiteral("file:///C:/Program Files (x86)/"));
            chooser.nameFilters =
                QStringList{translated(QT_TRANSLATE_NOOP("AssignmentRules", "Program (*.exe)")),
                            translated(QT_TRANSLATE_NOOP("AssignmentRules", "All files (*)"))};
        } else {
            chooser.startFolder = homeUrl;
            chooser.nameFilters =
                QStringList{translated(QT_TRANSLATE_NOOP("AssignmentRules", "All files (*)"))};
        }
        break;
    case Sound:
        chooser.startFolder = windows ? QUrl(QStringLiteral("file:///C:/Windows/Media"))
                                      : QUrl::fromLocalFile(music.isEmpty() ? home : music);
        chooser.nameFilters = QStringList{
            translated(QT_TRANSLATE_NOOP("AssignmentRules", "sound files (*.wav *.mp3)"))};
        break;
    default:
        break;
    }
    return chooser;
}

QString chooserAnswer(const QUrl &chosen)
{
    if (!chosen.isLocalFile())
        return QString();
    const QString path = QDir::fromNativeSeparators(chosen.toLocalFile());
    if (path.isEmpty())
        return QString();
    return QUrl::fromLocalFile(path).toString();
}

} // namespace assignment

AssignmentRules::AssignmentRules(QObject *parent)
    : QObject(parent), m_windows(QSysInfo::kernelType() == QLatin1String("winnt")),
      m_home(QDir::homePath()),
      m_music(QStandardPaths::writableLocation(QStandardPaths::MusicLocation))
{
}

QVariantList AssignmentRules::keyItems(const QString &versionClass) const
{
    return assignment::listItems(catalogue::List::Keys, versionClass);
}

QVariantList AssignmentRules::wheelItems(const QString &versionClass) const
{
    return assignment::listItems(catalogue::List::Wheels, versionClass);
}

int AssignmentRules::keyNoneIndex(const QString &versionClass) const
{
    return catalogue::noneIndex(catalogue::List::Keys, versionClass);
}

int AssignmentRules::wheelNoneIndex(const QString &versionClass) const
{
    return catalogue::noneIndex(catalogue::List::Wheels, versionClass);
}

QString AssignmentRules::entryText(const QString &name, int index, const QString &tag) const
{
    return assignment::entryText(name, index, tag);
}

QString AssignmentRules::entrySetter(const QString &tag) const
{
    return assignment::entrySetter(tag);
}

QString AssignmentRules::tagForAction(const QString &action) const
{
    return assignment::tagForAction(action);
}

QStringList AssignmentRules::tagsInShowOrder() const
{
    return assignment::tagsInShowOrder();
}

QVariantMap AssignmentRules::labelFor(const QString &tag, int index, int count,
                                      const QString &itemName) const
{
    return assignment::labelFor(tag, index, count, itemName);
}

QStringList AssignmentRules::models() const
{
    return assignment::models();
}

QString AssignmentRules::initialModel(const QString &stored) const
{
    return assignment::initialModel(stored);
}

bool AssignmentRules::isEightKeyModel(const QString &model) const
{
    return assignment::isEightKeyModel(model);
}

QString AssignmentRules::textSetterName(const QString &tag, int index) const
{
    return assignment::panelFor(index) == assignment::Speed ? QString()
                                                            : assignment::setterName(tag, index);
}

QString AssignmentRules::speedSetterName(const QString &tag, int speedType) const
{
    return assignment::setterName(tag, assignment::Speed, speedType);
}

QString AssignmentRules::setterName(const QString &tag, int index, int speedType) const
{
    return assignment::setterName(tag, index, speedType);
}

QString AssignmentRules::getterName(const QString &tag, int index, int speedType) const
{
    return assignment::getterName(tag, index, speedType);
}

int AssignmentRules::speedFromStored(const QString &stored) const
{
    return assignment::speedFromStored(stored);
}

bool AssignmentRules::chooserPicksFolder(int index) const
{
    return chooser(index).picksFolder;
}

QUrl AssignmentRules::chooserFolder(int index, const QString &current) const
{
    return assignment::startFolderFor(current, chooser(index).startFolder);
}

QStringList AssignmentRules::chooserFilters(int index) const
{
    return chooser(index).nameFilters;
}

QString AssignmentRules::chooserAnswer(const QUrl &chosen) const
{
    return assignment::chooserAnswer(chosen);
}

assignment::Chooser AssignmentRules::chooser(int index) const
{
    return assignment::chooserFor(index, m_windows, m_home, m_music);
}
