#include "languagecode.h"

namespace appenv {
namespace {
QString &code()
{
    static QString value = QStringLiteral("en");
    return value;
}
} // namespace

QString languageCode()
{
    return code();
}

void setLanguageCode(const QString &value)
{
    code() = value;
}

} // namespace appenv
