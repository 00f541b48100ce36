// Upload and download of the current mouse's settings as one configuration
// document.
#include "accountsandbox.h"
#include "configsync.h"
#include "opfunconffile.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using KeyValues = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(KeyValues)

namespace {

QString text(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject object(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// An entry document; an undefined member is left out.
QString entry(const QJsonValue &name, const QJsonValue &index, const QJsonValue &tag)
{
    return text({{"name", name}, {"index", index}, {"tag", tag}});
}

QByteArray reply(const QJsonValue &configContent)
{
    return text({{"code", 0}, {"data", QJsonObject{{"configContent", configContent}}}}).toUtf8();
}

QJsonObject defaultDocument()
{
    return object(object(requestKind("SaveConfigInfo").body)["configContent"].toString());
}

// The document of the last upload, and its model.
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
    void upload_data();
    void upload();
    void uploadFollowsTheCurrentModel();
    void download_data();
    void download();
    void uploadThenDownloadRestoresTheSettings();
};

void TestConfigSync::upload_data()
{
    QTest::addColumn<KeyValues>("stored"); // model file keys set before the upload
    QTest::addColumn<KeyValues>("sent");   // members that differ from the defaults'
    QTest::newRow("side wheel entry of four parts")
        << KeyValues{{"/SET/Side_wheel", "Scroll-left-9-slideWheel"}}
        << KeyValues{{"Side_wheel", ""}};
    QTest::newRow("entry of two parts, entry absent")
        << KeyValues{{"/SET/Mid_key", "none-48"}, {"/SET/Mid_wheel", kAbsent}}
        << KeyValues{{"Mid_key", ""}, {"Mid_wheel", ""}};
    QTest::newRow("translated name, empty parts")
        << KeyValues{{"/SET/Right_key", "复制-12-rightKey"}, {"/SET/Side_upkey", "--slideUpKey"}}
        << KeyValues{{"Right_key", R"({"index":"12","name":"复制","tag":"rightKey"})"},
                     {"Side_upkey", R"({"index":"","name":"","tag":"slideUpKey"})"}};
    QTest::newRow("paths")
        << KeyValues{{"/PATH/mid_web_url", ""},
                     {"/PATH/right_file_path", "NONE"},
                     {"/PATH/right_app_path", "None"},
                     {"/PATH/slider_up_app_path", kAbsent},
                     {"/PATH/slider_down_web_url", R"(https://example.com/a?b=c&d="e")"},
                     {"/PATH/mid_main_speed", "17"}}
        << KeyValues{{"slider_up_app_path", "NULL"},
                     {"slider_down_web_url", R"(https://example.com/a?b=c&d="e")"},
                     {"mid_main_speed", "17"}};
}

void TestConfigSync::upload()
{
    QFETCH(KeyValues, stored);
    QFETCH(KeyValues, sent);
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    for (const auto &kv : stored)
        writeIni(box.modelFile(), kv.first, kv.second);
    QJsonObject expected = defaultDocument();
    QCOMPARE(expected.size(), 34);
    for (const auto &kv : sent)
        expected.insert(kv.first, kv.second);
    server.enqueue(R"({"code":0})");
    QCOMPARE(sendAndWait("SaveConfigInfo"), QStringLiteral("0 "));
    QString model;
    QCOMPARE(uploaded(server, &model), expected);
    QCOMPARE(model, QStringLiteral("QX210"));
}

void TestConfigSync::uploadFollowsTheCurrentModel()
{
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    SaveConfigInfo save; // created before the model changes, as a page is
    QSignalSpy spy(&save, SIGNAL(sigSaveConfRet(int, QString)));
    OpFunConfFile().SetCurrentMouse(QStringLiteral("PL40"));
    writeIni(box.modelFile("PL40"), "/SET/Mid_key", "Paste-3-midKey");
    server.enqueue(R"({"code":0})");
    save.VlSaveConfigInfoJson();
    QCOMPARE(awaitResult(spy), QStringLiteral("0 "));
    QString model;
    QCOMPARE(uploaded(server, &model)["Mid_key"].toString(),
             QStringLiteral(R"({"index":"3","name":"Paste","tag":"midKey"})"));
    QCOMPARE(model, QStringLiteral("PL40"));
}

void TestConfigSync::download_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    QTest::addColumn<KeyValues>("written"); // model file keys that change
    // Before every row the file holds the defaults with /PATH/mid_web_url
    // "https://old.example" and /SET/Right_key "Copy-0-rightKey".
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
    QTest::newRow("only Mid_key, index as a number")
        << reply(text({{"Mid_key", entry("Cut", 12, "midKey")}})) << "0 "
        << KeyValues{{"/SET/Mid_key", "Cut-12-midKey"}};
    QTest::newRow("unusable indexes") << reply(text({{"Mid_key", entry("Cut", 4.5, "midKey")},
                                                     {"Mid_wheel", entry("a", -1, "b")},
                                                     {"Right_key", entry("a", "twelve", "b")},
                                                     {"Side_downkey", entry("a", "", "b")},
                                                     {"Side_upkey", entry("a", none, "b")}}))
                                      << "0 " << KeyValues{};
    QTest::newRow("unusable entries")
        << reply(text({{"Mid_key", entry("Zoom-in", "20", "midKey")},
                       {"Mid_wheel", QJsonObject{{"index", "1"}, {"name", "a"}, {"tag", "b"}}},
                       {"Right_key", "none-48-rightKey"},
                       {"Side_wheel", ""}}))
        << "0 " << KeyValues{};
    QTest::newRow("name or tag missing or not text")
        << reply(text({{"Mid_wheel", entry(none, "2", none)},
                       {"Side_upkey", entry(7, "5", "slideUpKey")}}))
        << "0 " << KeyValues{{"/SET/Mid_wheel", "-2-"}, {"/SET/Side_upkey", "-5-slideUpKey"}};
    QTest::newRow("paths as given, unless not text")
        << reply(text({{"mid_web_url", "none"},
                       {"right_app_path", ""},
                       {"mid_main_speed", 5},
                       {"right_web_url", QJsonValue::Null},
                       {"slider_up_self_speed", "20"}}))
        << "0 "
        << KeyValues{{"/PATH/mid_web_url", "none"},
                     {"/PATH/right_app_path", ""},
                     {"/PATH/slider_up_self_speed", "20"}};
    QTest::newRow("configContent not JSON")
        << reply(R"({"Mid_key":"{\"index\":\"3\")") << failed << KeyValues{};
    QTest::newRow("configContent an array")
        << reply(R"([{"mid_web_url":"x"}])") << failed << KeyValues{};
    QTest::newRow("configContent not text")
        << reply(QJsonObject{{"mid_web_url", "x"}}) << failed << KeyValues{};
    QTest::newRow("data missing") << QByteArray(R"({"code":0})") << failed << KeyValues{};
    QTest::newRow("server failure")
        << QByteArray(
               R"({"code":7,"msg":"No saved settings","data":{"configContent":"{\"mid_web_url\":\"x\"}"}})")
        << "7 No saved settings" << KeyValues{};
}

void TestConfigSync::download()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, result);
    QFETCH(KeyValues, written);
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    const QString file = box.modelFile();
    writeIni(file, "/PATH/mid_web_url", "https://old.example");
    writeIni(file, "/SET/Right_key", "Copy-0-rightKey");
    const QByteArray bytesBefore = bytesOf(file);
    QMap<QString, QString> expected = iniOnDisk(file);
    for (const auto &kv : written) {
        QVERIFY2(expected.contains(kv.first), qPrintable(kv.first));
        expected.insert(kv.first, kv.second);
    }
    server.enqueue(body);
    QCOMPARE(sendAndWait("GetDriverConf"), result);
    QCOMPARE(iniOnDisk(file), expected);
    if (!result.startsWith("0 "))
        QCOMPARE(bytesOf(file), bytesBefore);
}

void TestConfigSync::uploadThenDownloadRestoresTheSettings()
{
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    const QString file = box.modelFile();
    writeIni(file, "/SET/Mid_key", "复制-12-midKey");
    writeIni(file, "/SET/Side_wheel", "Scroll-1-slideWheel");
    writeIni(file, "/PATH/right_web_url", R"(https://example.com/?q=a b&c="d")");
    writeIni(file, "/PATH/mid_app_path", "file:///C:/Program Files/App/app.exe");
    const QMap<QString, QString> before = iniOnDisk(file);
    server.enqueue(R"({"code":0})");
    QCOMPARE(sendAndWait("SaveConfigInfo"), QStringLiteral("0 "));
    OpFunConfFile conf;
    conf.syncMouseIni();
    conf.SetDefault(); // "Restore default" wipes the assignments
    QVERIFY(iniOnDisk(file) != before);
    server.enqueue(reply(text(uploaded(server))));
    QCOMPARE(sendAndWait("GetDriverConf"), QStringLiteral("0 "));
    QCOMPARE(iniOnDisk(file), before);
}

QTEST_GUILESS_MAIN(TestConfigSync)
#include "tst_configsync.moc"
