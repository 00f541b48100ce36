// Which page of the configurator's window is shown, which box and cover lie on
// top, and where the pairing pages lead back to. The main page feeds it the state
// names of its pages and of the pairing link, the receiver checks and the model
// choice; it keeps the rules, the page only lays the pages out by `page`.
// Qt Quick type an.utility.PageNavigator 1.0. Main thread only.
#pragma once

#include <QObject>
#include <QString>

class QTimer;

class PageNavigator : public QObject
{
    Q_OBJECT
    // "splash", "disconnect", "choose", "connect", "enterPair", "pair", "about", "account".
    Q_PROPERTY(QString page READ page NOTIFY changed)
    // The page the receiver state selected last ("connect" or "disconnect"); the
    // pairing pages return to it. Only one of the two flags is ever set.
    Q_PROPERTY(bool connectPageState READ connectPageState NOTIFY changed)
    Q_PROPERTY(bool disconnectPageState READ disconnectPageState NOTIFY changed)
    // 1: pairing entered from the connection page, 0: from the no-device page.
    Q_PROPERTY(int revButton READ revButton NOTIFY changed)
    // "" (none), "restore" or "confirm"; the dark cover lies under every box.
    Q_PROPERTY(QString box READ box NOTIFY changed)
    Q_PROPERTY(bool darkCover READ darkCover NOTIFY changed)
    Q_PROPERTY(QString confirmTitle READ confirmTitle NOTIFY changed)
    // The model on the connection page's model button ("NULL" until one is known).
    Q_PROPERTY(QString currentModel READ currentModel NOTIFY changed)
    Q_PROPERTY(bool eightKeys READ eightKeys NOTIFY changed)
    // The information box near the top of the window.
    Q_PROPERTY(bool infoVisible READ infoVisible NOTIFY changed)
    Q_PROPERTY(QString infoText READ infoText NOTIFY changed)
    Q_PROPERTY(bool infoSuccess READ infoSuccess NOTIFY changed)
    // The information box shows the failure to enter pairing mode.
    Q_PROPERTY(bool enterFailVisible READ enterFailVisible NOTIFY changed)

public:
    static constexpr int kPairResultMs = 1500;
    static constexpr int kInfoMs = 3000;

    explicit PageNavigator(QObject *parent = nullptr);

    QString page() const { return m_page; }
    bool connectPageState() const { return m_connectPageState; }
    bool disconnectPageState() const { return m_disconnectPageState; }
    int revButton() const { return m_revButton; }
    QString box() const { return m_box; }
    bool darkCover() const { return !m_box.isEmpty(); }
    QString confirmTitle() const { return m_confirmTitle; }
    QString currentModel() const { return m_currentModel; }
    bool eightKeys() const { return m_eightKeys; }
    bool infoVisible() const { return m_infoVisible; }
    QString infoText() const { return m_infoText; }
    bool infoSuccess() const { return m_infoSuccess; }
    bool enterFailVisible() const { return m_enterFailVisible; }

    // A state name of the navigation table; `argument` is the chosen model for
    // "version_confirm". False (and nothing changes) for an unknown name.
    Q_INVOKABLE bool handle(const QString &state, const QString &argument = QString());
    // The result of the receiver check after the splash, with the stored model.
    Q_INVOKABLE void receiverChecked(bool present, const QString &storedModel);
    // The receiver was plugged or unplugged; `present` is the new check's result.
    Q_INVOKABLE void receiverChanged(bool present, const QString &storedModel);
    // "Sure" in the model confirmation box: the model is stored by the caller.
    Q_INVOKABLE void modelConfirmed(const QString &model);
    // Another program changed the stored model while the connection page shows:
    // the page follows it, or asks for a model where none is stored any more.
    Q_INVOKABLE void storedModelChanged(const QString &storedModel);
    // An answer in the restore-defaults box; emits sigRestoreDefaults on "Sure".
    Q_INVOKABLE void restoreAnswered(bool sure);
    // Shows the information box for `ms` milliseconds.
    Q_INVOKABLE void showInfo(const QString &text, bool success, int ms = kInfoMs);

signals:
    void changed();
    // The connection page shows `model`: bind its settings file and lay out its keys.
    void sigShowModel(QString model, bool eightKeys);
    void sigSignOut();
    void sigRestoreDefaults();

private:
    void setPage(const QString &page);
    void showSelectedByReceiver(bool present, const QString &storedModel);
    void afterPairResult(const QString &page);
    // Where the pairing pages lead back to: the page the receiver selected last.
    QString pageAfterPairing() const;

    QString m_page = QStringLiteral("splash");
    bool m_connectPageState = false;
    bool m_disconnectPageState = false;
    int m_revButton = 1;
    QString m_box;
    QString m_confirmTitle;
    QString m_currentModel = QStringLiteral("NULL");
    bool m_eightKeys = true;
    bool m_infoVisible = false;
    QString m_infoText;
    bool m_infoSuccess = true;
    bool m_enterFailVisible = false;
    QTimer *m_infoTimer;
    QTimer *m_enterFailTimer;
    QTimer *m_pairTimer;
    QString m_pageAfterPair;
};
