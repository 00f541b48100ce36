#include "opfunconffile.h"

#include "inputsource.h"

#include "keycombination.h"

#include "appenv.h"
#include "controls.h"

#include <QDebug>
#include <QRegularExpression>

#include <algorithm>

const std::shared_ptr<ProgramSetSelection> &ProgramSetSelection::shared()
{
    static const std::shared_ptr<ProgramSetSelection> selection =
        std::make_shared<ProgramSetSelection>();
    return selection;
}

void ProgramSetSelection::set(const QString &modelFile, int newSection)
{
    if (file == modelFile && section == newSection)
        return;
    file = modelFile;
    section = newSection;
    emit selectionChanged();
}

OpFunConfFile::OpFunConfFile(QObject *parent)
    : QObject(parent), m_selection(ProgramSetSelection::shared())
{
    m_mainIni.setSetIniPath(appenv::mainSettingsPath());
    qDebug() << "new OpFunConfFile";
    m_versionClass = appenv::windowsVersionClass();
    connect(m_selection.get(), &ProgramSetSelection::selectionChanged, this,
            &OpFunConfFile::selectedSetChanged);
    connect(m_selection.get(), &ProgramSetSelection::setsChanged, this,
            &OpFunConfFile::programSetsChanged);
}

void OpFunConfFile::syncMouseIni()
{
    const int before = selectedSet();
    m_modelIni.setSetIniPath(
        appenv::modelSettingsPath(m_pinnedModel.isEmpty() ? GetCurrentMouse() : m_pinnedModel));
    // Another model's file: its sets are others, start from "All programs".
    if (m_selection->file != m_modelIni.path())
        m_selection->set(m_modelIni.path(), 0);
    if (selectedSet() != before)
        emit selectedSetChanged();
}

void OpFunConfFile::pinModel(const QString &model)
{
    m_pinnedModel = model;
    syncMouseIni();
}

void OpFunConfFile::syncIniToFile()
{
    m_modelIni.sync();
}

void OpFunConfFile::setUp()
{
    if (m_modelIni.getValue(QStringLiteral("/SET/isConf"))
            .compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0)
        return;
    // A file without the mark may still hold entries: written after it had been
    // deleted by hand while its model stayed chosen, or left half-written. They
    // stay; only what is missing gets its default.
    writeDefaults(false);
}

void OpFunConfFile::SetCurrentMouse(const QString &val)
{
    m_mainIni.setValue(QStringLiteral("/SET/mouse"), val);
    m_mainIni.sync();
    syncMouseIni();
    setUp();
}

void OpFunConfFile::SetMidKeyVal(const QString &val)
{
    setEntry("Mid_key", val);
}

void OpFunConfFile::SetRightKeyVal(const QString &val)
{
    setEntry("Right_key", val);
}

void OpFunConfFile::SetMidWheelVal(const QString &val)
{
    setEntry("Mid_wheel", val);
}

void OpFunConfFile::SetSideDownkeyVal(const QString &val)
{
    setEntry("Side_downkey", val);
}

void OpFunConfFile::SetSideUpkeyVal(const QString &val)
{
    setEntry("Side_upkey", val);
}

void OpFunConfFile::SetSideWheel(const QString &val)
{
    setEntry("Side_wheel", val);
}

void OpFunConfFile::SetDefault()
{
    writeDefaults(true);
}

void OpFunConfFile::writeDefaults(bool replace)
{
    const auto missing = [this](const QString &key) {
        return m_modelIni.getValue(key) == QLatin1String("NULL");
    };
    // The order in which the entries are written.
    static const int order[] = {controls::MidKey, controls::MidWheel, controls::RightKey,
                                controls::SideUpKey, controls::SideDownKey, controls::SideWheel};
    for (int number : order) {
        const controls::Control &c = *controls::byNumber(number);
        if (!replace && !missing(controls::setKeyPath(c)))
            continue;
        m_modelIni.setValue(controls::setKeyPath(c), controls::defaultEntry(c, m_versionClass));
        for (const QString &key : keycombination::storageKeys(c))
            m_modelIni.remove(QStringLiteral("/SET/") + key);
    }
    for (const controls::Control &c : controls::kControls) {
        if (c.isWheel)
            continue;
        for (const char *suffix : controls::kPathSuffixes) {
            const QString key = controls::pathKey(QLatin1String(c.prefix), QLatin1String(suffix));
            if (replace || missing(key))
                m_modelIni.setValue(key, controls::defaultParameter(QLatin1String(suffix)));
        }
    }
    m_modelIni.setValue(QStringLiteral("/SET/isConf"), QStringLiteral("Y"));
    m_modelIni.sync();
}

