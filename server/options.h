// The server's command line.
#pragma once

#include "accountservice.h"
#include "httpserver.h"
#include "mailer.h"

#include <string>
#include <vector>

namespace velko::server {

struct Settings
{
    ServerOptions server;
    ServiceOptions service;
    std::string dataFolder = "velko-account-data";
    std::string databaseUrl; // empty: SQLite file in the data folder
    std::string codeKeyFile; // empty: code.key in the data folder
    SmtpSettings smtp;       // url empty: outbox folder in the data folder
    std::string mailFrom = "Velko Options <no-reply@localhost>";
    bool quiet = false;
};

struct ParsedCommandLine
{
    Settings settings;
    bool showHelp = false;
    std::string error; // non-empty: the command line is not usable
};

ParsedCommandLine parseCommandLine(const std::vector<std::string> &arguments);
const char *usageText();

} // namespace velko::server
