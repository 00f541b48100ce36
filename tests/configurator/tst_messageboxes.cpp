// The boxes and lines that show messages: when the version query's answer brings
// up the update box and what its buttons open through the shell; that the longest
// messages of both languages show whole in the information box and the error line.
#include "applicationfont.h"
#include "configuratorapp.h"
#include "fakeservices.h"
#include "qmlwarninggate.h"
#include "typeregistry.h"
#include "updateprompt.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// The longest texts these boxes show: the account server's (it answers in the
// user's language) and the pages' own, in English and, through the catalogue, in
// Chinese.
const char *const kServerTexts[] = {
    "The password must be 8 to 128 characters with a letter, a digit and a symbol",
    "If this address has an account, a verification code has been sent to it",
    "The verification code has expired, please request a new one",
    "密码须为 8 到 128 个字符，并包含字母、数字和符号",
    "如果该邮箱已注册，验证码已发送至该邮箱",
};
struct PageText
{
    const char *context;
    const char *source;
};
const PageText kPageTexts[] = {
    {"EnterPairFail", "Failed to prepare, please follow the \nsteps below to try again"},
    {"PageNavigator", "Mouse pairing failed, follow \nthe steps below to try again"},
    {"VLAccountManage", "Network Error, please try again later"},
    {"AccountForms", "Inconsistent password before and after"},
};

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

    QQmlEngine m_engine;
    QTranslator m_chinese;

    std::unique_ptr<QQuickItem> create(const QByteArray &document)
    {
        QQmlComponent component(&m_engine);
        component.setData(document, QUrl(QStringLiteral("qrc:/harness.qml")));
        std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem *>(component.create()));
        if (!item)
            qWarning() << component.errorString();
        return item;
    }

private slots:
    void initTestCase()
    {
        qmlgate::install();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        initConfiguratorResources();
        registerConfiguratorTypes();
        // The program's own font choice, so that texts wrap as they do there.
        applyApplicationFont(qEnvironmentVariable("VELKO_BIN_DIR") + "/font/" + kFontFileName);
        QVERIFY(loadChineseTranslation(m_chinese, QLocale(QLocale::Chinese, QLocale::China)));
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void answer_data()
    {
        QTest::addColumn<int>("rCode");
        QTest::addColumn<QString>("rMsg");
        QTest::addColumn<bool>("sure");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("opened"); // "" for nothing
        const QString url = "https://example.com/velko-1.0.exe";
        QTest::newRow("running version") << 0 << "pass" << true << false << "";
        QTest::newRow("other version, sure") << 0 << url << true << true << url;
        QTest::newRow("other version, cancel") << 0 << url << false << true << "";
        QTest::newRow("no address named") << 0 << "" << true << true << "";
        QTest::newRow("server failure") << 503 << "Maintenance" << true << false << "";
        QTest::newRow("network failure") << -1 << "Network Error" << true << false << "";
    }
    void answer()
    {
        QFETCH(int, rCode);
        QFETCH(QString, rMsg);
        QFETCH(bool, sure);
        QFETCH(bool, shown);
        QFETCH(QString, opened);
        FakeServices fakes;
        fakes.install();
        UpdatePrompt prompt;
        prompt.versionAnswered(rCode, rMsg);
        QCOMPARE(prompt.shown(), shown);
        if (sure)
            prompt.confirm();
        else
            prompt.cancel();
        QVERIFY(!prompt.shown());
        QStringList seen; // "<file> <showCmd>"
        for (const fake::FakeShell::Open &open : fakes.shell->opened())
            seen << QString::fromStdString(open.file) + ' ' + QString::number(open.showCmd);
        QCOMPARE(seen, opened.isEmpty() ? QStringList() : QStringList{opened + " 1"});
    }

    // Every text, wrapped, stays inside the box's frame, and nothing is cut.
    void longTextsShowWhole_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("textItem"); // "" for the root itself
        QTest::addColumn<QString>("text");
        const QList<QPair<const char *, QByteArray>> boxes = {
            {"information box", "import \"msgBox\"\nInformationBox {}"},
            {"error line", "import \"infoWidgets\"\nErrorLine {}"},
        };
        QStringList texts;
        for (const char *text : kServerTexts)
            texts << QString::fromUtf8(text);
        for (const PageText &t : kPageTexts)
            texts << QString::fromUtf8(t.source) << m_chinese.translate(t.context, t.source);
        for (const auto &box : boxes) {
            for (const QString &text : texts) {
                QTest::addRow("%s: %s", box.first, qPrintable(text.left(24)))
                    << box.second << (box.first[0] == 'i' ? "infoText" : "") << text;
            }
        }
    }
    void longTextsShowWhole()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, textItem);
        QFETCH(QString, text);
        QVERIFY2(text != "", "untranslated");
        const std::unique_ptr<QQuickItem> box = create(document);
        QVERIFY(box);
        QQuickItem *label =
            textItem.isEmpty() ? box.get() : box->findChild<QQuickItem *>(textItem);
        QVERIFY(label);
        // Rows are laid out when the window polishes them.
        QQuickWindow window;
        box->setParentItem(window.contentItem());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        label->setProperty("text", text);
        QVERIFY(!label->property("truncated").toBool());
        QRectF drawn, frame;
        const auto inside = [&] {
            drawn = label->mapRectToItem(box.get(),
                                         QRectF(0, 0, label->property("contentWidth").toReal(),
                                                label->property("contentHeight").toReal()));
            frame = QRectF(0, 0, box->width(), box->height());
            return frame.contains(drawn);
        };
        QVERIFY2(QTest::qWaitFor(inside, 1000), qPrintable(QStringLiteral("%1x%2 text in a %3x%4 frame")
                                                       .arg(drawn.width())
                                                       .arg(drawn.height())
                                                       .arg(frame.width())
                                                       .arg(frame.height())));
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