QString OpFunConfFile::GetCurrentMouse()
{
    // A name that is no plain file name (edited by hand, "../x") is no model.
    const QString model = m_mainIni.getValue(QStringLiteral("/SET/mouse"));
    return appenv::isPlainFileName(model) ? model : QStringLiteral("NULL");
}

QString OpFunConfFile::storedEntry(const char *setKey)
{
    if (!m_modelIni.isBound())
        return QStringLiteral("NULL");
    return m_modelIni.getValue(addressed("SET", QLatin1String(setKey)));
}

QString OpFunConfFile::entryJson(const char *setKey)
{
    if (!m_modelIni.isBound())
        return QString();
    return controls::entryToJson(storedEntry(setKey));
}

void OpFunConfFile::setEntry(const char *setKey, const QString &value)
{
    m_modelIni.setValue(addressed("SET", QLatin1String(setKey)), value);
    // Any other function the page stores replaces a combination.
    if (const controls::Control *control = controls::bySetKey(setKey))
        for (const QString &key : keycombination::storageKeys(*control))
            m_modelIni.remove(addressed("SET", key));
    const int section = selectedSet();
    if (section > 0)
        seedParameters(section, QLatin1String(setKey));
}

// A key assigned in a program set takes its parameters from that set: give the
// absent ones the defaults the default set starts with, so that none reads as absent.
void OpFunConfFile::seedParameters(int section, const QString &setKey)
{
    for (const controls::Control &c : controls::kControls) {
        if (c.isWheel || setKey != QLatin1String(c.setKey))
            continue;
        for (const char *suffix : controls::kPathSuffixes) {
            const QString key =
                programsets::sectionKey(section, QLatin1String(c.prefix) + QLatin1String(suffix));
            if (m_modelIni.getValue(key) == QLatin1String("NULL"))
                m_modelIni.setValue(key, controls::defaultParameter(QLatin1String(suffix)));
        }
    }
}

QString OpFunConfFile::addressed(const char *group, const QString &name) const
{
    const int section = selectedSet();
    if (section > 0)
        return programsets::sectionKey(section, name);
    return QLatin1Char('/') + QLatin1String(group) + QLatin1Char('/') + name;
}

int OpFunConfFile::selectedSet() const
{
    if (m_fixedSet)
        return *m_fixedSet;
    return m_modelIni.isBound() && m_selection->file == m_modelIni.path() ? m_selection->section : 0;
}

void OpFunConfFile::selectSet(int section)
{
    if (!m_modelIni.isBound())
        return;
    if (section != 0) {
        const QVector<programsets::ProgramSet> stored = sets();
        const bool known = std::any_of(stored.begin(), stored.end(), [section](const auto &set) {
            return set.section == section;
        });
        if (!known) {
            qDebug() << "OpFunConfFile: no program set in section" << section;
            return;
        }
    }
    if (m_fixedSet) {
        m_fixedSet = section;
        return;
    }
    m_selection->set(m_modelIni.path(), section);
}

void OpFunConfFile::fixSet(std::optional<int> section)
{
    m_fixedSet = section;
}

QVector<programsets::ProgramSet> OpFunConfFile::sets()
{
    if (!m_modelIni.isBound())
        return {};
    QStringList problems;
    const QVector<programsets::ProgramSet> result = programsets::readSets(m_modelIni, &problems);
    for (const QString &problem : problems)
        qDebug().noquote() << problem;
    return result;
}

