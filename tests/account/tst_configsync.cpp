#include "accountsandbox.h"
#include "configsync.h"
#include "opfunconffile.h"
#include "programsets.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using KeyValues = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(KeyValues)

namespace {

QString text(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QJsonObject object(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// "key=value|key=value"; a value may hold '='.
KeyValues kv(const QString &pairs)
{
    KeyValues out;
    for (const QString &pair : pairs.split('|', Qt::SkipEmptyParts))
        out << qMakePair(pair.section('=', 0, 0), pair.section('=', 1));
    return out;
}

// An undefined member is left out.
QString entry(const QJsonValue &name, const QJsonValue &index, const QJsonValue &tag)
{
    return text({{"name", name}, {"index", index}, {"tag", tag}});
}

QByteArray reply(const QJsonValue &content)
{
    return text({{"code", 0}, {"data", QJsonObject{{"configContent", content}}}}).toUtf8();
}

// A set's member of "programs" for `program`, with more members given.
QJsonObject programSet(const QString &program, const QJsonObject &more = {})
{
    QJsonObject set = more;
    set.insert("program", program);
    return set;
}

QByteArray withPrograms(const QJsonValue &programs)
{
    return reply(text({{"Mid_key", entry("Copy", "12", "midKey")}, {"programs", programs}}));
}

const QString kRefused = "-1 The downloaded settings could not be used, nothing was changed";

QJsonObject defaultDocument()
{
    return object(object(requestKind("SaveConfigInfo").body)["configContent"].toString());
}

QJsonObject uploaded(const ScriptedHttpServer &server, QString *model = nullptr)
{
    const QJsonObject body = object(server.received.value(server.received.size() - 1).body);
    if (model)
        *model = body["configType"].toString();
    return object(body["configContent"].toString());
}

} // namespace

class TestConfigSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }

    void upload()
    {
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        const KeyValues stored = kv(
            "/SET/Side_wheel=Scroll-left-9-slideWheel|/SET/Mid_key=none-48|/SET/Mid_wheel=" +
            kAbsent +
            "|/SET/Right_key=复制-12-rightKey|/SET/Side_upkey=--slideUpKey|"
            "/SET/Side_downkey=x-99999999999-slideDownKey|/PATH/mid_web_url=|"
            R"(/PATH/right_file_path=NONE|/PATH/right_app_path=None|/PATH/slider_up_app_path=)" +
            kAbsent +
            R"(|/PATH/slider_down_web_url=https://example.com/a?b=c&d="e"|/PATH/mid_main_speed=17)");
        for (const auto &p : stored)
            writeIni(box.modelFile(), p.first, p.second);
        QJsonObject expected = defaultDocument();
        QCOMPARE(expected.size(), 34);
        for (const auto &p :
             // Entries the agent cannot use go up as it reads them: "None".
             kv(R"(Side_wheel={"index":"9","name":"none","tag":"slideWheel"}|)"
                R"(Mid_key={"index":"48","name":"none","tag":"midKey"}|Mid_wheel=|)"
                R"(Side_downkey={"index":"48","name":"none","tag":"slideDownKey"}|)"
                R"(slider_up_app_path=NULL|mid_main_speed=17|)"
                R"(Right_key={"index":"12","name":"复制","tag":"rightKey"}|)"
                R"(Side_upkey={"index":"48","name":"none","tag":"slideUpKey"}|)"
                R"(slider_down_web_url=https://example.com/a?b=c&d="e")"))
            expected.insert(p.first, p.second);
        server.enqueue(R"({"code":0})");
        QCOMPARE(sendAndWait("SaveConfigInfo"), QStringLiteral("0 "));
        QString model;
        QCOMPARE(uploaded(server, &model), expected);
        QCOMPARE(model, QStringLiteral("QX210"));
    }

