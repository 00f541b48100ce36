// The settings files as both programs read them, and the configurator's write
// followed by the agent's read. Input: a value, a zero byte, then the bytes of a
// model's settings file. Properties: every value written reads back identical,
// and writing one key leaves every other key of a file the writer wrote as it was.
#include "fuzz.h"

#include "agentconffile.h"
#include "controls.h"
#include "operateini.h"
#include "opfunconffile.h"

#include <QMetaMethod>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startQt();
    static int serial = 0;
    fuzz::Input in(data, size);
    const std::string valueBytes = in.until('\0');
    const std::string fileBytes = in.rest();
    const std::string model = "M" + std::to_string(++serial);
    fuzz::restore({{"mouse.ini", "[SET]\nmouse=" + model + "\n"}, {model + ".ini", fileBytes}});

    {
        // Every getter the pages call, and every read the agent makes.
        OpFunConfFile conf;
        conf.syncMouseIni();
        const QMetaObject *meta = conf.metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            if (m.name().startsWith("Get") && m.parameterCount() == 0) {
                QString ignored;
                m.invoke(&conf, Qt::DirectConnection, Q_RETURN_ARG(QString, ignored));
            }
        }
        agent::OpFunConfFile reader;
        for (const controls::Control &c : controls::kControls) {
            reader.catalogueIndex(c.number);
            for (const char *suffix : controls::kPathSuffixes)
                reader.pathValue(QLatin1String(c.prefix), QLatin1String(suffix));
        }
    }

    const QString path = QString::fromStdString(fuzz::settingsDir() + "/" + model + ".ini");
    const QString key = QStringLiteral("/PATH/mid_web_url");
    const QString value = QString::fromUtf8(valueBytes.data(), int(valueBytes.size()));
    const auto write = [&](const QString &text) {
        OperateIni writer(OperateIni::Reader::Configurator);
        writer.setSetIniPath(path);
        writer.setValue(key, text);
        writer.sync();
    };
    // The first write brings a hand-edited file into the writer's form (the toolkit
    // reads some broken lines differently once they are written back); from then
    // on a write changes the key it writes and nothing else.
    write(QStringLiteral("first"));
    const auto before = fuzz::iniValues(fuzz::snapshot()[model + ".ini"]);
    write(value);
    OperateIni agentReader(OperateIni::Reader::Agent);
    agentReader.setSetIniPath(path);
    const QString expected = value == QLatin1String("NULL") ? QStringLiteral("999") : value;
    FUZZ_CHECK(agentReader.getValue(key) == expected);

    auto after = fuzz::iniValues(fuzz::snapshot()[model + ".ini"]);
    FUZZ_CHECK(after["PATH/mid_web_url"] == value.toStdString());
    after.erase("PATH/mid_web_url");
    auto unchanged = before;
    unchanged.erase("PATH/mid_web_url");
    FUZZ_CHECK(fuzz::changedKeys(unchanged, after).empty());
    return 0;
}
