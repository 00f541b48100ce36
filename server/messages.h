// The server's answer codes and their texts in the two languages the
// configurator speaks ("lang": "zh" for Chinese, anything else English). The
// pages show the texts as they stand.
#pragma once

#include <string>

namespace velko::server {

enum class Code : int {
    Ok = 0,
    MalformedRequest = 1001, // not one JSON object
    BadField = 1002,         // a field missing or not a string
    TooLarge = 1003,         // body over the limit
    BadEmail = 2001,
    BadNickname = 2002,
    BadPassword = 2003,
    PasswordsDiffer = 2004,
    EmailTaken = 2005,
    WrongCredentials = 2006,
    NotSignedIn = 2007,
    WrongCode = 2008, // also for an unknown address, an expired or used-up code
    // 2009 (expired) and 2010 (too many tries) are no longer answered: they told
    // an address with an account from one without.
    RateLimited = 2011,
    BadConfig = 2012,
    NoConfig = 2013,
    BadModel = 2014,
    UnknownSoftware = 2015,
    Busy = 2016, // the hashing queue is full: try again shortly
    GuessablePassword = 2017, // composed as required, but easy to guess
    ServerError = 5000,
};

// Success texts, one per operation that reports one.
enum class Note {
    Registered,
    PasswordChanged,
    CodeSent,
    CodeAccepted,
    PasswordReset,
    ConfigSaved,
    SignedOut,
};

enum class Language { English, Chinese };

Language languageOf(const std::string &langHeader);
const char *text(Code code, Language language);
const char *text(Note note, Language language);

} // namespace velko::server
