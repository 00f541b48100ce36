// velko-account-server: the account server the configurator signs in to.
#include "accountservice.h"
#include "crypto.h"
#include "httpserver.h"
#include "log.h"
#include "mailer.h"
#include "options.h"
#include "repository.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

using namespace velko::server;
namespace fs = std::filesystem;

namespace {

// The data folder and everything in it belong to the server's user alone,
// whatever the umask it was started with or the modes the files had before.
void makePrivate(const fs::path &folder)
{
    ::umask(077);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(),
                        entry.is_directory() ? fs::perms::owner_all
                                             : fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace);
    }
}

// The key recovery codes are stored under, made on first start. Instances that
// share one store need the same file.
std::string codeKey(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string key((std::istreambuf_iterator<char>(in)), {});
    if (in && key.size() >= 16)
        return key;
    if (fs::exists(path))
        throw std::runtime_error("unusable key file " + path + " (16 bytes or more expected)");
    key = newDigestKey();
    std::ofstream out(path, std::ios::binary);
    out << key;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return key;
}

} // namespace

int main(int argc, char **argv)
{
    const ParsedCommandLine parsed =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.showHelp) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "velko-account-server: %s\n\n%s", parsed.error.c_str(), usageText());
        return 2;
    }
    const Settings &settings = parsed.settings;
    setLogQuiet(settings.quiet);
    try {
        sodiumInit();
        makePrivate(settings.dataFolder);
        ServiceOptions serviceOptions = settings.service;
        serviceOptions.codeKey = codeKey(settings.codeKeyFile.empty()
                                             ? settings.dataFolder + "/code.key"
                                             : settings.codeKeyFile);
        std::unique_ptr<Repository> repository =
            settings.databaseUrl.empty()
                ? openSqliteRepository(settings.dataFolder + "/accounts.sqlite3")
                : openPostgresRepository(settings.databaseUrl, settings.server.threads);
        std::unique_ptr<Mailer> delivery;
        if (settings.smtp.url.empty())
            delivery = std::make_unique<OutboxMailer>(settings.dataFolder + "/outbox",
                                                      settings.mailFrom,
                                                      serviceOptions.codeLifetimeSeconds);
        else
            delivery = std::make_unique<SmtpMailer>(settings.smtp);
        QueuedMailer mailer(std::move(delivery));
        AccountService service(*repository, mailer, serviceOptions);
        HttpServer server(service, settings.server);
        server.stopOnSignals();
        logLine(std::string("listening on ") +
                (settings.server.certificateFile.empty() ? "http://" : "https://") +
                settings.server.address + ":" + std::to_string(server.port()) + ", store " +
                (settings.databaseUrl.empty() ? "SQLite in " + settings.dataFolder
                                              : std::string("PostgreSQL")) +
                ", mail " + (settings.smtp.url.empty() ? "to the outbox" : "by SMTP"));
        server.run();
        logLine("stopped");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "velko-account-server: %s\n", error.what());
        return 1;
    }
    return 0;
}
