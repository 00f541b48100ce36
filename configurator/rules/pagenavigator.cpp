#include "pagenavigator.h"

#include "assignmentrules.h"

#include <QDebug>
#include <QTimer>

#include <functional>
#include <map>

PageNavigator::PageNavigator(QObject *parent)
    : QObject(parent), m_infoTimer(new QTimer(this)), m_enterFailTimer(new QTimer(this)),
      m_pairTimer(new QTimer(this))
{
    for (QTimer *t : {m_infoTimer, m_enterFailTimer, m_pairTimer})
        t->setSingleShot(true);
    connect(m_infoTimer, &QTimer::timeout, this, [this] {
        m_infoVisible = false;
        emit changed();
    });
    connect(m_enterFailTimer, &QTimer::timeout, this, [this] {
        m_enterFailVisible = false;
        emit changed();
    });
    m_pairTimer->setInterval(kPairResultMs);
    connect(m_pairTimer, &QTimer::timeout, this, [this] {
        m_infoVisible = false;
        // Only while the pairing page is still up: the receiver may have gone meanwhile.
        if (m_page == QLatin1String("pair"))
            m_page = m_pageAfterPair;
        emit changed();
    });
}

void PageNavigator::setPage(const QString &page)
{
    m_page = page;
    emit changed();
}

bool PageNavigator::handle(const QString &state, const QString &argument)
{
    using Handler = std::function<void()>;
    const auto show = [this](const char *page) { return [this, page] { setPage(page); }; };
    const auto signOut = [this] {
        setPage(QStringLiteral("connect"));
        emit sigSignOut();
    };
    const auto pair = [this](int rev) {
        return [this, rev] {
            m_revButton = rev;
            setPage(QStringLiteral("enterPair"));
        };
    };
    const auto back = [this] { setPage(pageAfterPairing()); };
    const std::map<QString, Handler> table = {
        {QStringLiteral("QXAbout"), show("about")},
        {QStringLiteral("hide_about"), show("connect")},
        {QStringLiteral("default_set"),
         [this] {
             m_box = QStringLiteral("restore");
             emit changed();
         }},
        {QStringLiteral("version_confirm"),
         [this, argument] {
             m_confirmTitle = argument;
             m_box = QStringLiteral("confirm");
             emit changed();
         }},
        {QStringLiteral("sign_in_clicked"), show("account")},
        {QStringLiteral("hide_signOut_page"), show("connect")},
        {QStringLiteral("update_passwd"), signOut},
        {QStringLiteral("sign_out"), signOut},
        {QStringLiteral("QXPair"), pair(1)},
        {QStringLiteral("DisconnPair"), pair(0)},
        // Back from the preparation page, wherever pairing was entered from: the
        // receiver may have been plugged in meanwhile.
        {QStringLiteral("toDisconnect"), back},
        {QStringLiteral("hidePair"), back},
        {QStringLiteral("enterSuccess"), show("pair")},
        {QStringLiteral("enterFailure"),
         [this] {
             m_enterFailVisible = true;
             m_enterFailTimer->start(kPairResultMs);
             emit changed();
         }},
        {QStringLiteral("pairSuccess"),
         [this] {
             showInfo(tr("Mouse match success"), true, kPairResultMs);
             m_connectPageState = true;
             m_disconnectPageState = false;
             afterPairResult(pageAfterPairing());
         }},
        {QStringLiteral("pairFailure"),
         [this] {
             showInfo(tr("Mouse pairing failed, follow \nthe steps below to try again"), false,
                      kPairResultMs);
             afterPairResult(QStringLiteral("enterPair"));
         }},
        {QStringLiteral("return_choose"), show("choose")},
        // Back from the model choice without choosing: only where a model is stored.
        {QStringLiteral("hide_choose"),
         [this] {
             if (assignment::hasModel(m_currentModel))
                 setPage(pageAfterPairing());
         }},
    };
    const auto it = table.find(state);
    if (it == table.end()) {
        qDebug() << "PageNavigator: unknown state" << state;
        return false;
    }
    it->second();
    return true;
}

QString PageNavigator::pageAfterPairing() const
{
    if (m_disconnectPageState)
        return QStringLiteral("disconnect");
    // With no model chosen yet the model page comes first.
    return assignment::hasModel(m_currentModel) ? QStringLiteral("connect")
                                                : QStringLiteral("choose");
}

void PageNavigator::afterPairResult(const QString &page)
{
    m_pageAfterPair = page;
    m_pairTimer->start();
}

void PageNavigator::showSelectedByReceiver(bool present, const QString &storedModel)
{
    m_connectPageState = present;
    m_disconnectPageState = !present;
    if (!present) {
        m_box.clear();
        setPage(QStringLiteral("disconnect"));
        return;
    }
    if (!assignment::hasModel(storedModel)) {
        setPage(QStringLiteral("choose"));
        return;
    }
    m_currentModel = storedModel;
    m_eightKeys = assignment::isEightKeyModel(storedModel);
    emit sigShowModel(m_currentModel, m_eightKeys);
    setPage(QStringLiteral("connect"));
}

void PageNavigator::receiverChecked(bool present, const QString &storedModel)
{
    showSelectedByReceiver(present, storedModel);
}

void PageNavigator::receiverChanged(bool present, const QString &storedModel)
{
    // The check after the splash decides the first page.
    if (m_page == QLatin1String("splash"))
        return;
    if (!present) {
        showSelectedByReceiver(false, storedModel);
        return;
    }
    if (m_page == QLatin1String("connect"))
        return;
    // Pairing goes on across the receiver's own re-plugging; its pages return to
    // the connection page of the stored model afterwards.
    if (m_page == QLatin1String("enterPair") || m_page == QLatin1String("pair")) {
        m_connectPageState = true;
        m_disconnectPageState = false;
        if (assignment::hasModel(storedModel) && storedModel != m_currentModel) {
            m_currentModel = storedModel;
            m_eightKeys = assignment::isEightKeyModel(storedModel);
            emit sigShowModel(m_currentModel, m_eightKeys);
        }
        emit changed();
        return;
    }
    showSelectedByReceiver(true, storedModel);
}

void PageNavigator::modelConfirmed(const QString &model)
{
    m_box.clear();
    m_currentModel = model;
    m_eightKeys = assignment::isEightKeyModel(model);
    emit sigShowModel(m_currentModel, m_eightKeys);
    setPage(QStringLiteral("connect"));
}

void PageNavigator::storedModelChanged(const QString &storedModel)
{
    if (m_page != QLatin1String("connect"))
        return;
    if (!assignment::hasModel(storedModel)) {
        m_box.clear();
        m_currentModel = storedModel; // nothing to go back to
        setPage(QStringLiteral("choose"));
    } else if (storedModel != m_currentModel) {
        modelConfirmed(storedModel);
    }
}

void PageNavigator::restoreAnswered(bool sure)
{
    m_box.clear();
    emit changed();
    if (sure)
        emit sigRestoreDefaults();
}

void PageNavigator::showInfo(const QString &text, bool success, int ms)
{
    m_infoText = text;
    m_infoSuccess = success;
    m_infoVisible = true;
    m_infoTimer->start(ms);
    emit changed();
}
