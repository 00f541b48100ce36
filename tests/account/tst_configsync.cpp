// Upload and download of the current mouse's settings as one configuration
// document, against the scripted loopback server.
#include "accountsandbox.h"
#include "configsync.h"
#include "opfunconffile.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using KeyValues = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(KeyValues)

namespace {

const QString kModel = QStringLiteral("QX210");
const QString kRemove = QStringLiteral("<remove>");
const QString kServerError = QStringLiteral("Server error, please try again later");

const char *const kControlKeys[] = {"Mid_key",      "Mid_wheel",  "Right_key",
                                    "Side_downkey", "Side_upkey", "Side_wheel"};

QStringList pathKeys()
{
    QStringList keys;
    for (const char *prefix : {"mid", "right", "slider_up", "slider_down"}) {
        for (const char *suffix : {"_web_url", "_file_path", "_folder_path", "_app_path",
                                   "_sound_path", "_main_speed", "_self_speed"})
            keys << QLatin1String(prefix) + QLatin1String(suffix);
    }
    return keys;
}

QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString entryDocument(const QJsonValue &name, const QJsonValue &index, const QJsonValue &tag)
{
    QJsonObject entry;
    if (!name.isUndefined())
        entry.insert(QStringLiteral("name"), name);
    if (!index.isUndefined())
        entry.insert(QStringLiteral("index"), index);
    if (!tag.isUndefined())
        entry.insert(QStringLiteral("tag"), tag);
    return compact(entry);
}

QByteArray downloadReply(const QJsonObject &document)
{
    QJsonObject data{{QStringLiteral("configContent"), compact(document)}};
    return QJsonDocument(QJsonObject{{QStringLiteral("code"), 0}, {QStringLiteral("data"), data}})
        .toJson(QJsonDocument::Compact);
}

QByteArray downloadReplyText(const QString &content)
{
    QJsonObject data{{QStringLiteral("configContent"), content}};
    return QJsonDocument(QJsonObject{{QStringLiteral("code"), 0}, {QStringLiteral("data"), data}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject defaultDocument()
{
    const QJsonObject body = QJsonDocument::fromJson(kDefaultUploadBody).object();
    return QJsonDocument::fromJson(body.value(QStringLiteral("configContent")).toString().toUtf8())
        .object();
}

// Every key of a model file, as the toolkit reads it.
QMap<QString, QString> fileContents(const QString &file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    QMap<QString, QString> contents;
    for (const QString &key : settings.allKeys())
        contents.insert(QLatin1Char('/') + key, settings.value(key).toString());
    return contents;
}

} // namespace

class TestConfigSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void uploadDocument_data();
    void uploadDocument();
    void uploadFollowsTheCurrentModel();
    void download_data();
    void download();
    void uploadThenDownloadRestoresTheSettings();

private:
    QJsonObject upload(QString *configType = nullptr);
    bool downloadWith(const QByteArray &reply, int *rCode, QString *rMsg);

    std::unique_ptr<AccountSandbox> m_sandbox;
    std::unique_ptr<ScriptedHttpServer> m_server;
};

void TestConfigSync::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void TestConfigSync::init()
{
    m_sandbox = std::make_unique<AccountSandbox>();
    m_server = std::make_unique<ScriptedHttpServer>();
    QVERIFY(m_sandbox->isValid());
    QVERIFY(m_server->isListening());
    m_sandbox->useServer(*m_server);
    m_sandbox->chooseModel(kModel);
}

void TestConfigSync::cleanup()
{
    m_server.reset();
    m_sandbox.reset();
}

QJsonObject TestConfigSync::upload(QString *configType)
{
    m_server->enqueue(ScriptedReply::json(R"({"code":0})"));
    SaveConfigInfo save;
    QSignalSpy spy(&save, SIGNAL(sigSaveConfRet(int, QString)));
    save.VlSaveConfigInfoJson();
    if (!waitForOneResult(spy) || m_server->received().isEmpty())
        return QJsonObject();
    const QByteArray body = m_server->received().constLast().body;
    const QJsonObject outer = QJsonDocument::fromJson(body).object();
    if (configType)
        *configType = outer.value(QStringLiteral("configType")).toString();
    // Sent compact, the document as text inside the body.
    const QString content = outer.value(QStringLiteral("configContent")).toString();
    const QJsonDocument document = QJsonDocument::fromJson(content.toUtf8());
    if (QJsonDocument(outer).toJson(QJsonDocument::Compact) != body ||
        document.toJson(QJsonDocument::Compact) != content.toUtf8() ||
        outer.value(QStringLiteral("filePath")) != QJsonValue(QString()))
        return QJsonObject();
    return document.object();
}

bool TestConfigSync::downloadWith(const QByteArray &reply, int *rCode, QString *rMsg)
{
    m_server->enqueue(ScriptedReply::json(reply));
    GetDriverConf get;
    QSignalSpy spy(&get, SIGNAL(sigGetConfRet(int, QString)));
    get.VlDownConfigInfoJson();
    if (!waitForOneResult(spy))
        return false;
    *rCode = spy.at(0).at(0).toInt();
    *rMsg = spy.at(0).at(1).toString();
    return true;
}

void TestConfigSync::uploadDocument_data()
{
    QTest::addColumn<KeyValues>("stored"); // model file keys changed before the upload
    QTest::addColumn<KeyValues>("sent");   // document members that differ from the defaults'

    QTest::newRow("defaults") << KeyValues{} << KeyValues{};
    QTest::newRow("side wheel entry of four parts")
        << KeyValues{{"/SET/Side_wheel", "Scroll-left-9-slideWheel"}}
        << KeyValues{{"Side_wheel", ""}};
    QTest::newRow("entry of two parts")
        << KeyValues{{"/SET/Mid_key", "none-48"}} << KeyValues{{"Mid_key", ""}};
    QTest::newRow("entry absent") << KeyValues{{"/SET/Mid_wheel", kRemove}}
                                  << KeyValues{{"Mid_wheel", ""}};
    QTest::newRow("translated name")
        << KeyValues{{"/SET/Right_key", QString::fromUtf8("复制-12-rightKey")}}
        << KeyValues{{"Right_key",
                      QString::fromUtf8(R"({"index":"12","name":"复制","tag":"rightKey"})")}};
    QTest::newRow("empty parts kept")
        << KeyValues{{"/SET/Side_upkey", "--slideUpKey"}}
        << KeyValues{{"Side_upkey", R"({"index":"","name":"","tag":"slideUpKey"})"}};
    QTest::newRow("empty path sent as none") << KeyValues{{"/PATH/mid_web_url", ""}} << KeyValues{};
    QTest::newRow("NONE sent as none")
        << KeyValues{{"/PATH/right_file_path", "NONE"}, {"/PATH/right_app_path", "None"}}
        << KeyValues{};
    QTest::newRow("absent path sent as NULL") << KeyValues{{"/PATH/slider_up_app_path", kRemove}}
                                              << KeyValues{{"slider_up_app_path", "NULL"}};
    QTest::newRow("values as typed")
        << KeyValues{{"/PATH/slider_down_web_url", R"(https://example.com/a?b=c&d="e")"},
                     {"/PATH/mid_main_speed", "17"},
                     {"/PATH/right_folder_path", "file:///C:/Users/Ann/Music"}}
        << KeyValues{{"slider_down_web_url", R"(https://example.com/a?b=c&d="e")"},
                     {"mid_main_speed", "17"},
                     {"right_folder_path", "file:///C:/Users/Ann/Music"}};
}

void TestConfigSync::uploadDocument()
{
    QFETCH(KeyValues, stored);
    QFETCH(KeyValues, sent);
    for (const auto &kv : stored) {
        if (kv.second == kRemove)
            m_sandbox->removeModelValue(kModel, kv.first);
        else
            m_sandbox->setModelValue(kModel, kv.first, kv.second);
    }
    QJsonObject expected = defaultDocument();
    QCOMPARE(expected.size(), 34);
    for (const auto &kv : sent)
        expected.insert(kv.first, kv.second);

    QString configType;
    const QJsonObject document = upload(&configType);
    QCOMPARE(m_server->received().size(), 1);
    QCOMPARE(configType, kModel);
    QCOMPARE(document, expected);
}

void TestConfigSync::uploadFollowsTheCurrentModel()
{
    SaveConfigInfo save; // created before the model changes, as a page would be
    OpFunConfFile().SetCurrentMouse(QStringLiteral("PL40"));
    m_sandbox->setModelValue(QStringLiteral("PL40"), QStringLiteral("/SET/Mid_key"),
                             QStringLiteral("Paste-3-midKey"));
    m_server->enqueue(ScriptedReply::json(R"({"code":0})"));
    QSignalSpy spy(&save, SIGNAL(sigSaveConfRet(int, QString)));
    save.VlSaveConfigInfoJson();
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(m_server->received().size(), 1);
    const QJsonObject outer = QJsonDocument::fromJson(m_server->received().at(0).body).object();
    QCOMPARE(outer.value(QStringLiteral("configType")).toString(), QStringLiteral("PL40"));
    const QJsonObject document =
        QJsonDocument::fromJson(outer.value(QStringLiteral("configContent")).toString().toUtf8())
            .object();
    QCOMPARE(document.value(QStringLiteral("Mid_key")).toString(),
             QStringLiteral(R"({"index":"3","name":"Paste","tag":"midKey"})"));
}

void TestConfigSync::download_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::addColumn<KeyValues>("written"); // model file keys that change

    // Before every row the file holds the defaults plus
    // /PATH/mid_web_url "https://old.example" and /SET/Right_key "Copy-0-rightKey".
    const QJsonValue none; // an absent member
    auto doc = [](std::initializer_list<QPair<QString, QJsonValue>> members) {
        QJsonObject object;
        for (const auto &m : members)
            object.insert(m.first, m.second);
        return downloadReply(object);
    };

    QJsonObject full;
    KeyValues fullWritten;
    const QStringList tags = {"midKey",       "midWheel",   "rightKey",
                              "slideDownKey", "slideUpKey", "slideWheel"};
    for (int i = 0; i < 6; ++i) {
        full.insert(kControlKeys[i],
                    entryDocument("F" + QString::number(i), QString::number(i + 1), tags[i]));
        fullWritten << qMakePair(QStringLiteral("/SET/") + kControlKeys[i],
                                 QStringLiteral("F%1-%2-%3").arg(i).arg(i + 1).arg(tags[i]));
    }
    for (const QString &key : pathKeys()) {
        full.insert(key, "v:" + key);
        fullWritten << qMakePair("/PATH/" + key, "v:" + key);
    }
    QTest::newRow("full document") << downloadReply(full) << 0 << "" << fullWritten;

    QTest::newRow("only Mid_key") << doc({{"Mid_key", entryDocument("Paste", "3", "midKey")}}) << 0
                                  << "" << KeyValues{{"/SET/Mid_key", "Paste-3-midKey"}};
    QTest::newRow("index as a number") << doc({{"Mid_key", entryDocument("Cut", 12, "midKey")}})
                                       << 0 << "" << KeyValues{{"/SET/Mid_key", "Cut-12-midKey"}};
    QTest::newRow("index fractional")
        << doc({{"Mid_key", entryDocument("Cut", 4.5, "midKey")}}) << 0 << "" << KeyValues{};
    QTest::newRow("index negative")
        << doc({{"Mid_key", entryDocument("Cut", -1, "midKey")}}) << 0 << "" << KeyValues{};
    QTest::newRow("index not a number")
        << doc({{"Mid_key", entryDocument("Cut", "twelve", "midKey")}}) << 0 << "" << KeyValues{};
    QTest::newRow("index empty") << doc({{"Mid_key", entryDocument("Cut", "", "midKey")}}) << 0
                                 << "" << KeyValues{};
    QTest::newRow("index missing")
        << doc({{"Mid_key", entryDocument("Cut", none, "midKey")}}) << 0 << "" << KeyValues{};
    QTest::newRow("dash inside the name")
        << doc({{"Mid_key", entryDocument("Zoom-in", "20", "midKey")}}) << 0 << "" << KeyValues{};
    QTest::newRow("name and tag missing") << doc({{"Mid_wheel", entryDocument(none, "2", none)}})
                                          << 0 << "" << KeyValues{{"/SET/Mid_wheel", "-2-"}};
    QTest::newRow("name not text") << doc({{"Side_upkey", entryDocument(7, "5", "slideUpKey")}})
                                   << 0 << "" << KeyValues{{"/SET/Side_upkey", "-5-slideUpKey"}};
    QTest::newRow("side wheel sent empty")
        << doc({{"Side_wheel", ""}, {"Right_key", entryDocument("Mute", "30", "rightKey")}}) << 0
        << "" << KeyValues{{"/SET/Right_key", "Mute-30-rightKey"}};
    QTest::newRow("control as an object, not text")
        << doc({{"Side_downkey", QJsonObject{{"index", "1"}, {"name", "a"}, {"tag", "b"}}}}) << 0
        << "" << KeyValues{};
    QTest::newRow("control text not JSON")
        << doc({{"Side_downkey", "none-48-slideDownKey"}}) << 0 << "" << KeyValues{};
    QTest::newRow("none written as given")
        << doc({{"mid_web_url", "none"}, {"right_app_path", ""}}) << 0 << ""
        << KeyValues{{"/PATH/mid_web_url", "none"}, {"/PATH/right_app_path", ""}};
    QTest::newRow("path not text") << doc({{"mid_main_speed", 5},
                                           {"mid_web_url", QJsonValue::Null},
                                           {"slider_up_self_speed", "20"}})
                                   << 0 << "" << KeyValues{{"/PATH/slider_up_self_speed", "20"}};
    QTest::newRow("empty document") << doc({}) << 0 << "" << KeyValues{};

    QTest::newRow("configContent not JSON") << downloadReplyText(R"({"Mid_key":"{\"index\":\"3\")")
                                            << -1 << kServerError << KeyValues{};
    QTest::newRow("configContent empty")
        << downloadReplyText("") << -1 << kServerError << KeyValues{};
    QTest::newRow("configContent an array")
        << downloadReplyText(R"([{"Mid_key":""}])") << -1 << kServerError << KeyValues{};
    QTest::newRow("configContent missing")
        << QByteArray(R"({"code":0,"data":{}})") << -1 << kServerError << KeyValues{};
    QTest::newRow("configContent an object, not text")
        << QByteArray(R"({"code":0,"data":{"configContent":{"mid_web_url":"x"}}})") << -1
        << kServerError << KeyValues{};
    QTest::newRow("data missing") << QByteArray(R"({"code":0})") << -1 << kServerError
                                  << KeyValues{};
    QTest::newRow("server failure")
        << QByteArray(
               R"({"code":7,"msg":"No saved settings","data":{"configContent":"{\"mid_web_url\":\"x\"}"}})")
        << 7 << "No saved settings" << KeyValues{};
    QTest::newRow("body not JSON") << QByteArray("<html/>") << -1 << kServerError << KeyValues{};
}

void TestConfigSync::download()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, code);
    QFETCH(QString, msg);
    QFETCH(KeyValues, written);

    m_sandbox->setModelValue(kModel, "/PATH/mid_web_url", "https://old.example");
    m_sandbox->setModelValue(kModel, "/SET/Right_key", "Copy-0-rightKey");
    const QString file = m_sandbox->modelFile(kModel);
    const QByteArray bytesBefore = AccountSandbox::bytesOf(file);
    QMap<QString, QString> expected = fileContents(file);
    for (const auto &kv : written) {
        QVERIFY2(expected.contains(kv.first), qPrintable(kv.first));
        expected.insert(kv.first, kv.second);
    }

    int rCode = 0;
    QString rMsg;
    QVERIFY(downloadWith(reply, &rCode, &rMsg));
    QCOMPARE(rCode, code);
    QCOMPARE(rMsg, msg);
    QCOMPARE(m_server->received().size(), 1);
    QCOMPARE(m_server->received().at(0).body, QByteArray(R"({"configType":"QX210"})"));

    // Compared as a fresh reader of the file on disk sees it.
    const QString copy = QDir(m_sandbox->dir()).filePath("copy.ini");
    QVERIFY(QFile::copy(file, copy));
    QCOMPARE(fileContents(copy), expected);
    if (code != 0)
        QCOMPARE(AccountSandbox::bytesOf(file), bytesBefore);
}

