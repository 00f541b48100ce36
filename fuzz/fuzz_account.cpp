// The replies of the nine account requests. Input: a byte choosing the request,
// a byte of flags (bit 0: the transfer failed), the "Authorization" header up to
// a newline, then the body. Properties: every reply is answered once; a reply
// answered with a code other than 0 writes nothing; a log-in writes only the
// three sign-in keys of mouse.ini; a download writes only the current mouse's
// file, and there only control and PATH keys; the other requests write nothing.
#include "fuzz.h"

#include "accountoperations.h"
#include "configsync.h"
#include "getsoftwareversion.h"
#include "loginaccount.h"

#include <QCoreApplication>
#include <QNetworkReply>

#include <iterator>
#include <memory>
#include <set>
#include <vector>

namespace {

// A finished reply that serves its body from memory.
class BufferReply : public QNetworkReply
{
public:
    BufferReply(const QByteArray &body, const QByteArray &authorization, bool failed)
        : m_body(body)
    {
        setOperation(QNetworkAccessManager::PostOperation);
        if (!authorization.isEmpty())
            setRawHeader("Authorization", authorization);
        if (failed)
            setError(QNetworkReply::ConnectionRefusedError, QStringLiteral("refused"));
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        setFinished(true);
    }
    void abort() override {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_body.size() - m_pos + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin(maxSize, qint64(m_body.size() - m_pos));
        memcpy(data, m_body.constData() + m_pos, size_t(n));
        m_pos += int(n);
        return n;
    }

private:
    QByteArray m_body;
    int m_pos = 0;
};

enum class Writes { Nothing, SignIn, Download };

struct Request
{
    VLAccountManage *object;
    Writes writes;
};

int g_answers = 0;
int g_code = 0;

template <class T, class Signal>
Request make(Signal signal, Writes writes)
{
    T *object = new T;
    QObject::connect(object, signal, [](int code, const QString &) {
        ++g_answers;
        g_code = code;
    });
    return {object, writes};
}

// Made afresh for each input, after the settings files are in place, as the pages
// make one for each request.
using Maker = Request (*)();
const Maker kRequests[] = {
    [] { return make<LoginAccount>(&LoginAccount::sigLoginRet, Writes::SignIn); },
    [] { return make<RegisterAccount>(&RegisterAccount::sigRegisterRet, Writes::Nothing); },
    [] { return make<UpdatePasswdAccount>(&UpdatePasswdAccount::sigUpdatePwdRet, Writes::Nothing); },
    [] { return make<FindPasswd>(&FindPasswd::sigFindPwdRet, Writes::Nothing); },
    [] { return make<ValidatePassword>(&ValidatePassword::sigValidateCodeRet, Writes::Nothing); },
    [] { return make<NewPassword>(&NewPassword::sigAlterPwdRet, Writes::Nothing); },
    [] { return make<SaveConfigInfo>(&SaveConfigInfo::sigSaveConfRet, Writes::Nothing); },
    [] { return make<GetDriverConf>(&GetDriverConf::sigGetConfRet, Writes::Download); },
    [] { return make<GetSoftwareVersion>(&GetSoftwareVersion::sigGetSoftwareVer, Writes::Nothing); },
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startQt();
    fuzz::Input in(data, size);
    const Maker maker = kRequests[in.byte() % std::size(kRequests)];
    const bool failed = in.byte() & 1;
    const std::string authorization = in.until('\n');
    const std::string body = in.rest();
    // The same files each time: the toolkit's cache of parsed files may hand an
    // object an earlier input's copy of them, which then holds the same keys.
    const std::string model = "QX210";
    fuzz::restore({{"mouse.ini", "[SET]\nmouse=" + model + "\n[INFO]\ntoken=old\n"},
                   {model + ".ini", "[SET]\nisConf=Y\nMid_key=none-48-midKey\n"}});
    // Made before the reply arrives, as a page makes it before it sends.
    const Request request = maker();
    const fuzz::Files before = fuzz::snapshot();

    g_answers = 0;
    auto *reply = new BufferReply(QByteArray::fromStdString(body),
                                  QByteArray::fromStdString(authorization), failed);
    emit request.object->sigFinished(reply);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FUZZ_CHECK(g_answers == 1);
    delete request.object;

    const fuzz::Files after = fuzz::snapshot();
    if (g_code != 0 || request.writes == Writes::Nothing) {
        FUZZ_CHECK(after == before);
        return 0;
    }
    FUZZ_CHECK(after.size() == before.size());
    if (request.writes == Writes::SignIn) {
        FUZZ_CHECK(after.at(model + ".ini") == before.at(model + ".ini"));
        const std::set<std::string> signIn = {"INFO/token", "INFO/email", "INFO/nickName"};
        for (const auto &kv : fuzz::changedKeys(fuzz::iniValues(before.at("mouse.ini")),
                                                fuzz::iniValues(after.at("mouse.ini"))))
            FUZZ_CHECK(signIn.count(kv.first));
    } else {
        FUZZ_CHECK(after.at("mouse.ini") == before.at("mouse.ini"));
        for (const auto &kv : fuzz::changedKeys(fuzz::iniValues(before.at(model + ".ini")),
                                                fuzz::iniValues(after.at(model + ".ini"))))
            FUZZ_CHECK(kv.first.rfind("SET/", 0) == 0 || kv.first.rfind("PATH/", 0) == 0);
    }
    return 0;
}