QVariantList OpFunConfFile::programSets()
{
    QVariantList list;
    for (const programsets::ProgramSet &set : sets())
        list.append(QVariantMap{{QStringLiteral("section"), set.section},
                                {QStringLiteral("program"), set.program},
                                {QStringLiteral("name"), set.name}});
    return list;
}

int OpFunConfFile::storedCount()
{
    bool ok = false;
    const int count = m_modelIni.getValue(programsets::countKey()).trimmed().toInt(&ok, 10);
    return ok ? std::clamp(count, 0, programsets::kMaxSets) : 0;
}

int OpFunConfFile::AddProgramSet(const QString &program, const QString &name)
{
    if (!m_modelIni.isBound() || !programsets::isValidProgram(program))
        return 0;
    const QVector<programsets::ProgramSet> stored = sets();
    if (const programsets::ProgramSet *existing = programsets::find(stored, program))
        return existing->section;
    const int count = storedCount();
    if (count >= programsets::kMaxSets || stored.size() >= programsets::kMaxSets)
        return 0;
    const int section = count + 1;
    const QString shown = name.trimmed().left(programsets::kMaxProgramNameLength);
    m_modelIni.remove(QLatin1Char('/') + programsets::sectionGroup(section)); // leftovers of an older list
    m_modelIni.setValue(programsets::programKey(section), program);
    m_modelIni.setValue(programsets::nameKey(section), shown.isEmpty() ? program : shown);
    m_modelIni.setValue(programsets::countKey(), QString::number(section));
    m_modelIni.sync();
    m_selection->announceSetsChanged();
    return section;
}

bool OpFunConfFile::RemoveProgramSet(int section)
{
    const int count = storedCount();
    if (!m_modelIni.isBound() || section < 1 || section > count)
        return false;
    // Every later section is rewritten whole one number lower.
    QVector<QMap<QString, QString>> later;
    for (int n = section + 1; n <= count; ++n) {
        QMap<QString, QString> values;
        for (const QString &key : m_modelIni.childKeys(programsets::sectionGroup(n)))
            values.insert(key, m_modelIni.getValue(programsets::sectionKey(n, key)));
        later.append(values);
    }
    for (int n = section; n <= count; ++n)
        m_modelIni.remove(QLatin1Char('/') + programsets::sectionGroup(n));
    for (int i = 0; i < later.size(); ++i)
        for (auto it = later[i].cbegin(); it != later[i].cend(); ++it)
            m_modelIni.setValue(programsets::sectionKey(section + i, it.key()), it.value());
    if (count == 1)
        m_modelIni.remove(QStringLiteral("/PROGRAMS"));
    else
        m_modelIni.setValue(programsets::countKey(), QString::number(count - 1));
    m_modelIni.sync();

    const int selected = selectedSet();
    if (!m_fixedSet && selected >= section)
        m_selection->set(m_modelIni.path(), selected == section ? 0 : selected - 1);
    m_selection->announceSetsChanged();
    return true;
}

QVariantMap OpFunConfFile::AllProgramsAssignment(const QString &tag)
{
    const controls::Control *control = controls::byTag(tag);
    if (!control || !m_modelIni.isBound())
        return {};
    const std::optional<int> selection = m_fixedSet;
    m_fixedSet = 0;
    const std::optional<int> index =
        controls::entryIndex(storedEntry(control->setKey), *control, m_versionClass);
    QVariantMap assignment{
        {QStringLiteral("index"), index ? QString::number(*index) : QString()},
        {QStringLiteral("combination"), combinationTexts(*control, m_windowsNames)}};
    m_fixedSet = selection;
    return assignment;
}

