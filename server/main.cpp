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

using namespace velko::server;

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
        std::filesystem::create_directories(settings.dataFolder);
        std::unique_ptr<Repository> repository =
            settings.databaseUrl.empty()
                ? openSqliteRepository(settings.dataFolder + "/accounts.sqlite3")
                : openPostgresRepository(settings.databaseUrl, settings.server.threads);
        std::unique_ptr<Mailer> delivery;
        if (settings.smtp.url.empty())
            delivery =
                std::make_unique<OutboxMailer>(settings.dataFolder + "/outbox", settings.mailFrom);
        else
            delivery = std::make_unique<SmtpMailer>(settings.smtp);
        QueuedMailer mailer(std::move(delivery));
        AccountService service(*repository, mailer, settings.service);
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
