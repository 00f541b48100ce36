// The configuration document a download applies to the current mouse's file.
// Input: the document's text. Properties: mouse.ini is never written; only the
// six control keys and the 28 PATH keys change; a control key changes only to an
// entry of three parts whose index lies inside the control's list; each PATH key
// the document holds as text is stored as that text (as far as UTF-8 can hold it).
#include "fuzz.h"

#include "catalogue.h"
#include "configsync.h"
#include "controls.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::map<std::string, std::string> modelValues(const std::string &model)
{
    return fuzz::iniValues(fuzz::snapshot()[model + ".ini"]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startQt();
    static int serial = 0;
    const std::string model = "M" + std::to_string(++serial);
    fuzz::restore({{"mouse.ini", "[SET]\nmouse=" + model + "\n"}});
    OpFunConfFile conf;
    conf.syncMouseIni();
    conf.SetDefault();
    const fuzz::Files before = fuzz::snapshot();
    const auto valuesBefore = modelValues(model);

    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (!document.isObject())
        return 0;
    const QJsonObject object = document.object();
    configdoc::apply(conf, object);

    const fuzz::Files after = fuzz::snapshot();
    FUZZ_CHECK(after.at("mouse.ini") == before.at("mouse.ini"));
    FUZZ_CHECK(after.size() == before.size());
    const auto valuesAfter = modelValues(model);
    for (const auto &kv : fuzz::changedKeys(valuesBefore, valuesAfter)) {
        const QString key = QString::fromStdString(kv.first);
        const QString value = QString::fromStdString(kv.second);
        FUZZ_CHECK(valuesAfter.count(kv.first)); // nothing removed
        if (key.startsWith(QLatin1String("SET/"))) {
            const controls::Control *control = nullptr;
            for (const controls::Control &c : controls::kControls)
                if (key == QLatin1String("SET/") + QLatin1String(c.setKey))
                    control = &c;
            FUZZ_CHECK(control);
            const QStringList parts = controls::splitEntry(value);
            FUZZ_CHECK(parts.size() == 3);
            bool ok = false;
            const int index = parts.at(1).toInt(&ok);
            FUZZ_CHECK(ok && index >= 0 &&
                       index < (control->isWheel ? catalogue::kWheelCount : catalogue::kKeyCount));
        } else {
            FUZZ_CHECK(key.startsWith(QLatin1String("PATH/")));
            const QJsonValue given = object.value(key.mid(5));
            // As given, or as UTF-8 can hold it (a lone surrogate half becomes "?").
            FUZZ_CHECK(given.isString());
            const QByteArray utf8 = given.toString().toUtf8();
            FUZZ_CHECK(value == given.toString() ||
                       value == QString::fromUtf8(utf8.constData(), utf8.size()));
        }
    }
    return 0;
}