bool OpFunConfFile::SetSameAsAllPrograms(const QString &tag)
{
    const int section = selectedSet();
    const controls::Control *control = controls::byTag(tag);
    if (section < 1 || !control)
        return false;
    m_modelIni.remove(programsets::sectionKey(section, QLatin1String(control->setKey)));
    for (const QString &key : keycombination::storageKeys(*control))
        m_modelIni.remove(programsets::sectionKey(section, key));
    if (!control->isWheel) {
        for (const char *suffix : controls::kPathSuffixes)
            m_modelIni.remove(programsets::sectionKey(
                section, QLatin1String(control->prefix) + QLatin1String(suffix)));
    }
    m_modelIni.sync();
    return true;
}

void OpFunConfFile::clearSection(int section)
{
    const QString program = QStringLiteral("program"), name = QStringLiteral("name");
    for (const QString &key : m_modelIni.childKeys(programsets::sectionGroup(section)))
        if (key != program && key != name)
            m_modelIni.remove(programsets::sectionKey(section, key));
}

void OpFunConfFile::RestoreSelectedSet()
{
    const int section = selectedSet();
    if (section == 0) {
        SetDefault();
        return;
    }
    clearSection(section);
    m_modelIni.sync();
}

void OpFunConfFile::RestoreEverything()
{
    if (!m_modelIni.isBound())
        return;
    for (int section = 1; section <= storedCount(); ++section)
        clearSection(section);
    SetDefault(); // syncs
}

void OpFunConfFile::replaceProgramSets(const QVector<StoredSet> &replacement)
{
    if (!m_modelIni.isBound())
        return;
    static const QRegularExpression sectionName(QStringLiteral("^PROGRAM[0-9]+$"));
    for (const QString &group : m_modelIni.childGroups())
        if (sectionName.match(group).hasMatch() || group == QLatin1String("PROGRAMS"))
            m_modelIni.remove(QLatin1Char('/') + group);
    int section = 0;
    for (const StoredSet &set : replacement) {
        if (++section > programsets::kMaxSets)
            break;
        m_modelIni.setValue(programsets::programKey(section), set.program);
        m_modelIni.setValue(programsets::nameKey(section), set.name);
        for (auto it = set.values.cbegin(); it != set.values.cend(); ++it)
            m_modelIni.setValue(programsets::sectionKey(section, it.key()), it.value());
        for (auto it = set.values.cbegin(); it != set.values.cend(); ++it)
            seedParameters(section, it.key());
    }
    if (section > 0)
        m_modelIni.setValue(programsets::countKey(), QString::number(section));
    m_selection->set(m_modelIni.path(), 0);
    m_selection->announceSetsChanged();
}

QStringList OpFunConfFile::GetCombination(const QString &tag)
{
    const controls::Control *control = controls::byTag(tag);
    return control ? combinationTexts(*control, m_windowsNames) : QStringList();
}

QStringList OpFunConfFile::combinationTexts(const controls::Control &control, bool windowsNames)
{
    if (!m_modelIni.isBound())
        return {};
    // Only behind the list's "None": an older program that stored another
    // function left the combination's keys alone.
    const std::optional<int> index = controls::entryIndex(
        m_modelIni.getValue(addressed("SET", QLatin1String(control.setKey))), control,
        m_versionClass);
    if (!index || *index != controls::noneIndex(control, m_versionClass))
        return {};
    QStringList texts;
    for (const QString &key : keycombination::storageKeys(control)) {
        const std::optional<keycombination::Combination> combination =
            keycombination::parse(m_modelIni.getValue(addressed("SET", key)));
        if (!combination)
            return {};
        texts << keycombination::format(*combination, windowsNames);
    }
    return texts;
}

bool OpFunConfFile::writeCombination(const controls::Control &control, const QStringList &texts,
                                     QString *problem)
{
    const QStringList keys = keycombination::storageKeys(control);
    if (!m_modelIni.isBound() || texts.size() != keys.size()) {
        if (problem)
            *problem = keycombination::describe(keycombination::Problem::Empty, QString());
        return false;
    }
    QStringList stored;
    for (const QString &text : texts) {
        keycombination::Problem refused = keycombination::Problem::None;
        QString name;
        const std::optional<keycombination::Combination> combination =
            keycombination::parse(text, &refused, &name);
        if (!combination) {
            if (problem)
                *problem = keycombination::describe(refused, name);
            return false;
        }
        stored << keycombination::format(*combination, true); // the stored form names "Win"
    }
    setEntry(control.setKey, keycombination::entryFor(control, m_versionClass));
    for (int i = 0; i < keys.size(); ++i)
        m_modelIni.setValue(addressed("SET", keys[i]), stored[i]);
    return true;
}

