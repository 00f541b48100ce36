#include "inicodec.h"

#include <QString>
#include <QTextCodec>

namespace ini {
namespace {

class SettingsUtf8Codec : public QTextCodec
{
public:
    QByteArray name() const override { return QByteArrayLiteral("UTF-8 (settings files)"); }
    int mibEnum() const override { return -4000; } // private range; never looked up by number

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override
    {
        return utf8()->toUnicode(in, length, state);
    }

    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *state) const override
    {
        // The INI writer's calls: one unit of a QString, no state. A high surrogate
        // is written together with the low one that follows it in the same text
        // (a QString's data always ends in a null unit, so the look-ahead stays
        // inside it), and that low surrogate's own call then writes nothing.
        thread_local bool skipLowSurrogate = false;
        if (state || length != 1) {
            skipLowSurrogate = false;
            return utf8()->fromUnicode(in, length, state);
        }
        const QChar c = in[0];
        if (c.isLowSurrogate() && skipLowSurrogate) {
            skipLowSurrogate = false;
            return QByteArray();
        }
        skipLowSurrogate = false;
        if (c.isHighSurrogate() && in[1].isLowSurrogate()) {
            skipLowSurrogate = true;
            return QString(in, 2).toUtf8();
        }
        // Anything else as the toolkit converts it (a lone surrogate half, which
        // UTF-8 cannot hold, becomes "?").
        return QString(c).toUtf8();
    }

private:
    static QTextCodec *utf8()
    {
        static QTextCodec *const codec = QTextCodec::codecForName("UTF-8");
        return codec;
    }
};

} // namespace

QTextCodec *utf8Codec()
{
    // Codecs register themselves with the toolkit on construction, which deletes
    // them at exit.
    static QTextCodec *const codec = new SettingsUtf8Codec;
    return codec;
}

} // namespace ini
