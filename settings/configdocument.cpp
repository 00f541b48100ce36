#include "configdocument.h"

#include "catalogue.h"
#include "controls.h"
#include "keycombination.h"
#include "programsets.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <array>
#include <cmath>
#include <optional>

namespace {

using Getter = QString (OpFunConfFile::*)();
using Setter = void (OpFunConfFile::*)(const QString &);

struct ControlKey
{
    const char *key;
    Getter entryJson;
    Setter setEntry;
};

// In the order the document is built.
const std::array<ControlKey, 6> kControlKeys = {{
    {"Mid_key", &OpFunConfFile::GetMidKeyVal, &OpFunConfFile::SetMidKeyVal},
    {"Mid_wheel", &OpFunConfFile::GetMidWheelVal, &OpFunConfFile::SetMidWheelVal},
    {"Right_key", &OpFunConfFile::GetRightKeyVal, &OpFunConfFile::SetRightKeyVal},
    {"Side_downkey", &OpFunConfFile::GetSideDownkeyVal, &OpFunConfFile::SetSideDownkeyVal},
    {"Side_upkey", &OpFunConfFile::GetSideUpkeyVal, &OpFunConfFile::SetSideUpkeyVal},
    {"Side_wheel", &OpFunConfFile::GetSideWheel, &OpFunConfFile::SetSideWheel},
}};

// The order in which a downloaded document's controls are written.
const std::array<int, 6> kApplyOrder = {0, 2, 1, 3, 4, 5};
constexpr int kRightKeyRow = 2;

struct PathKey
{
    const char *key;
    Getter get;
    Setter set;
};

// clang-format off
#define VELKO_PATH_ROWS(prefix, Name)                                                              \
    {prefix "_web_url", &OpFunConfFile::Get##Name##WebUrl, &OpFunConfFile::Set##Name##WebUrl},    \
    {prefix "_file_path", &OpFunConfFile::Get##Name##FilePath, &OpFunConfFile::Set##Name##FilePath}, \
    {prefix "_folder_path", &OpFunConfFile::Get##Name##FloderPath,                                 \
     &OpFunConfFile::Set##Name##FolderPath},                                                       \
    {prefix "_app_path", &OpFunConfFile::Get##Name##AppPath, &OpFunConfFile::Set##Name##AppPath},  \
    {prefix "_sound_path", &OpFunConfFile::Get##Name##SoundPath,                                   \
     &OpFunConfFile::Set##Name##SoundPath},                                                        \
    {prefix "_main_speed", &OpFunConfFile::Get##Name##MainSpeed,                                   \
     &OpFunConfFile::Set##Name##MainSpeed},                                                        \
    {prefix "_self_speed", &OpFunConfFile::Get##Name##SelfSpeed,                                   \
     &OpFunConfFile::Set##Name##SelfSpeed}

// The 28 parameters, in the order mid, right, slider_up, slider_down.
const std::array<PathKey, 28> kPathKeys = {{
    VELKO_PATH_ROWS("mid", Mid),
    VELKO_PATH_ROWS("right", Right),
    VELKO_PATH_ROWS("slider_up", SliderUp),
    VELKO_PATH_ROWS("slider_down", SliderDown),
}};

#undef VELKO_PATH_ROWS
// clang-format on

const controls::Control &controlOf(const ControlKey &key)
{
    return *controls::bySetKey(key.key); // every row names a control
}

// A control's key combination members (keycombination.h), added when it has one:
// an older document simply lacks them, and an older program ignores them.
void addCombination(OpFunConfFile &conf, const ControlKey &key, QJsonObject &object)
{
    const controls::Control &control = controlOf(key);
    const QStringList texts = conf.combinationTexts(control, true);
    const QStringList members = keycombination::storageKeys(control);
    for (int i = 0; i < texts.size(); ++i)
        object.insert(members[i], texts[i]);
}

// The texts of a control's combination members; empty when the document has
// none, or one that is no usable combination (logged; the control keeps "no
// combination").
QStringList combinationFrom(const QJsonObject &object, const ControlKey &key)
{
    QStringList texts;
    for (const QString &member : keycombination::storageKeys(controlOf(key))) {
        const QJsonValue value = object.value(member);
        if (value.isUndefined())
            return {};
        if (!value.isString() || !keycombination::parse(value.toString())) {
            qDebug().noquote() << member << "is no usable key combination: no combination";
            return {};
        }
        texts << value.toString();
    }
    return texts;
}

bool isDecimal(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The catalogue index of an entry document: a decimal text, or a whole number
// (another client may send 48 for "48").
QString indexText(const QJsonValue &index)
{
    if (index.isString())
        return index.toString();
    if (index.isDouble()) {
        const double value = index.toDouble();
        if (value >= 0 && value <= 1e9 && std::floor(value) == value)
            return QString::number(qint64(value));
    }
    return QString();
}

// True when `index` is a position of the control's list as a page shows it
// (0..48 for a key, 0..9 for a wheel).
bool isListIndex(const QString &index, const char *controlKey)
{
    const bool wheel = controls::bySetKey(controlKey)->isWheel;
    bool ok = false;
    const int value = index.toInt(&ok, 10);
    return ok && value >= 0 && value < (wheel ? catalogue::kWheelCount : catalogue::kKeyCount);
}

// The function entry that a control value of a downloaded document stands for,
// or the empty text when it is none: the value must be an entry document whose
// index is a decimal number inside the control's list and whose parts contain no
// "-", since the agent reads the index between the first two "-" and would
// otherwise perform a function that was never chosen (an index too large for a
// number reads there as 0, "Media Player").
QString entryFromDocument(const QJsonValue &value, const char *controlKey)
{
    const QJsonDocument document = QJsonDocument::fromJson(value.toString().toUtf8());
    if (!document.isObject())
        return QString();
    const QJsonObject object = document.object();
    auto text = [&object](const char *member) {
        const QJsonValue v = object.value(QLatin1String(member));
        return v.isString() ? v.toString() : QString();
    };
    const QString index = indexText(object.value(QLatin1String("index")));
    const QString entry = text("name") + QLatin1Char('-') + index + QLatin1Char('-') + text("tag");
    if (!isDecimal(index) || !isListIndex(index, controlKey) ||
        controls::splitEntry(entry).isEmpty())
        return QString();
    return entry;
}

// The "programs" member as the sets it stands for; nullopt (and why in `problem`)
// when any part of it cannot be used. Members other than the program, its name and
// the control and path keys are ignored.
std::optional<QVector<OpFunConfFile::StoredSet>> programSetsFrom(const QJsonValue &member,
                                                                 QString *problem)
{
    auto refuse = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (!member.isArray())
        return refuse(QStringLiteral("\"programs\" is not a list"));
    const QJsonArray list = member.toArray();
    if (list.size() > programsets::kMaxSets)
        return refuse(QStringLiteral("%1 program sets, at most %2 are kept")
                          .arg(list.size())
                          .arg(programsets::kMaxSets));
    QVector<OpFunConfFile::StoredSet> sets;
    QSet<QString> seen;
    for (int i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("program set %1: ").arg(i + 1);
        if (!list[i].isObject())
            return refuse(where + QStringLiteral("not an object"));
        const QJsonObject object = list[i].toObject();
        OpFunConfFile::StoredSet set;
        set.program = object.value(QLatin1String("program")).toString();
        if (!programsets::isValidProgram(set.program))
            return refuse(where + QStringLiteral("no usable program name"));
        if (seen.contains(programsets::matchKey(set.program)))
            return refuse(where + QStringLiteral("repeats program ") + set.program);
        seen.insert(programsets::matchKey(set.program));
        const QJsonValue name = object.value(QLatin1String("name"));
        if (!name.isUndefined() && !name.isString())
            return refuse(where + QStringLiteral("the name is not text"));
        set.name = name.toString().trimmed().left(programsets::kMaxProgramNameLength);
        if (set.name.isEmpty())
            set.name = set.program;
        for (const ControlKey &control : kControlKeys) {
            const QJsonValue value = object.value(QLatin1String(control.key));
            if (value.isUndefined())
                continue;
            const QString entry = entryFromDocument(value, control.key);
            if (entry.isEmpty())
                return refuse(where + QStringLiteral("no usable entry for ") +
                              QLatin1String(control.key));
            set.values.insert(QLatin1String(control.key), entry);
            const QStringList texts = combinationFrom(object, control);
            const QStringList members = keycombination::storageKeys(controlOf(control));
            for (int m = 0; m < texts.size(); ++m)
                set.values.insert(members[m], texts[m]);
        }
        for (const PathKey &path : kPathKeys) {
            const QJsonValue value = object.value(QLatin1String(path.key));
            if (value.isUndefined())
                continue;
            if (!value.isString())
                return refuse(where + QLatin1String(path.key) + QStringLiteral(" is not text"));
            set.values.insert(QLatin1String(path.key), value.toString());
        }
        sets.append(set);
    }
    return sets;
}

// A control's entry as the upload carries it (the getter's JSON text), read as the
// agent reads it: an entry it cannot use goes up as "None" from the set for all
// programs, and as no entry ("Same as all programs") from a program's set. An
// absent entry stays absent.
QString uploadedEntry(OpFunConfFile &conf, const ControlKey &key, bool inSet)
{
    const QString stored = conf.storedEntry(key.key);
    if (stored == QLatin1String("NULL"))
        return QString();
    const controls::Control &control = controlOf(key);
    if (controls::entryIndex(stored, control, conf.versionClass()))
        return (conf.*key.entryJson)();
    return inSet ? QString()
                 : controls::entryToJson(controls::defaultEntry(control, conf.versionClass()));
}

} // namespace

namespace configdoc {

QJsonObject build(OpFunConfFile &conf)
{
    conf.fixSet(0);
    conf.syncMouseIni();
    QJsonObject document;
    for (const ControlKey &control : kControlKeys) {
        document.insert(QLatin1String(control.key), uploadedEntry(conf, control, false));
        addCombination(conf, control, document);
    }
    for (const PathKey &path : kPathKeys) {
        // The getters already answer "" for "none" in any letter case.
        const QString value = (conf.*path.get)();
        document.insert(QLatin1String(path.key), value.isEmpty() ? QStringLiteral("none") : value);
    }
    const QVector<programsets::ProgramSet> sets = conf.sets();
    if (sets.isEmpty())
        return document;
    QJsonArray programs;
    for (const programsets::ProgramSet &set : sets) {
        conf.fixSet(set.section);
        QJsonObject object{{QStringLiteral("program"), set.program},
                           {QStringLiteral("name"), set.name}};
        for (const ControlKey &control : kControlKeys) {
            const QString json = uploadedEntry(conf, control, true);
            if (!json.isEmpty())
                object.insert(QLatin1String(control.key), json);
            addCombination(conf, control, object);
        }
        // Parameters at their defaults are left out (documents stay small; the
        // download gives an assigned key's missing parameters their defaults).
        for (const PathKey &path : kPathKeys) {
            const QString value = (conf.*path.get)(); // "" for "none"
            const QString stored = value.isEmpty() ? QStringLiteral("none") : value;
            if (value != QLatin1String("NULL") &&
                stored != controls::defaultParameter(QLatin1String(path.key)))
                object.insert(QLatin1String(path.key), value);
        }
        programs.append(object);
    }
    conf.fixSet(0);
    document.insert(QStringLiteral("programs"), programs);
    return document;
}

bool apply(OpFunConfFile &conf, const QJsonObject &document, QString *problem)
{
    std::optional<QVector<OpFunConfFile::StoredSet>> sets;
    const QJsonValue programs = document.value(QLatin1String("programs"));
    if (!programs.isUndefined()) {
        sets = programSetsFrom(programs, problem);
        if (!sets)
            return false;
    }
    conf.fixSet(0);
    conf.syncMouseIni();
    conf.setUp();
    qDebug() << "QJsonParseError::NoError";
    for (int row : kApplyOrder) {
        const ControlKey &control = kControlKeys[size_t(row)];
        const QString entry =
            entryFromDocument(document.value(QLatin1String(control.key)), control.key);
        if (entry.isEmpty()) {
            qDebug() << "GetDriverConf: keeping" << control.key << "- no usable entry document";
            continue;
        }
        if (row == kRightKeyRow)
            qDebug() << QStringLiteral("下载到的右键") << entry;
        (conf.*control.setEntry)(entry);
        const QStringList texts = combinationFrom(document, control);
        if (!texts.isEmpty())
            conf.writeCombination(controlOf(control), texts);
    }
    for (const PathKey &path : kPathKeys) {
        const QJsonValue value = document.value(QLatin1String(path.key));
        if (value.isString())
            (conf.*path.set)(value.toString());
        else if (!value.isUndefined())
            qDebug() << "GetDriverConf: keeping" << path.key << "- value is not text";
    }
    if (sets)
        conf.replaceProgramSets(*sets);
    conf.syncIniToFile();
    return true;
}

bool check(const QJsonObject &document, QString *problem, QStringList *unknown)
{
    auto refuse = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return false;
    };
    QSet<QString> known{QStringLiteral("programs")};
    for (const ControlKey &control : kControlKeys) {
        known.insert(QLatin1String(control.key));
        for (const QString &member : keycombination::storageKeys(controlOf(control))) {
            known.insert(member);
            const QJsonValue value = document.value(member);
            if (!value.isUndefined() && !value.isString())
                return refuse(member + QStringLiteral(": not text"));
        }
        const QJsonValue value = document.value(QLatin1String(control.key));
        if (value.isUndefined() || (value.isString() && value.toString().isEmpty()))
            continue;
        if (entryFromDocument(value, control.key).isEmpty())
            return refuse(QLatin1String(control.key) + QStringLiteral(": no usable entry"));
    }
    for (const PathKey &path : kPathKeys) {
        known.insert(QLatin1String(path.key));
        const QJsonValue value = document.value(QLatin1String(path.key));
        if (!value.isUndefined() && !value.isString())
            return refuse(QLatin1String(path.key) + QStringLiteral(": not text"));
    }
    const QJsonValue programs = document.value(QLatin1String("programs"));
    if (!programs.isUndefined() && !programSetsFrom(programs, problem))
        return false;
    if (unknown)
        for (const QString &key : document.keys())
            if (!known.contains(key))
                *unknown << key;
    return true;
}

} // namespace configdoc