QString OpFunConfFile::SetCombination(const QString &tag, const QStringList &texts)
{
    const controls::Control *control = controls::byTag(tag);
    if (!control || !m_modelIni.isBound())
        return QStringLiteral("no such control");
    QString problem;
    if (!writeCombination(*control, texts, &problem))
        return problem;
    m_modelIni.sync();
    return QString();
}

QString OpFunConfFile::GetMidKeyVal()
{
    return entryJson("Mid_key");
}

QString OpFunConfFile::GetRightKeyVal()
{
    return entryJson("Right_key");
}

QString OpFunConfFile::GetMidWheelVal()
{
    const QString json = entryJson("Mid_wheel");
    qDebug() << "Mid_wheel:" << json;
    return json;
}

QString OpFunConfFile::GetSideDownkeyVal()
{
    return entryJson("Side_downkey");
}

QString OpFunConfFile::GetSideUpkeyVal()
{
    return entryJson("Side_upkey");
}

QString OpFunConfFile::GetSideWheel()
{
    return entryJson("Side_wheel");
}

QString OpFunConfFile::pathValue(const QString &key)
{
    const QString value = m_modelIni.getValue(addressed("PATH", key));
    if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return QString();
    return value;
}

void OpFunConfFile::setPathValue(const QString &key, const QString &value)
{
    m_modelIni.setValue(addressed("PATH", key), value);
}

QString OpFunConfFile::GetMidWebUrl()
{
    return pathValue(QStringLiteral("mid_web_url"));
}

QString OpFunConfFile::GetMidFilePath()
{
    return pathValue(QStringLiteral("mid_file_path"));
}

QString OpFunConfFile::GetMidFloderPath()
{
    return pathValue(QStringLiteral("mid_folder_path"));
}

QString OpFunConfFile::GetMidAppPath()
{
    return pathValue(QStringLiteral("mid_app_path"));
}

QString OpFunConfFile::GetMidSoundPath()
{
    return pathValue(QStringLiteral("mid_sound_path"));
}

QString OpFunConfFile::GetMidMainSpeed()
{
    return pathValue(QStringLiteral("mid_main_speed"));
}

QString OpFunConfFile::GetMidSelfSpeed()
{
    return pathValue(QStringLiteral("mid_self_speed"));
}

void OpFunConfFile::SetMidWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("mid_web_url"), url);
}

void OpFunConfFile::SetMidFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("mid_file_path"), fPath);
}

void OpFunConfFile::SetMidFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("mid_folder_path"), path);
}

void OpFunConfFile::SetMidAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("mid_app_path"), app_path);
}

void OpFunConfFile::SetMidSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("mid_sound_path"), sound_path);
}

void OpFunConfFile::SetMidMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("mid_main_speed"), main_speed);
}

void OpFunConfFile::SetMidSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("mid_self_speed"), self_speed);
}

QString OpFunConfFile::GetRightWebUrl()
{
    return pathValue(QStringLiteral("right_web_url"));
}

QString OpFunConfFile::GetRightFilePath()
{
    return pathValue(QStringLiteral("right_file_path"));
}

QString OpFunConfFile::GetRightFloderPath()
{
    return pathValue(QStringLiteral("right_folder_path"));
}

QString OpFunConfFile::GetRightAppPath()
{
    return pathValue(QStringLiteral("right_app_path"));
}

QString OpFunConfFile::GetRightSoundPath()
{
    return pathValue(QStringLiteral("right_sound_path"));
}

QString OpFunConfFile::GetRightMainSpeed()
{
    return pathValue(QStringLiteral("right_main_speed"));
}

