// The language the configurator's user interface runs in, as the account
// requests name it in their "lang" header.
#pragma once

#include <QString>

namespace appenv {

// "en" unless start-up installed the Chinese translation, then "zh".
QString languageCode();
void setLanguageCode(const QString &code);

} // namespace appenv
