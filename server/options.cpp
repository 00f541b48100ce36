#include "options.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

namespace velko::server {

const char *usageText()
{
    return R"(Usage: velko-account-server [options]

  --listen ADDRESS          address to listen on (default 127.0.0.1)
  --port N                  port (default 8790; 0 picks a free one)
  --data DIR                data folder: SQLite file and mail outbox
                            (default ./velko-account-data)
  --database URL            PostgreSQL connection URL (postgresql://user@host/db);
                            default: SQLite file DIR/accounts.sqlite3
  --code-key-file FILE      key the recovery codes are stored under (made when
                            missing; default DIR/code.key). Instances sharing
                            one PostgreSQL database need the same file.
  --tls-cert FILE           certificate chain (PEM); with --tls-key serves https
  --tls-key FILE            private key (PEM)
  --allow-plain-http        serve plain http on an address other than loopback
                            (only behind a proxy that adds TLS)
  --smtp-url URL            send mail through SMTP with STARTTLS (smtp://host:587)
  --smtp-user NAME          SMTP user; the password comes from VELKO_SMTP_PASSWORD
                            or --smtp-password-file
  --smtp-password-file FILE first line of FILE is the SMTP password
  --mail-from ADDRESS       sender of the recovery mail
  --latest-version TEXT     version named by the version query (default 0.9)
  --download-url URL        download address named with it (http or https)
  --threads N               request threads (default 4)
  --argon2-memory-kib N     Argon2id memory (default 19456)
  --argon2-passes N         Argon2id passes (default 2)
  --hash-slots N            Argon2id computations at once (default 1); each
                            holds its memory while it runs
  --max-connections N       connections at once (default 4096; kept below the
                            limit of open files less 64)
  --max-connections-per-client N
                            connections at once from one address (default 64)
  --hash-queue N            requests waiting for a hashing slot (default 64);
                            past it the answer is "busy" at once
  --trusted-proxy ADDRESS   a reverse proxy whose X-Forwarded-For names the client
                            (limits then count that client, not the proxy)
  --metrics-from ADDRESS    also answer GET /metrics to this address (always to
                            loopback clients)
  --no-rate-limits          for load tests only
  --quiet                   no log lines
  --help                    this text

Mail without --smtp-url is written to DIR/outbox, one file per message; a
message is deleted once its code has expired. DIR and every file in it are made
private to the server's user (0700/0600) at start, whatever the umask.
)";
}

namespace {

bool toNumber(const std::string &text, unsigned long long max, unsigned long long &out)
{
    if (text.empty() || text.size() > 12 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoull(text);
    return out <= max;
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string> &arguments)
{
    ParsedCommandLine parsed;
    Settings &s = parsed.settings;
    std::string passwordFile;
    using Setter = std::function<bool(const std::string &)>;
    auto text = [](std::string &target) -> Setter {
        return [&target](const std::string &value) {
            target = value;
            return true;
        };
    };
    auto number = [](auto &target, unsigned long long min, unsigned long long max) -> Setter {
        return [&target, min, max](const std::string &value) {
            unsigned long long n = 0;
            if (!toNumber(value, max, n) || n < min)
                return false;
            target = static_cast<std::remove_reference_t<decltype(target)>>(n);
            return true;
        };
    };
    // The configurator hands the download address to the browser and opens
    // nothing else: an address of another kind is a mistake to be told at once.
    auto webAddress = [](std::string &target) -> Setter {
        return [&target](const std::string &value) {
            std::string scheme = value.substr(0, value.find("://"));
            for (char &c : scheme)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            const std::size_t rest = scheme.size() + 3;
            if ((scheme != "https" && scheme != "http") || value.size() <= rest ||
                value.find_first_of("/?#", rest) == rest)
                return false;
            target = value;
            return true;
        };
    };
    const std::map<std::string, Setter> valued = {
        {"--listen", text(s.server.address)},
        {"--port", number(s.server.port, 0, 65535)},
        {"--data", text(s.dataFolder)},
        {"--database", text(s.databaseUrl)},
        {"--code-key-file", text(s.codeKeyFile)},
        {"--tls-cert", text(s.server.certificateFile)},
        {"--tls-key", text(s.server.keyFile)},
        {"--smtp-url", text(s.smtp.url)},
        {"--smtp-user", text(s.smtp.user)},
        {"--smtp-password-file", text(passwordFile)},
        {"--mail-from", text(s.mailFrom)},
        {"--latest-version", text(s.service.latestVersion)},
        {"--download-url", webAddress(s.service.downloadUrl)},
        {"--threads", number(s.server.threads, 1, 64)},
        {"--argon2-memory-kib", number(s.service.hashCost.memoryKiB, 8, 4u << 20)},
        {"--argon2-passes", number(s.service.hashCost.passes, 1, 100)},
        {"--hash-slots", number(s.service.concurrentHashes, 1, 64)},
        {"--max-connections", number(s.server.maxConnections, 1, 1000000)},
        {"--max-connections-per-client", number(s.server.maxConnectionsPerClient, 1, 1000000)},
        {"--hash-queue", number(s.server.hashQueue, 1, 100000)},
        {"--trusted-proxy", text(s.server.trustedProxy)},
        {"--metrics-from", text(s.server.metricsFrom)},
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.showHelp = true;
        } else if (name == "--allow-plain-http") {
            s.server.allowPlainHttpEverywhere = true;
        } else if (name == "--no-rate-limits") {
            s.service.rateLimits = false;
        } else if (name == "--quiet") {
            s.quiet = true;
        } else if (const auto it = valued.find(name); it != valued.end()) {
            if (i + 1 >= arguments.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            if (!it->second(arguments[++i])) {
                parsed.error = "invalid value for " + name + ": " + arguments[i];
                return parsed;
            }
        } else {
            parsed.error = "unknown option: " + name;
            return parsed;
        }
    }
    s.smtp.from = s.mailFrom;
    if (!passwordFile.empty()) {
        std::ifstream in(passwordFile);
        if (!std::getline(in, s.smtp.password)) {
            parsed.error = "cannot read " + passwordFile;
            return parsed;
        }
    } else if (const char *password = std::getenv("VELKO_SMTP_PASSWORD")) {
        s.smtp.password = password;
    }
    const std::string policy = listenPolicyError(s.server);
    if (!policy.empty())
        parsed.error = policy;
    return parsed;
}

} // namespace velko::server