void TestConfigSync::uploadThenDownloadRestoresTheSettings()
{
    const KeyValues assigned = {{"/SET/Mid_key", QString::fromUtf8("复制-12-midKey")},
                                {"/SET/Side_wheel", "Scroll-1-slideWheel"},
                                {"/PATH/right_web_url", "https://example.com/?q=a b&c=\"d\""},
                                {"/PATH/slider_up_main_speed", "11"},
                                {"/PATH/mid_app_path", "file:///C:/Program Files/App/app.exe"}};
    for (const auto &kv : assigned)
        m_sandbox->setModelValue(kModel, kv.first, kv.second);
    const QString file = m_sandbox->modelFile(kModel);
    const QMap<QString, QString> before = fileContents(file);

    const QJsonObject document = upload();
    QCOMPARE(document.size(), 34);
    OpFunConfFile conf;
    conf.syncMouseIni();
    conf.SetDefault(); // "Restore default" wipes the assignments
    QVERIFY(fileContents(file) != before);

    int rCode = 0;
    QString rMsg;
    QVERIFY(downloadWith(downloadReply(document), &rCode, &rMsg));
    QCOMPARE(rCode, 0);
    QCOMPARE(fileContents(file), before);
}

QTEST_GUILESS_MAIN(TestConfigSync)
#include "tst_configsync.moc"
