// Opening documents on Linux goes through the desktop's URL handler; the
// Windows-only parts (special folders by CSIDL, the registry, the desktop toggle)
// are not available.
#include "shell.h"
#include "unavailable.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {
namespace {

class LinuxShell : public Shell
{
public:
    void open(const std::string &file, int) override
    {
        const QString text = QString::fromStdString(file);
        QUrl url = QUrl::fromUserInput(text);
        if (!url.isValid())
            return;
        QDesktopServices::openUrl(url);
    }
    void openSpecialFolder(int) override { linuxport::reportUnavailable("shell special folders"); }
    bool readRegistryString(RegistryRoot, const std::string &, const std::string &,
                            std::string &) override
    {
        return false;
    }
    void toggleDesktop() override { linuxport::reportUnavailable("show desktop"); }
};

} // namespace

std::unique_ptr<Shell> createShell()
{
    return std::make_unique<LinuxShell>();
}

} // namespace platform