    void download_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("result");
        QTest::addColumn<KeyValues>("written"); // model file keys that change
        const QJsonValue none;
        QJsonObject full; // every member of the upload, each with a value of its own
        KeyValues fullWritten;
        int n = 0;
        for (const QString &key : defaultDocument().keys()) {
            const bool control = key.at(0).isUpper();
            const QString value = control ? QStringLiteral("F%1-%1-t").arg(++n) : "v:" + key;
            full.insert(key, control ? entry("F" + QString::number(n), n, "t") : value);
            fullWritten << qMakePair((control ? "/SET/" : "/PATH/") + key, value);
        }
        const QString failed = "-1 " + kServerError;
        QTest::newRow("full document") << reply(text(full)) << "0 " << fullWritten;
        QTest::newRow("unusable indexes") << reply(text({{"Mid_key", entry("Cut", 4.5, "midKey")},
                                                         {"Mid_wheel", entry("a", -1, "b")},
                                                         {"Right_key", entry("a", "twelve", "b")},
                                                         {"Side_downkey", entry("a", "", "b")},
                                                         {"Side_upkey", entry("a", none, "b")}}))
                                          << "0 " << KeyValues{};
        QTest::newRow("indexes outside the lists")
            << reply(text({{"Mid_key", entry("a", "49", "midKey")},
                           {"Mid_wheel", entry("a", "10", "midWheel")},
                           {"Right_key", entry("a", "99999999999", "rightKey")},
                           {"Side_upkey", entry("a", "2147483647", "slideUpKey")},
                           {"Side_downkey", entry("None", "48", "slideDownKey")},
                           {"Side_wheel", entry("None", "9", "slideWheel")}}))
            << "0 " << kv("/SET/Side_downkey=None-48-slideDownKey|/SET/Side_wheel=None-9-slideWheel");
        QTest::newRow("paths as given, unless not text")
            << reply(text({{"mid_web_url", "none"},
                           {"right_app_path", ""},
                           {"mid_main_speed", 5},
                           {"right_web_url", QJsonValue::Null},
                           {"slider_up_self_speed", "20"}}))
            << "0 "
            << kv("/PATH/mid_web_url=none|/PATH/right_app_path=|/PATH/slider_up_self_speed=20");
        for (const QByteArray &bad :
             {reply(R"({"Mid_key":"x")"), QByteArray(R"({"code":0})")})
            QTest::newRow(bad.constData()) << bad << failed << KeyValues{};
        QTest::newRow("server failure")
            << QByteArray(
                   "{\"code\":7,\"msg\":\"No saved settings\",\"data\":{\"configContent\":"
                   "\"{\\\"mid_web_url\\\":\\\"x\\\"}\"}}")
            << "7 No saved settings" << KeyValues{};

