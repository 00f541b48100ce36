#include "settingscommand.h"

#include "appenv.h"
#include "assignmentrules.h"
#include "catalogue.h"
#include "configdocument.h"
#include "controls.h"
#include "keycombination.h"
#include "opfunconffile.h"
#include "programsets.h"
#include "settingstransfer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <array>
#include <optional>

namespace cli {

const char kVersion[] = "1.0";

namespace {

const char kUsage[] =
    "usage: velko-options show [--model M] [--program P] [--json]\n"
    "       velko-options set CONTROL FUNCTION [--model M] [--program P] [--value V]\n"
    "       velko-options set CONTROL combination KEYS [DOWN-KEYS] [--model M]\n"
    "                         [--program P]\n"
    "       velko-options set CONTROL same --program P [--model M]\n"
    "       velko-options programs [add PROGRAM [NAME] | remove PROGRAM] [--model M]\n"
    "                              [--json]\n"
    "       velko-options export FILE | import FILE\n"
    "       velko-options functions [--json]\n"
    "       velko-options --help | --version\n";

const char kHelp[] =
    "Shows and changes the Velko Options settings without the window: the same\n"
    "settings the configurator writes, in the same folder; the agent takes a change\n"
    "at the next press.\n\n"
    "  show        every control with its function and parameters (of the chosen\n"
    "              model, or --model; of all programs, or the set of --program,\n"
    "              with what all programs do for a control the set leaves to them)\n"
    "  set         gives CONTROL the FUNCTION (its number or its text, see\n"
    "              'functions'), with --value for a web address, file, folder,\n"
    "              program or sound, or 'MAIN[,OWN]' for the pointer speeds\n"
    "              (in the chosen model, or --model; for all programs, or in the\n"
    "              set of --program);\n"
    "              'combination' gives a key combination instead (\"Ctrl+Shift+T\",\n"
    "              \"Ctrl+K, Ctrl+C\"), a wheel one for up and one for down;\n"
    "              'same' leaves the control in the set of --program to what\n"
    "              all programs have it do\n"
    "  programs    the program sets (of the chosen model, or --model); 'add'\n"
    "              makes one for PROGRAM (its file name, as \"gimp\" or\n"
    "              \"GIMP.exe\", shown as NAME), 'remove' takes it away\n"
    "  export      writes every model's settings to FILE\n"
    "  import      applies such a file whole, or nothing when any of it is unusable\n"
    "  functions   the functions of the key list and of the wheel list\n\n"
    "CONTROL: middle-key, right-key, side-up-key, side-down-key, middle-wheel,\n"
    "side-wheel (QX210 and QX460 only). Exit status: 0 done, 1 a value or file\n"
    "refused or a change the disk did not take, 2 bad use.\n";

// The controls by the names the tool takes, in the order it shows them.
struct Named
{
    const char *name;
    controls::Number number;
};
const std::array<Named, 6> kNames = {{{"middle-key", controls::MidKey},
                                      {"right-key", controls::RightKey},
                                      {"side-up-key", controls::SideUpKey},
                                      {"side-down-key", controls::SideDownKey},
                                      {"middle-wheel", controls::MidWheel},
                                      {"side-wheel", controls::SideWheel}}};

// Whether the model has the control: only the eight-key models have a side wheel.
bool onModel(int number, const QString &model)
{
    return number != controls::SideWheel || assignment::isEightKeyModel(model);
}

struct Failure
{
    int status;
    QString text;
};

// A change the disk did not take (a full disk, a read-only folder) is refused.
int refuseUnsaved(const OpFunConfFile &conf, Failure &failure)
{
    if (conf.allSaved())
        return 0;
    // The settings file's own warning has already named the file.
    return (failure = {1, QStringLiteral("the change was not saved")}).status;
}

const controls::Control *controlNamed(const QString &name)
{
    for (const Named &named : kNames) {
        const controls::Control &c = controls::kControls[size_t(named.number)];
        if (name.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(c.tag), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(c.setKey), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString nameOf(const controls::Control &control)
{
    for (const Named &named : kNames)
        if (named.number == control.number)
            return QLatin1String(named.name);
    return QString();
}

// A list's texts as the pages show them, in the user's language.
QString shownText(catalogue::List list, const catalogue::PageItem &item)
{
    return catalogue::shownText(list, item.text);
}

QString combinationItemText()
{
    return catalogue::shownText(catalogue::List::Keys, QLatin1String(keycombination::kItemText));
}

// The option's value after `name`, removed from `args` with it; nullopt when absent.
std::optional<QString> takeOption(QStringList &args, const QString &name, Failure &failure)
{
    const int at = args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= args.size()) {
        failure = {2, name + QStringLiteral(" needs a value")};
        return std::nullopt;
    }
    const QString value = args.at(at + 1);
    args.removeAt(at + 1);
    args.removeAt(at);
    return value;
}

bool takeFlag(QStringList &args, const QString &name)
{
    return args.removeAll(name) > 0;
}

QString modelOrCurrent(OpFunConfFile &conf, const std::optional<QString> &model, Failure &failure)
{
    const QString chosen = model ? *model : conf.GetCurrentMouse();
    if (!assignment::models().contains(chosen))
        failure = {1, model ? QStringLiteral("no such model: %1 (%2)")
                                  .arg(chosen, assignment::models().join(QStringLiteral(", ")))
                            : QStringLiteral("no model chosen yet; give one with --model")};
    return chosen;
}

// The section of the program's set; 0 with `failure` set when it has none.
int sectionOf(OpFunConfFile &conf, const QString &program, Failure &failure)
{
    for (const programsets::ProgramSet &set : conf.sets())
        if (programsets::matchKey(set.program) == programsets::matchKey(program))
            return set.section;
    failure = {1, QStringLiteral("no program set for %1").arg(program)};
    return 0;
}

// A control's function and parameters in the set `conf` addresses; no "function"
// when the set leaves the control to all programs.
QJsonObject describe(OpFunConfFile &conf, const controls::Control &control)
{
    QJsonObject row;
    const QString stored = conf.storedEntry(control.setKey);
    if (stored == QLatin1String("NULL"))
        return row;
    const catalogue::List list = controls::listOf(control);
    const int index = controls::entryIndex(stored, control, conf.versionClass())
                          .value_or(catalogue::noneIndex(list, conf.versionClass()));
    row.insert(QStringLiteral("index"), index);
    row.insert(QStringLiteral("function"),
               shownText(list, catalogue::pageList(list, conf.versionClass()).at(index)));
    QJsonObject parameters;
    for (int speed = 0; speed < 2; ++speed) {
        const QString getter = assignment::getterName(QLatin1String(control.tag), index, speed);
        QString value;
        if (!getter.isEmpty() &&
            QMetaObject::invokeMethod(&conf, getter.toLatin1().constData(),
                                      Q_RETURN_ARG(QString, value)) &&
            value != QLatin1String("NULL"))
            parameters.insert(speed ? QStringLiteral("own speed")
                                    : (assignment::panelFor(index) == assignment::Speed
                                           ? QStringLiteral("main speed")
                                           : QStringLiteral("value")),
                              value);
        if (assignment::panelFor(index) != assignment::Speed)
            break;
    }
    if (!parameters.isEmpty())
        row.insert(QStringLiteral("parameters"), parameters);
    const QStringList combination = conf.GetCombination(QLatin1String(control.tag));
    if (!combination.isEmpty()) {
        row.insert(QStringLiteral("function"), combinationItemText());
        row.insert(QStringLiteral("combination"),
                   combination.size() == 1
                       ? QJsonValue(combination.first())
                       : QJsonValue(QJsonObject{{QStringLiteral("up"), combination.at(0)},
                                                {QStringLiteral("down"), combination.at(1)}}));
    }
    return row;
}

int show(QStringList args, QTextStream &out, Failure &failure)
{
    const bool json = takeFlag(args, QStringLiteral("--json"));
    const std::optional<QString> model = takeOption(args, QStringLiteral("--model"), failure);
    const std::optional<QString> program = takeOption(args, QStringLiteral("--program"), failure);
    if (failure.status)
        return failure.status;
    if (!args.isEmpty())
        return (failure = {2, QStringLiteral("unknown argument: ") + args.first()}).status;
    OpFunConfFile conf;
    const QString chosen = modelOrCurrent(conf, model, failure);
    if (failure.status)
        return failure.status;
    conf.pinModel(chosen);
    const int section = program ? sectionOf(conf, *program, failure) : 0;
    if (failure.status)
        return failure.status;
    conf.fixSet(section);
    QJsonArray rows;
    for (const Named &named : kNames) {
        if (!onModel(named.number, chosen))
            continue;
        const controls::Control &control = controls::kControls[size_t(named.number)];
        QJsonObject row = describe(conf, control);
        if (!row.contains(QStringLiteral("function"))) {
            row.insert(QStringLiteral("function"),
                       section ? QStringLiteral("Same as all programs") : QStringLiteral("None"));
            if (section) { // with what all programs have the control do
                conf.fixSet(0);
                QJsonObject inherited = describe(conf, control);
                conf.fixSet(section);
                if (!inherited.contains(QStringLiteral("function")))
                    inherited.insert(QStringLiteral("function"), QStringLiteral("None"));
                row.insert(QStringLiteral("allPrograms"), inherited);
            }
        }
        row.insert(QStringLiteral("control"), QLatin1String(named.name));
        row.insert(QStringLiteral("tag"), QLatin1String(control.tag));
        rows.append(row);
    }
    conf.fixSet(std::nullopt);
    if (json) {
        out << QJsonDocument(QJsonObject{{QStringLiteral("model"), chosen},
                                         {QStringLiteral("program"),
                                          program ? QJsonValue(*program) : QJsonValue()},
                                         {QStringLiteral("controls"), rows}})
                   .toJson(QJsonDocument::Indented);
        return 0;
    }
    out << chosen << ", " << (program ? *program : QStringLiteral("all programs")) << '\n';
    // "function  parameters  combination", after the set's own "Same as all
    // programs: " for a control it leaves to all programs.
    const auto line = [&out](const QJsonObject &row) {
        out << row["function"].toString();
        const QJsonObject parameters = row["parameters"].toObject();
        for (auto it = parameters.begin(); it != parameters.end(); ++it)
            out << "  " << it.key() << ": " << it.value().toString();
        const QJsonValue combination = row["combination"];
        if (combination.isString())
            out << "  " << combination.toString();
        else if (combination.isObject())
            out << "  up: " << combination["up"].toString()
                << "  down: " << combination["down"].toString();
    };
    for (const QJsonValue &value : rows) {
        const QJsonObject row = value.toObject();
        out << QStringLiteral("  %1 ").arg(row["control"].toString(), -14);
        if (row.contains(QStringLiteral("allPrograms"))) {
            out << row["function"].toString() << ": ";
            line(row["allPrograms"].toObject());
        } else {
            line(row);
        }
        out << '\n';
    }
    return 0;
}

int set(QStringList args, Failure &failure)
{
    const std::optional<QString> model = takeOption(args, QStringLiteral("--model"), failure);
    const std::optional<QString> program = takeOption(args, QStringLiteral("--program"), failure);
    const std::optional<QString> value = takeOption(args, QStringLiteral("--value"), failure);
    if (failure.status)
        return failure.status;
    const bool combination = args.size() >= 2 && args.at(1) == QLatin1String("combination");
    const bool same = args.size() == 2 && args.at(1) == QLatin1String("same");
    if (args.size() != 2 && !combination)
        return (failure = {2, QStringLiteral("set takes a control and a function")}).status;
    const controls::Control *control = controlNamed(args.at(0));
    if (!control)
        return (failure = {2, QStringLiteral("no such control: ") + args.at(0)}).status;
    if (combination && args.size() != (control->isWheel ? 4 : 3))
        return (failure = {2, control->isWheel
                                  ? QStringLiteral("a wheel's combination is KEYS for up and "
                                                   "DOWN-KEYS for down")
                                  : QStringLiteral("a key's combination is one KEYS text")})
            .status;
    OpFunConfFile conf;
    const QString chosen = modelOrCurrent(conf, model, failure);
    if (failure.status)
        return failure.status;
    if (!onModel(control->number, chosen))
        return (failure = {1, QStringLiteral("%1 has no %2").arg(chosen, nameOf(*control))}).status;
    conf.pinModel(chosen);
    conf.setUp();
    // With --program this object writes into that program's set (the selection
    // other objects share stays as it is); a failure status when it has none.
    const auto addressProgram = [&] {
        if (program)
            conf.fixSet(sectionOf(conf, *program, failure));
        return failure.status;
    };
    if (same) {
        if (!program || value)
            return (failure = {1, QStringLiteral("'same' is for the set of a --program, "
                                                 "and takes no --value")})
                .status;
        if (addressProgram())
            return failure.status;
        conf.SetSameAsAllPrograms(QLatin1String(control->tag));
        conf.syncIniToFile();
        return refuseUnsaved(conf, failure);
    }
    if (combination) {
        if (value)
            return (failure = {1, QStringLiteral("a combination takes no --value")}).status;
        if (addressProgram())
            return failure.status;
        const QString problem = conf.SetCombination(QLatin1String(control->tag), args.mid(2));
        if (!problem.isEmpty())
            return (failure = {1, problem}).status;
        return refuseUnsaved(conf, failure);
    }
    const catalogue::List list = controls::listOf(*control);
    const QVector<catalogue::PageItem> items = catalogue::pageList(list, conf.versionClass());
    std::optional<int> index;
    bool isNumber = false;
    const int number = args.at(1).toInt(&isNumber);
    for (const catalogue::PageItem &item : items)
        if ((isNumber && item.index == number) ||
            args.at(1).compare(shownText(list, item), Qt::CaseInsensitive) == 0 ||
            args.at(1).compare(item.text, Qt::CaseInsensitive) == 0 ||
            args.at(1) == item.chineseText)
            index = item.index;
    if (!index)
        return (failure = {1, QStringLiteral("%1 has no function \"%2\" (see velko-options "
                                             "functions)")
                                  .arg(nameOf(*control), args.at(1))})
            .status;
    const int panel = control->isWheel ? assignment::NoPanel : assignment::panelFor(*index);
    if (value && panel == assignment::NoPanel)
        return (failure = {1, QStringLiteral("\"%1\" takes no --value").arg(args.at(1))}).status;
    QStringList speeds;
    if (value && panel == assignment::Speed) {
        speeds = value->split(QLatin1Char(','));
        for (const QString &speed : speeds) {
            bool ok = false;
            const int v = speed.trimmed().toInt(&ok);
            if (!ok || v < assignment::kMinSpeed || v > assignment::kMaxSpeed || speeds.size() > 2)
                return (failure = {1,
                                   QStringLiteral("pointer speeds are MAIN[,OWN], each 1 to 20")})
                    .status;
        }
    }
    if (addressProgram())
        return failure.status;
    const QString tag = QLatin1String(control->tag);
    const QString entry = assignment::entryText(items.at(*index).text, *index, tag);
    QMetaObject::invokeMethod(&conf, assignment::entrySetter(tag).toLatin1().constData(),
                              Q_ARG(QString, entry));
    if (value && panel == assignment::Speed) {
        for (int speed = 0; speed < speeds.size(); ++speed)
            QMetaObject::invokeMethod(
                &conf, assignment::setterName(tag, *index, speed).toLatin1().constData(),
                Q_ARG(QString, QString::number(speeds.at(speed).trimmed().toInt())));
    } else if (value) {
        // Files as the choosers store them (file URLs); a web address as typed.
        const QString stored = panel == assignment::WebUrl
                                   ? *value
                                   : assignment::chooserAnswer(
                                         QUrl::fromLocalFile(QFileInfo(*value).absoluteFilePath()));
        QMetaObject::invokeMethod(&conf, assignment::setterName(tag, *index).toLatin1().constData(),
                                  Q_ARG(QString, stored));
    }
    conf.syncIniToFile();
    return refuseUnsaved(conf, failure);
}

int programs(QStringList args, QTextStream &out, Failure &failure)
{
    const bool json = takeFlag(args, QStringLiteral("--json"));
    const std::optional<QString> model = takeOption(args, QStringLiteral("--model"), failure);
    if (failure.status)
        return failure.status;
    const QString verb = args.isEmpty() ? QString() : args.takeFirst();
    const bool add = verb == QLatin1String("add"), remove = verb == QLatin1String("remove");
    if (!(verb.isEmpty() || (add && (args.size() == 1 || args.size() == 2)) ||
          (remove && args.size() == 1)))
        return (failure = {2, QStringLiteral("programs takes nothing, add PROGRAM [NAME] "
                                             "or remove PROGRAM")})
            .status;
    OpFunConfFile conf;
    const QString chosen = modelOrCurrent(conf, model, failure);
    if (failure.status)
        return failure.status;
    conf.pinModel(chosen);
    if (add || remove) {
        conf.setUp();
        if (add && !programsets::isValidProgram(args.at(0)))
            return (failure =
                        {1, QStringLiteral("\"%1\" is not a program's file name").arg(args.at(0))})
                .status;
        if (add && conf.AddProgramSet(args.at(0), args.value(1)) == 0)
            return (failure = {1, QStringLiteral("%1 has %2 program sets, as many as it "
                                                 "can hold")
                                      .arg(chosen)
                                      .arg(programsets::kMaxSets)})
                .status;
        if (remove) {
            const int section = sectionOf(conf, args.at(0), failure);
            if (failure.status)
                return failure.status;
            conf.RemoveProgramSet(section);
        }
        conf.syncIniToFile();
        return refuseUnsaved(conf, failure);
    }
    QJsonArray sets;
    for (const programsets::ProgramSet &set : conf.sets())
        sets.append(QJsonObject{{QStringLiteral("program"), set.program},
                                {QStringLiteral("name"), set.name}});
    if (json) {
        out << QJsonDocument(QJsonObject{{QStringLiteral("model"), chosen},
                                         {QStringLiteral("programs"), sets}})
                   .toJson(QJsonDocument::Indented);
        return 0;
    }
    out << chosen << ", " << sets.size()
        << (sets.size() == 1 ? " program set\n" : " program sets\n");
    for (const QJsonValue &set : sets)
        out << QStringLiteral("  %1 %2\n")
                   .arg(set["program"].toString(), -20)
                   .arg(set["name"].toString());
    return 0;
}

int functions(QStringList args, QTextStream &out, Failure &failure)
{
    const bool json = takeFlag(args, QStringLiteral("--json"));
    if (!args.isEmpty())
        return (failure = {2, QStringLiteral("unknown argument: ") + args.first()}).status;
    const QString versionClass = appenv::windowsVersionClass();
    QJsonObject lists;
    for (const auto &[name, list] :
         {std::pair{"keys", catalogue::List::Keys}, std::pair{"wheels", catalogue::List::Wheels}}) {
        QJsonArray items;
        for (const catalogue::PageItem &item : catalogue::pageList(list, versionClass))
            items.append(QJsonObject{{QStringLiteral("index"), item.index},
                                     {QStringLiteral("function"), shownText(list, item)}});
        lists.insert(QLatin1String(name), items);
        if (!json) {
            out << name << ":\n";
            for (const QJsonValue &v : items)
                out << QStringLiteral("  %1  %2\n")
                           .arg(v["index"].toInt(), 2)
                           .arg(v["function"].toString());
        }
    }
    // Below each list on the pages; "set CONTROL combination KEYS" gives it.
    const QString combination = combinationItemText();
    lists.insert(QStringLiteral("combination"), combination);
    if (!json)
        out << "  combination  " << combination << '\n';
    if (json)
        out << QJsonDocument(lists).toJson(QJsonDocument::Indented);
    return 0;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Failure failure{0, QString()};
    QStringList args = arguments;
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    int status = 0;
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << kUsage << '\n' << kHelp;
    } else if (command == QLatin1String("--version")) {
        out << "velko-options " << kVersion << '\n';
    } else if (command == QLatin1String("show")) {
        status = show(args, out, failure);
    } else if (command == QLatin1String("set")) {
        status = set(args, failure);
    } else if (command == QLatin1String("programs")) {
        status = programs(args, out, failure);
    } else if (command == QLatin1String("functions")) {
        status = functions(args, out, failure);
    } else if (command == QLatin1String("export") || command == QLatin1String("import")) {
        if (args.size() != 1) {
            failure = {2, command + QStringLiteral(" takes one file")};
        } else if (command == QLatin1String("export")) {
            const QString problem = settingstransfer::exportTo(args.first());
            if (!problem.isEmpty())
                failure = {1, problem};
        } else {
            const settingstransfer::ImportResult result =
                settingstransfer::importFrom(args.first());
            if (!result.applied)
                failure = {1, result.problem};
            else if (!result.saved)
                failure = {1, QStringLiteral("the imported settings were not saved")};
            else if (!result.leftOut.isEmpty())
                err << "left out, from a newer version: " << result.leftOut.join(", ") << '\n';
        }
        status = failure.status;
    } else {
        failure = {2, command.isEmpty() ? QStringLiteral("no command")
                                        : QStringLiteral("unknown command: ") + command};
        status = 2;
    }
    if (failure.status) {
        err << "velko-options: " << failure.text << '\n';
        if (failure.status == 2)
            err << kUsage;
    }
    out.flush();
    err.flush();
    return failure.status ? failure.status : status;
}

} // namespace cli
