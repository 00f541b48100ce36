// The page rules of the configurator's window, without the pages.
#include "pagenavigator.h"

#include <QtTest>

class TestPageNavigator : public QObject
{
    Q_OBJECT

private slots:
    // Each row: where the receiver check put the window, then states handled in turn
    // ("+plug": the receiver is plugged in).
    void states_data()
    {
        QTest::addColumn<QString>("start"); // "connect", "disconnect" or "choose"
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("signOuts");
        const auto row = [](const char *tag, const char *start, const char *states,
                            const char *page, const char *box = "", int signOuts = 0) {
            QTest::newRow(tag) << start << states << page << box << signOuts;
        };
        row("about", "connect", "QXAbout", "about");
        row("restore box", "connect", "default_set", "connect", "restore");
        row("model box", "choose", "version_confirm", "choose", "confirm");
        row("account page", "connect", "sign_in_clicked", "account");
        row("sign out", "connect", "sign_in_clicked sign_out", "connect", "", 1);
        row("pair from home, back", "connect", "QXPair hidePair", "connect");
        row("pair from no device, back", "disconnect", "DisconnPair toDisconnect", "disconnect");
        row("plugged in while preparing, back", "disconnect", "DisconnPair +plug toDisconnect",
            "connect");
        row("entered pairing", "connect", "QXPair enterSuccess", "pair");
        row("choose again", "connect", "return_choose", "choose");
        row("choose again, back", "connect", "return_choose hide_choose", "connect");
        row("no model yet, no way back", "choose", "hide_choose", "choose");
        row("unknown state", "connect", "nonsense", "connect");
    }
    void states()
    {
        QFETCH(QString, start);
        QFETCH(QString, states);
        QFETCH(QString, page);
        QFETCH(QString, box);
        QFETCH(int, signOuts);
        PageNavigator nav;
        QSignalSpy out(&nav, &PageNavigator::sigSignOut);
        nav.receiverChecked(start != "disconnect", start == "choose" ? "NULL" : "QX210");
        QCOMPARE(nav.page(), start);
        for (const QString &state : states.split(' ')) {
            if (state == "+plug")
                nav.receiverChanged(true, "QX210");
            else
                QCOMPARE(nav.handle(state, "PL40"), state != "nonsense");
        }
        QCOMPARE(nav.page(), page);
        QCOMPARE(nav.box(), box);
        QCOMPARE(nav.darkCover(), !box.isEmpty());
        QCOMPARE(out.count(), signOuts);
        if (box == "confirm")
            QCOMPARE(nav.confirmTitle(), QString("PL40"));
    }

    // Where the pairing pages lead once the result box has been shown.
    void pairResults_data()
    {
        QTest::addColumn<QString>("storedModel");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("success");
        QTest::addColumn<bool>("pluggedWhilePreparing");
        QTest::newRow("paired") << "QX330"
                                << "pairSuccess"
                                << "connect" << true << false;
        QTest::newRow("failed") << "QX330"
                                << "pairFailure"
                                << "enterPair" << false << false;
        QTest::newRow("paired, plugged in while preparing") << "QX330"
                                                            << "pairSuccess"
                                                            << "connect" << true << true;
    }
    void pairResults()
    {
        QFETCH(QString, storedModel);
        QFETCH(QString, result);
        QFETCH(QString, page);
        QFETCH(bool, success);
        QFETCH(bool, pluggedWhilePreparing);
        PageNavigator nav;
        QSignalSpy shown(&nav, &PageNavigator::sigShowModel);
        nav.receiverChecked(false, storedModel);
        if (!pluggedWhilePreparing)
            nav.receiverChanged(true, storedModel);
        nav.handle("DisconnPair");
        if (pluggedWhilePreparing)
            nav.receiverChanged(true, storedModel);
        nav.handle("enterSuccess");
        nav.handle(result);
        QVERIFY(nav.infoVisible());
        QCOMPARE(nav.infoSuccess(), success);
        QCOMPARE(nav.page(), QString("pair"));
        QTRY_COMPARE(nav.page(), page);
        QVERIFY(!nav.infoVisible());
        QCOMPARE(shown.count(), storedModel == "NULL" ? 0 : 1);
        QCOMPARE(nav.currentModel(), storedModel);
    }

    void receiverChanges_data()
    {
        QTest::addColumn<QString>("states"); // after the start on the connection page
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("connectFlag");
        QTest::newRow("unplugged with a box open")
            << "default_set" << false << "disconnect" << false;
        QTest::newRow("plugged on the about page") << "QXAbout" << true << "connect" << true;
        QTest::newRow("plugged while pairing") << "QXPair enterSuccess" << true << "pair" << true;
    }
    void receiverChanges()
    {
        QFETCH(QString, states);
        QFETCH(bool, present);
        QFETCH(QString, page);
        QFETCH(bool, connectFlag);
        PageNavigator nav;
        QSignalSpy shown(&nav, &PageNavigator::sigShowModel);
        nav.receiverChecked(true, "QX460");
        for (const QString &state : states.split(' ', Qt::SkipEmptyParts))
            nav.handle(state);
        nav.receiverChanged(present, "QX460");
        QCOMPARE(nav.page(), page);
        QVERIFY(nav.box().isEmpty() || present);
        QCOMPARE(nav.connectPageState(), connectFlag);
        QCOMPARE(nav.disconnectPageState(), !connectFlag);
        QCOMPARE(shown.count(), page == "connect" && present ? 2 : 1);
        QCOMPARE(shown.last(), (QVariantList{"QX460", true}));
    }

    // Another program changed the stored model; only the connection page follows.
    void storedModelChangedElsewhere_data()
    {
        QTest::addColumn<QString>("states"); // after the start on QX210's connection page
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("model");
        QTest::newRow("another model") << ""
                                       << "QX330"
                                       << "connect"
                                       << "QX330";
        QTest::newRow("none any more") << "default_set"
                                       << "NULL"
                                       << "choose"
                                       << "NULL";
        QTest::newRow("the same") << ""
                                  << "QX210"
                                  << "connect"
                                  << "QX210";
        QTest::newRow("on the about page") << "QXAbout"
                                           << "NULL"
                                           << "about"
                                           << "QX210";
    }
    void storedModelChangedElsewhere()
    {
        QFETCH(QString, states);
        QFETCH(QString, stored);
        QFETCH(QString, page);
        QFETCH(QString, model);
        PageNavigator nav;
        nav.receiverChecked(true, "QX210");
        for (const QString &state : states.split(' ', Qt::SkipEmptyParts))
            nav.handle(state);
        QSignalSpy shown(&nav, &PageNavigator::sigShowModel);
        nav.storedModelChanged(stored);
        QCOMPARE(nav.page(), page);
        QVERIFY(nav.box().isEmpty());
        QCOMPARE(nav.currentModel(), model);
        QCOMPARE(shown.count(), page == "connect" && model != "QX210" ? 1 : 0);
        if (page == "choose") { // no way back to the model that is gone
            nav.handle("hide_choose");
            QCOMPARE(nav.page(), page);
        }
    }

    void plugDuringTheSplashIsLeftToTheFirstCheck()
    {
        PageNavigator nav;
        nav.receiverChanged(true, "QX210");
        QCOMPARE(nav.page(), QString("splash"));
    }
};

QTEST_MAIN(TestPageNavigator)
#include "tst_pagenavigator.moc"