        // Program sets: replaced whole, or the whole document is refused.
        QTest::newRow("program sets replace the stored ones")
            << withPrograms(QJsonArray{programSet(
                   "Firefox", {{"name", " Web "},
                               {"Side_upkey", entry("Copy", "12", "slideUpKey")},
                               {"slider_up_web_url", "none"}})})
            << "0 "
            << kv("/SET/Mid_key=Copy-12-midKey|/PROGRAM1/program=Firefox|/PROGRAM1/name=Web|"
                  "/PROGRAM1/Side_upkey=Copy-12-slideUpKey|/PROGRAM1/slider_up_web_url=none|"
                  // the key's other parameters, with their defaults
                  "/PROGRAM1/slider_up_file_path=none|/PROGRAM1/slider_up_folder_path=none|"
                  "/PROGRAM1/slider_up_app_path=none|/PROGRAM1/slider_up_sound_path=none|"
                  "/PROGRAM1/slider_up_main_speed=1|/PROGRAM1/slider_up_self_speed=1|"
                  "/PROGRAM1/Mid_key=" + kAbsent);
        QTest::newRow("an empty list removes them")
            << withPrograms(QJsonArray{}) << "0 "
            << kv(QString("/SET/Mid_key=Copy-12-midKey|/PROGRAMS/count=%1|/PROGRAM1/program=%1|"
                          "/PROGRAM1/name=%1|/PROGRAM1/Mid_key=%1")
                      .arg(kAbsent));
        QJsonArray tooMany;
        for (int i = 0; i <= programsets::kMaxSets; ++i)
            tooMany.append(programSet(QString("p%1").arg(i)));
        const QList<QPair<const char *, QJsonValue>> refused = {
            {"a path for a program", QJsonArray{programSet("/usr/bin/gimp")}},
            {"a program twice", QJsonArray{programSet("gimp"), programSet("GIMP")}},
            {"an unusable entry", QJsonArray{programSet("gimp", {{"Mid_key", entry("a", "99", "midKey")}})}},
            {"too many sets", tooMany},
        };
        for (const auto &row : refused)
            QTest::newRow(qPrintable(QString("program sets: ") + row.first))
                << withPrograms(row.second) << kRefused << KeyValues{};
    }

    void download()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, result);
        QFETCH(KeyValues, written);
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        const QString file = box.modelFile();
        writeIni(file, "/PATH/mid_web_url", "https://old.example");
        writeIni(file, "/SET/Right_key", "Copy-0-rightKey");
        // A stored program set, which documents without "programs" leave alone.
        for (const auto &p : kv("/PROGRAMS/count=1|/PROGRAM1/program=gimp|/PROGRAM1/name=gimp|"
                                "/PROGRAM1/Mid_key=Paste-14-midKey"))
            writeIni(file, p.first, p.second);
        const QByteArray bytesBefore = bytesOf(file);
        QMap<QString, QString> expected = iniOnDisk(file);
        for (const auto &p : written) {
            QVERIFY2(expected.contains(p.first) || p.first.startsWith("/PROGRAM"), qPrintable(p.first));
            if (p.second == kAbsent)
                expected.remove(p.first);
            else
                expected.insert(p.first, p.second);
        }
        server.enqueue(body);
        QCOMPARE(sendAndWait("GetDriverConf"), result);
        QCOMPARE(iniOnDisk(file), expected);
        if (!result.startsWith("0 "))
            QCOMPARE(bytesOf(file), bytesBefore);
    }

    void aDownloadTheDiskDidNotTakeIsNoSuccess()
    {
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        const QString file = box.modelFile();
        QVERIFY(QFile::remove(file) && QDir().mkdir(file)); // a folder holds its name
        server.enqueue(reply(text({{"Mid_key", entry("Copy", "12", "midKey")}})));
        QCOMPARE(sendAndWait("GetDriverConf"),
                 QString("-1 The downloaded settings could not be saved"));
    }

    void uploadThenDownloadRestoresTheSettings()
    {
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        const QString file = box.modelFile();
        for (
            const auto &p :
            kv(R"(/SET/Mid_key=复制-12-midKey|/PATH/right_web_url=https://example.com/?q=a b&c="d")"))
            writeIni(file, p.first, p.second);
        OpFunConfFile conf; // as the pages make the sets
        conf.syncMouseIni();
        QCOMPARE(conf.SetCombination("slideWheel", {"Ctrl+Plus", "Ctrl+Minus"}), QString());
        conf.selectSet(conf.AddProgramSet("gimp", "GNU Image"));
        QCOMPARE(conf.SetCombination("midKey", {"Ctrl+K, Ctrl+C"}), QString());
        conf.SetRightKeyVal("复制-12-rightKey");
        conf.SetRightFilePath("file:///C:/a b.png");
        conf.SetMidMainSpeed("5");
        conf.AddProgramSet("Firefox", "");
        conf.selectSet(0);
        conf.syncIniToFile();
        const QMap<QString, QString> before = iniOnDisk(file);
        server.enqueue(R"({"code":0})");
        QCOMPARE(sendAndWait("SaveConfigInfo"), QStringLiteral("0 "));
        // What a set does not assign, and parameters at their defaults, are left out.
        QCOMPARE(uploaded(server)["programs"].toArray(),
                 (QJsonArray{programSet("gimp", {{"name", "GNU Image"},
                                                 {"Mid_key", entry("Key combination", "48", "midKey")},
                                                 {"Mid_key_combination", "Ctrl+K, Ctrl+C"},
                                                 {"Right_key", entry("复制", "12", "rightKey")},
                                                 {"right_file_path", "file:///C:/a b.png"},
                                                 {"mid_main_speed", "5"}}),
                             programSet("Firefox", {{"name", "Firefox"}})}));
        QCOMPARE(uploaded(server)["Side_wheel_combination_down"].toString(), QString("Ctrl+Minus"));
        conf.RestoreEverything(); // "Restore default" wipes the assignments
        QVERIFY(conf.RemoveProgramSet(2));
        QVERIFY(iniOnDisk(file) != before);
        server.enqueue(reply(text(uploaded(server))));
        QCOMPARE(sendAndWait("GetDriverConf"), QStringLiteral("0 "));
        QCOMPARE(iniOnDisk(file), before);
    }
};

QTEST_GUILESS_MAIN(TestConfigSync)
#include "tst_configsync.moc"
