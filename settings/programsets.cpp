#include "programsets.h"

#include "operateini.h"

#include <QSet>

namespace programsets {

namespace {
// What the two readers answer for an absent key.
bool isAbsent(const QString &value)
{
    return value == QLatin1String("NULL") || value == QLatin1String("999") ||
           value == OperateIni::kUnbound;
}
} // namespace

QString countKey()
{
    return QStringLiteral("/PROGRAMS/count");
}

QString sectionGroup(int section)
{
    return QStringLiteral("PROGRAM%1").arg(section);
}

QString sectionKey(int section, const QString &key)
{
    return QLatin1Char('/') + sectionGroup(section) + QLatin1Char('/') + key;
}

QString programKey(int section)
{
    return sectionKey(section, QStringLiteral("program"));
}

QString nameKey(int section)
{
    return sectionKey(section, QStringLiteral("name"));
}

bool isValidProgram(const QString &program)
{
    if (program.isEmpty() || program.size() > kMaxProgramNameLength ||
        program == QLatin1String(".") || program == QLatin1String(".."))
        return false;
    for (const QChar c : program) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QLatin1String("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString matchKey(const QString &program)
{
    return program.toCaseFolded();
}

QVector<ProgramSet> readSets(OperateIni &ini, QStringList *problems)
{
    QVector<ProgramSet> sets;
    const QString countText = ini.getValue(countKey());
    if (isAbsent(countText))
        return sets;
    auto report = [problems](const QString &line) {
        if (problems)
            problems->append(line);
    };
    bool ok = false;
    const int count = countText.trimmed().toInt(&ok, 10);
    if (!ok || count < 1) {
        if (!ok || count < 0)
            report(QStringLiteral("program sets: unusable count \"%1\"").arg(countText.left(40)));
        return sets;
    }
    if (count > kMaxSets)
        report(QStringLiteral("program sets: %1 sets stored, only the first %2 are read")
                   .arg(count)
                   .arg(kMaxSets));
    QSet<QString> seen;
    for (int section = 1; section <= qMin(count, kMaxSets); ++section) {
        const QString program = ini.getValue(programKey(section));
        if (isAbsent(program) || !isValidProgram(program)) {
            report(QStringLiteral("program sets: section %1 names no usable program").arg(section));
            continue;
        }
        const QString key = matchKey(program);
        if (seen.contains(key)) {
            report(QStringLiteral("program sets: section %1 repeats program %2")
                       .arg(section)
                       .arg(program));
            continue;
        }
        seen.insert(key);
        QString name = ini.getValue(nameKey(section));
        if (isAbsent(name) || name.trimmed().isEmpty())
            name = program;
        sets.append(ProgramSet{section, program, name});
    }
    return sets;
}

const ProgramSet *find(const QVector<ProgramSet> &sets, const QString &program)
{
    if (program.isEmpty())
        return nullptr;
    const QString key = matchKey(program);
    for (const ProgramSet &set : sets) {
        if (matchKey(set.program) == key)
            return &set;
    }
    return nullptr;
}

} // namespace programsets