QString OpFunConfFile::GetRightSelfSpeed()
{
    return pathValue(QStringLiteral("right_self_speed"));
}

void OpFunConfFile::SetRightWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("right_web_url"), url);
}

void OpFunConfFile::SetRightFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("right_file_path"), fPath);
}

void OpFunConfFile::SetRightFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("right_folder_path"), path);
}

void OpFunConfFile::SetRightAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("right_app_path"), app_path);
}

void OpFunConfFile::SetRightSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("right_sound_path"), sound_path);
}

void OpFunConfFile::SetRightMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("right_main_speed"), main_speed);
}

void OpFunConfFile::SetRightSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("right_self_speed"), self_speed);
}

QString OpFunConfFile::GetSliderUpWebUrl()
{
    return pathValue(QStringLiteral("slider_up_web_url"));
}

QString OpFunConfFile::GetSliderUpFilePath()
{
    return pathValue(QStringLiteral("slider_up_file_path"));
}

QString OpFunConfFile::GetSliderUpFloderPath()
{
    return pathValue(QStringLiteral("slider_up_folder_path"));
}

QString OpFunConfFile::GetSliderUpAppPath()
{
    return pathValue(QStringLiteral("slider_up_app_path"));
}

QString OpFunConfFile::GetSliderUpSoundPath()
{
    return pathValue(QStringLiteral("slider_up_sound_path"));
}

QString OpFunConfFile::GetSliderUpMainSpeed()
{
    return pathValue(QStringLiteral("slider_up_main_speed"));
}

QString OpFunConfFile::GetSliderUpSelfSpeed()
{
    return pathValue(QStringLiteral("slider_up_self_speed"));
}

void OpFunConfFile::SetSliderUpWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("slider_up_web_url"), url);
}

void OpFunConfFile::SetSliderUpFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("slider_up_file_path"), fPath);
}

void OpFunConfFile::SetSliderUpFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("slider_up_folder_path"), path);
}

void OpFunConfFile::SetSliderUpAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("slider_up_app_path"), app_path);
}

void OpFunConfFile::SetSliderUpSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("slider_up_sound_path"), sound_path);
}

void OpFunConfFile::SetSliderUpMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("slider_up_main_speed"), main_speed);
}

void OpFunConfFile::SetSliderUpSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("slider_up_self_speed"), self_speed);
}

QString OpFunConfFile::GetSliderDownWebUrl()
{
    return pathValue(QStringLiteral("slider_down_web_url"));
}

QString OpFunConfFile::GetSliderDownFilePath()
{
    return pathValue(QStringLiteral("slider_down_file_path"));
}

QString OpFunConfFile::GetSliderDownFloderPath()
{
    return pathValue(QStringLiteral("slider_down_folder_path"));
}

QString OpFunConfFile::GetSliderDownAppPath()
{
    return pathValue(QStringLiteral("slider_down_app_path"));
}

QString OpFunConfFile::GetSliderDownSoundPath()
{
    return pathValue(QStringLiteral("slider_down_sound_path"));
}

QString OpFunConfFile::GetSliderDownMainSpeed()
{
    return pathValue(QStringLiteral("slider_down_main_speed"));
}

QString OpFunConfFile::GetSliderDownSelfSpeed()
{
    return pathValue(QStringLiteral("slider_down_self_speed"));
}

void OpFunConfFile::SetSliderDownWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("slider_down_web_url"), url);
}

void OpFunConfFile::SetSliderDownFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("slider_down_file_path"), fPath);
}

void OpFunConfFile::SetSliderDownFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("slider_down_folder_path"), path);
}

void OpFunConfFile::SetSliderDownAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("slider_down_app_path"), app_path);
}

void OpFunConfFile::SetSliderDownSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("slider_down_sound_path"), sound_path);
}

void OpFunConfFile::SetSliderDownMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("slider_down_main_speed"), main_speed);
}

void OpFunConfFile::SetSliderDownSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("slider_down_self_speed"), self_speed);
}

QString OpFunConfFile::InputSource() const
{
    return inputsource::name(inputsource::stored());
}
