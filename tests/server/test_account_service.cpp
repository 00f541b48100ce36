// The account operations and their security rules, on both stores.
#include "server_fixtures.h"

#include "accountendpoints.h"
#include "accountservice.h"
#include "crypto.h"
#include "mailer.h"
#include "options.h"

#include <nlohmann/json.hpp>

#include <thread>

namespace velko::server::test {
namespace {

using nlohmann::json;

const char kLogin[] = "/v1/user/login";
const char kRegister[] = "/v1/user/register";
const char kUpdate[] = "/v1/user/updatePassword";
const char kFind[] = "/v1/user/findPassword";
const char kValidate[] = "/v1/user/validatePassword";
const char kNew[] = "/v1/user/newPassword";
const char kSave[] = "/v1/driver/config2/save";
const char kGet[] = "/v1/driver/config2/get";
const char kVersion[] = "/v1/driver/latest/version";

const char kPassword[] = "Lantern-7-cobalt";
const char kDocument[] =
    R"({"Mid_key":"{\"index\":\"48\",\"name\":\"none\",\"tag\":\"midKey\"}","mid_web_url":"none"})";

struct Answer
{
    int code = -1;
    std::string msg;
    json data;
    std::string token;
};

class AccountServiceTest : public ::testing::TestWithParam<Store>
{
public:
    void SetUp() override
    {
        VELKO_REQUIRE_STORE(GetParam());
        sodiumInit();
        repository = openStore(GetParam(), folder);
        mailer = std::make_unique<OutboxMailer>(outbox().string(), "test@localhost");
        // The production options but for the hash cost: the cases below check the
        // lifetimes, tries and limits as shipped.
        ServiceOptions options;
        options.hashCost = testHashCost();
        service = std::make_unique<AccountService>(*repository, *mailer, options, clock.function());
    }

    std::filesystem::path outbox() const { return folder.path() / "outbox"; }

    Answer send(const std::string &path, const std::string &body,
                const std::string &token = "token_fail", const std::string &lang = "en",
                const std::string &client = "10.0.0.1")
    {
        const ServiceReply reply = service->handle({path, body, lang, token, client});
        const json envelope = json::parse(reply.body);
        EXPECT_EQ(envelope.at("code").get<int>(), reply.code);
        return {reply.code, envelope.at("msg").get<std::string>(), envelope.at("data"),
                reply.sessionToken};
    }
    Answer post(const std::string &path, const json &body, const std::string &token = "token_fail")
    {
        return send(path, body.dump(), token);
    }

    int registration(const std::string &email, const std::string &password = kPassword,
                     const std::string &nickname = "Ann")
    {
        return post(kRegister, json{{"nickname", nickname},
                                    {"email", email},
                                    {"password", password},
                                    {"rePassword", password}})
            .code;
    }
    void registerAccount(const std::string &email, const std::string &password = kPassword,
                         const std::string &nickname = "Ann")
    {
        ASSERT_EQ(registration(email, password, nickname), 0);
    }
    int change(const std::string &token, const std::string &current, const std::string &next)
    {
        const json body{{"email", "ann@example.com"}, {"password", current}, {"rePassword", next}};
        return post(kUpdate, body, token).code;
    }
    std::string logIn(const std::string &email, const std::string &password = kPassword)
    {
        const Answer answer = post(kLogin, json{{"email", email}, {"password", password}});
        EXPECT_EQ(answer.code, 0) << answer.msg;
        return answer.token;
    }
    int saveWith(const std::string &token)
    {
        return post(kSave,
                    json{{"filePath", ""}, {"configContent", kDocument}, {"configType", "QX210"}},
                    token)
            .code;
    }
    std::string requestCode(const std::string &email)
    {
        EXPECT_EQ(post(kFind, json{{"email", email}}).code, 0);
        return newestCode(outbox());
    }
    int validate(const std::string &email, const std::string &code)
    {
        return post(kValidate, json{{"email", email}, {"captcha", code}}).code;
    }
    int reset(const std::string &email, const std::string &code, const std::string &password)
    {
        return post(kNew, json{{"email", email}, {"captcha", code}, {"password", password}}).code;
    }

    TempFolder folder;
    TestClock clock;
    std::unique_ptr<Repository> repository;
    std::unique_ptr<Mailer> mailer;
    std::unique_ptr<AccountService> service;
};

TEST_P(AccountServiceTest, EveryOperationSucceedsInTheClientsOrder)
{
    registerAccount("ann@example.com");
    const Answer login = post(kLogin, json{{"email", "ann@example.com"}, {"password", kPassword}});
    EXPECT_EQ(login.data, (json{{"nickname", "Ann"}}));
    EXPECT_GE(login.token.size(), 22u); // 128 bits or more in base64

    EXPECT_EQ(saveWith(login.token), 0);
    const Answer download = post(kGet, json{{"configType", "QX210"}}, login.token);
    EXPECT_EQ(download.code, 0);
    EXPECT_EQ(download.data.at("configContent"), kDocument); // byte for byte

    const Answer version = post(kVersion, json{{"versionType", "qx210-software"}});
    EXPECT_EQ(version.data, (json{{"version", "0.9"}, {"downloadUrl", ""}}));

    const std::string code = requestCode("ann@example.com");
    ASSERT_EQ(code.size(), 6u);
    EXPECT_EQ(validate("ann@example.com", code), 0);
    EXPECT_EQ(reset("ann@example.com", code, "another2?pw"), 0);
    const std::string token = logIn("ann@example.com", "another2?pw");
    EXPECT_EQ(change(token, "another2?pw", "third3#pw"), 0);
    logIn("ann@example.com", "third3#pw");
}

struct FailureRow
{
    const char *path;
    const char *body;
    bool signedIn; // sends a live session
    Code code;
};

TEST_P(AccountServiceTest, EachFaultyRequestGetsItsCode)
{
    const FailureRow rows[] = {
        {kLogin, "not json", false, Code::MalformedRequest},
        {kLogin, R"({"email":"ann@example.com"})", false, Code::BadField},
        {kLogin, R"({"email":"ann@example.com","password":"wrong1!pw"})", false,
         Code::WrongCredentials},
        {kRegister, R"({"nickname":"B","email":"b@example.com","password":"Lantern-7-cobalt"})", false,
         Code::BadField},
        {kRegister,
         R"({"nickname":"","email":"b@example.com","password":"Lantern-7-cobalt","rePassword":"Lantern-7-cobalt"})",
         false, Code::BadNickname},
        {kRegister,
         R"({"nickname":"B","email":"b@example","password":"Lantern-7-cobalt","rePassword":"Lantern-7-cobalt"})",
         false, Code::BadEmail},
        {kRegister,
         R"({"nickname":"B","email":"b@example.com","password":"short1!","rePassword":"short1!"})",
         false, Code::BadPassword},
        {kRegister,
         R"({"nickname":"B","email":"b@example.com","password":"nosymbol12","rePassword":"nosymbol12"})",
         false, Code::BadPassword},
        {kRegister,
         R"({"nickname":"B","email":"b@example.com","password":"Lantern-7-cobalt","rePassword":"secret1!y"})",
         false, Code::PasswordsDiffer},
        {kUpdate, R"({"email":"ann@example.com","password":"Lantern-7-cobalt","rePassword":"Orchid#58-meadow"})",
         false, Code::NotSignedIn},
        {kUpdate,
         R"({"email":"other@example.com","password":"Lantern-7-cobalt","rePassword":"Orchid#58-meadow"})", true,
         Code::NotSignedIn},
        {kUpdate, R"({"email":"ann@example.com","password":"wrong1!pw","rePassword":"Orchid#58-meadow"})",
         true, Code::WrongCredentials},
        {kUpdate, R"({"email":"ann@example.com","password":"Lantern-7-cobalt","rePassword":"weak"})", true,
         Code::BadPassword},
        {kFind, R"({"email":"not an address"})", false, Code::BadEmail},
        {kValidate, R"({"email":"ann@example.com","captcha":"123456"})", false, Code::WrongCode},
        {kNew, R"({"email":"ann@example.com","captcha":"123456","password":"Orchid#58-meadow"})", false,
         Code::WrongCode},
        {kSave, R"({"filePath":"","configContent":"{}","configType":"QX210"})", false,
         Code::NotSignedIn},
        {kSave, R"({"filePath":"","configContent":"[1]","configType":"QX210"})", true,
         Code::BadConfig},
        {kSave, R"({"filePath":"","configContent":{},"configType":"QX210"})", true, Code::BadField},
        {kSave, R"({"filePath":"","configContent":"{}","configType":"../QX210"})", true,
         Code::BadModel},
        {kSave, R"({"filePath":"","configContent":"{}","configType":"QX210-copy-17"})", true,
         Code::BadModel}, // names outside the product's models would grow storage without end
        {kGet, R"({"configType":"QX210"})", false, Code::NotSignedIn},
        {kGet, R"({"configType":"PL40"})", true, Code::NoConfig},
        {kVersion, R"({"versionType":"other"})", false, Code::UnknownSoftware},
    };
    registerAccount("ann@example.com");
    const std::string token = logIn("ann@example.com");
    for (const FailureRow &row : rows) {
        const Answer answer = send(row.path, row.body, row.signedIn ? token : "token_fail");
        EXPECT_EQ(answer.code, int(row.code)) << row.path << " " << row.body;
        EXPECT_FALSE(answer.msg.empty()) << row.path << " " << row.body;
        EXPECT_TRUE(answer.token.empty());
    }
    // A configuration over the size limit, and one just under it.
    const auto save = [&](std::size_t size) {
        const std::string content = json{{"k", std::string(size, 'x')}}.dump();
        return post(kSave, json{{"filePath", ""}, {"configContent", content}, {"configType", "QX210"}},
                    token)
            .code;
    };
    EXPECT_EQ(save(257 * 1024), int(Code::BadConfig));
    EXPECT_EQ(save(255 * 1024), 0);
}

TEST_P(AccountServiceTest, AnAddressIsRegisteredOnceWhateverItsLetterCase)
{
    registerAccount("Ann@Example.com");
    EXPECT_EQ(registration("ann@EXAMPLE.com", kPassword, "Eve"), int(Code::EmailTaken));
    EXPECT_EQ(post(kLogin, json{{"email", "ANN@example.COM"}, {"password", kPassword}}).data,
              (json{{"nickname", "Ann"}}));
}

TEST_P(AccountServiceTest, OfConcurrentRegistrationsOfOneAddressOneSucceeds)
{
    std::atomic<int> created{0}, taken{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i) {
        threads.emplace_back([&, i] {
            const json body{{"nickname", "N" + std::to_string(i)},
                            {"email", i % 2 ? "race@x.org" : "RACE@x.org"},
                            {"password", kPassword},
                            {"rePassword", kPassword}};
            const int code =
                service->handle({kRegister, body.dump(), "en", "", "10.0.0." + std::to_string(i)})
                    .code;
            (code == 0 ? created : taken) += (code == 0 || code == int(Code::EmailTaken)) ? 1 : 0;
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(taken, 5);
}

TEST_P(AccountServiceTest, ARecoveryCodeServesOnceAndForTenMinutes)
{
    registerAccount("ann@example.com");
    std::string code = requestCode("ann@example.com");
    EXPECT_EQ(reset("ann@example.com", code, "Orchid#58-meadow"), 0);
    EXPECT_EQ(reset("ann@example.com", code, "Harbor!94-quill"), int(Code::WrongCode)); // reused
    EXPECT_EQ(validate("ann@example.com", code), int(Code::WrongCode));

    code = requestCode("ann@example.com");
    clock.now += 599;
    EXPECT_EQ(validate("ann@example.com", code), 0);
    clock.now += 1;
    EXPECT_EQ(validate("ann@example.com", code), int(Code::WrongCode));
    EXPECT_EQ(reset("ann@example.com", code, "Tundra&62-violet"), int(Code::WrongCode));

    // A newer code replaces the older one.
    const std::string first = requestCode("ann@example.com");
    const std::string second = requestCode("ann@example.com");
    if (first != second) {
        EXPECT_EQ(validate("ann@example.com", first), int(Code::WrongCode));
    }
    EXPECT_EQ(validate("ann@example.com", second), 0);
}

TEST_P(AccountServiceTest, TheSixthTryFailsEvenWithTheRightCode)
{
    registerAccount("ann@example.com");
    const std::string code = requestCode("ann@example.com");
    const std::string wrong = code == "000000" ? "000001" : "000000";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(validate("ann@example.com", wrong), int(Code::WrongCode));
    EXPECT_EQ(reset("ann@example.com", wrong, "Orchid#58-meadow"), int(Code::WrongCode));
    EXPECT_EQ(validate("ann@example.com", wrong), int(Code::WrongCode));
    EXPECT_EQ(validate("ann@example.com", code), int(Code::WrongCode));
    EXPECT_EQ(reset("ann@example.com", code, "Orchid#58-meadow"), int(Code::WrongCode));
    // A new code starts a new count.
    EXPECT_EQ(validate("ann@example.com", requestCode("ann@example.com")), 0);
}

TEST_P(AccountServiceTest, ParallelGuessesShareTheFiveTries)
{
    registerAccount("ann@example.com");
    const std::string code = requestCode("ann@example.com");
    const std::string wrong = code == "000000" ? "000001" : "000000";
    std::atomic<int> wrongAnswers{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 12; ++i) {
        threads.emplace_back(
            [&] { wrongAnswers += validate("ann@example.com", wrong) == int(Code::WrongCode); });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(wrongAnswers, 12);
    EXPECT_EQ(repository->recoveryCode(1)->failedTries, 5);
    EXPECT_EQ(validate("ann@example.com", code), int(Code::WrongCode));
}

TEST_P(AccountServiceTest, APasswordChangeOrResetEndsEverySession)
{
    registerAccount("ann@example.com");
    const std::string first = logIn("ann@example.com");
    const std::string second = logIn("ann@example.com");
    ASSERT_EQ(change(first, kPassword, "Orchid#58-meadow"), 0);
    EXPECT_EQ(saveWith(first), int(Code::NotSignedIn));
    EXPECT_EQ(saveWith(second), int(Code::NotSignedIn));
    EXPECT_EQ(post(kLogin, json{{"email", "ann@example.com"}, {"password", kPassword}}).code,
              int(Code::WrongCredentials));

    const std::string third = logIn("ann@example.com", "Orchid#58-meadow");
    ASSERT_EQ(reset("ann@example.com", requestCode("ann@example.com"), "Harbor!94-quill"), 0);
    EXPECT_EQ(saveWith(third), int(Code::NotSignedIn));
}

TEST_P(AccountServiceTest, OnlyTheExactLiveTokenIsASession)
{
    registerAccount("ann@example.com");
    const std::string token = logIn("ann@example.com");
    std::string altered = token;
    altered[5] = altered[5] == 'A' ? 'B' : 'A';
    for (const std::string &forged : {token.substr(0, token.size() - 1), token + "A", altered,
                                      newSessionToken(), std::string("token_fail"), std::string()})
        EXPECT_EQ(saveWith(forged), int(Code::NotSignedIn)) << forged;
    EXPECT_EQ(saveWith(token), 0);
}

TEST_P(AccountServiceTest, AnAccountHoldsTenSessionsAtMostAndNoneForOverNinetyDays)
{
    registerAccount("ann@example.com");
    std::vector<std::string> tokens;
    for (int i = 0; i < 12; ++i) {
        tokens.push_back(logIn("ann@example.com"));
        clock.now += 1;
    }
    EXPECT_EQ(saveWith(tokens[0]), int(Code::NotSignedIn)); // the oldest ended
    EXPECT_EQ(saveWith(tokens[1]), int(Code::NotSignedIn));
    for (int i = 2; i < 12; ++i)
        EXPECT_EQ(saveWith(tokens[std::size_t(i)]), 0) << i;
    // Use keeps a session from idling out, not past its lifetime.
    for (int month = 1; month <= 3; ++month) { // 87 days
        clock.now += 29 * 86400;
        EXPECT_EQ(saveWith(tokens[11]), 0) << month;
    }
    clock.now += 4 * 86400;
    EXPECT_EQ(saveWith(tokens[11]), int(Code::NotSignedIn));
}

TEST_P(AccountServiceTest, SignOutEndsTheSessionOnTheServer)
{
    registerAccount("ann@example.com");
    const std::string signedOut = logIn("ann@example.com");
    const std::string other = logIn("ann@example.com");
    EXPECT_EQ(send(kSignOutPath, "{}", signedOut).code, 0);
    EXPECT_EQ(saveWith(signedOut), int(Code::NotSignedIn));
    EXPECT_EQ(saveWith(other), 0);
    EXPECT_EQ(send(kSignOutPath, "{}", signedOut).code, 0); // again, or unknown: the same
}

TEST_P(AccountServiceTest, ASessionEndsAfterThirtyDaysWithoutUse)
{
    registerAccount("ann@example.com");
    const std::string kept = logIn("ann@example.com");
    const std::string idle = logIn("ann@example.com");
    clock.now += 29 * 86400;
    EXPECT_EQ(saveWith(kept), 0); // use keeps it alive
    clock.now += 86400 + 1;
    EXPECT_EQ(saveWith(idle), int(Code::NotSignedIn));
    EXPECT_EQ(saveWith(kept), 0);
}

TEST_P(AccountServiceTest, RecoveryAnswersAlikeForUnknownAddresses)
{
    registerAccount("ann@example.com");
    const Answer known = post(kFind, json{{"email", "ann@example.com"}});
    const Answer unknown = post(kFind, json{{"email", "nobody@example.com"}});
    EXPECT_EQ(known.code, unknown.code);
    EXPECT_EQ(known.msg, unknown.msg);
    const auto messages = outboxMessages(outbox());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("To: ann@example.com"), std::string::npos);
}

TEST_P(AccountServiceTest, GuessingACodeTellsNobodyWhetherTheAddressHasAnAccount)
{
    // The same requests for an address with an account and one without, the code
    // asked for first as an attacker would: every answer alike, the sixth try (the
    // code void in the first case) included, and the request for a new code too.
    registerAccount("ann@example.com");
    const auto answers = [&](const std::string &email) {
        std::vector<std::pair<int, std::string>> seen;
        post(kFind, json{{"email", email}});
        for (int i = 0; i < 7; ++i) {
            const Answer answer = i % 2 ? post(kNew, json{{"email", email},
                                                          {"captcha", "1234567"},
                                                          {"password", "Orchid#58-meadow"}})
                                        : post(kValidate, json{{"email", email}, {"captcha", "x"}});
            seen.emplace_back(answer.code, answer.msg);
        }
        clock.now += 601;
        const Answer expired = post(kValidate, json{{"email", email}, {"captcha", "x"}});
        seen.emplace_back(expired.code, expired.msg);
        return seen;
    };
    const auto known = answers("ann@example.com");
    EXPECT_EQ(known, answers("nobody@example.com"));
    EXPECT_EQ(known.front().first, int(Code::WrongCode));
}

TEST_P(AccountServiceTest, GuessablePasswordsAreRefusedOnEveryPath)
{
    struct Row
    {
        const char *password;
        bool refused;
    };
    // zxcvbn's estimates: 5.0, 7.8, 10.7 and 27.3 bits; then 31.8 and 70.3. The
    // nickname and the address count as known words.
    const Row rows[] = {{"Passw0rd!", true},   {"Password1!", true},
                        {"Qwerty123!", true},  {"Zz9!Zz9!", true},
                        {"Annabel-2026!", true}, {"Secret-pw1", false},
                        {"correct-horse-battery-staple1", false}};
    registerAccount("annabel@example.com", kPassword, "Annabel");
    const std::string token = logIn("annabel@example.com");
    int registered = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.password);
        const std::string email = "user" + std::to_string(registered) + "@example.com";
        const Answer registering = post(kRegister, json{{"nickname", "Annabel"},
                                                        {"email", email},
                                                        {"password", row.password},
                                                        {"rePassword", row.password}});
        EXPECT_EQ(registering.code, row.refused ? int(Code::GuessablePassword) : 0);
        registered += registering.code == 0;
        const Answer changing = post(kUpdate,
                                     json{{"email", "annabel@example.com"},
                                          {"password", kPassword},
                                          {"rePassword", row.password}},
                                     token);
        // A change that goes through ends the session: the first row kept is the last.
        EXPECT_EQ(changing.code, row.refused ? int(Code::GuessablePassword) : 0);
        const Answer resetting = post(
            kNew, json{{"email", "annabel@example.com"}, {"captcha", "1"}, {"password", row.password}});
        EXPECT_EQ(resetting.code, row.refused ? int(Code::GuessablePassword) : int(Code::WrongCode));
        if (!row.refused)
            break;
    }
    EXPECT_EQ(registered, 1);
    EXPECT_EQ(send(kRegister,
                   json{{"nickname", "B"}, {"email", "b@example.com"}, {"password", "Passw0rd!"},
                        {"rePassword", "Passw0rd!"}}
                       .dump(),
                   "", "zh")
                  .msg,
              "该密码太容易被猜到，请换一个");
}

struct LimitRow
{
    const char *name;
    int allowed; // requests answered before the limit
    std::function<Answer(AccountServiceTest &, int)> request;
};

TEST_P(AccountServiceTest, RepeatedAttemptsAreRefusedWithAClearMessage)
{
    registerAccount("ann@example.com");
    const auto wrongLogin = [](AccountServiceTest &t, int) {
        return t.send(kLogin, json{{"email", "ann@example.com"}, {"password", "wrong1!pw"}}.dump(),
                      "", "en", "10.0.0.9");
    };
    const auto codeRequest = [](AccountServiceTest &t, int i) {
        return t.send(kFind, json{{"email", "n" + std::to_string(i) + "@example.com"}}.dump(), "",
                      "en", "10.0.0.7");
    };
    const auto registration = [](AccountServiceTest &t, int i) {
        const json body{{"nickname", "N"},
                        {"email", "n" + std::to_string(i) + "@example.com"},
                        {"password", kPassword},
                        {"rePassword", kPassword}};
        return t.send(kRegister, body.dump(), "", "en", "10.0.0.8");
    };
    registerAccount("bob@example.com");
    const std::string bobsToken = logIn("bob@example.com");
    const auto wrongCurrent = [&bobsToken](AccountServiceTest &t, int) {
        const json body{
            {"email", "bob@example.com"}, {"password", "wrong1!pw"}, {"rePassword", "Orchid#58-meadow"}};
        return t.send(kUpdate, body.dump(), bobsToken);
    };
    for (const LimitRow &row : {LimitRow{"log-in failures per account and client", 10, wrongLogin},
                                LimitRow{"wrong current passwords", 10, wrongCurrent},
                                LimitRow{"code requests per client", 20, codeRequest},
                                LimitRow{"registrations per client", 20, registration}}) {
        for (int i = 0; i < row.allowed; ++i)
            EXPECT_NE(row.request(*this, i).code, int(Code::RateLimited)) << row.name << " " << i;
        const Answer refused = row.request(*this, row.allowed);
        EXPECT_EQ(refused.code, int(Code::RateLimited)) << row.name;
        EXPECT_EQ(refused.msg, "Too many attempts, please try again later");
    }
    // The guesser's address waits until the window has passed, even with the right
    // password; the owner elsewhere is not locked out by a stranger.
    EXPECT_EQ(send(kLogin, json{{"email", "ann@example.com"}, {"password", kPassword}}.dump(), "",
                   "en", "10.0.0.9")
                  .code,
              int(Code::RateLimited));
    logIn("ann@example.com");
    clock.now += 3600;
    EXPECT_EQ(wrongLogin(*this, 0).code, int(Code::WrongCredentials));
}

TEST_P(AccountServiceTest, AStrangersCodeRequestsLimitTheMailsNotTheOwnersCode)
{
    registerAccount("ann@example.com");
    for (int i = 0; i < 5; ++i)
        requestCode("ann@example.com");
    const std::string sent = newestCode(outbox());
    EXPECT_EQ(post(kFind, json{{"email", "ann@example.com"}}).code, 0); // answered alike
    EXPECT_EQ(outboxMessages(outbox()).size(), 5u);                     // but not mailed
    EXPECT_EQ(validate("ann@example.com", sent), 0);
}

TEST_P(AccountServiceTest, ParallelLogInsCannotPassTheLimitTogether)
{
    registerAccount("ann@example.com");
    std::atomic<int> checked{0}, refused{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 40; ++i) {
        threads.emplace_back([&] {
            const int code = post(kLogin, json{{"email", "ann@example.com"}, {"password", "wr0ng!pw"}}).code;
            checked += code == int(Code::WrongCredentials);
            refused += code == int(Code::RateLimited);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(checked, 10);
    EXPECT_EQ(refused, 30);
}

TEST_P(AccountServiceTest, AFloodOfHugeAddressesLeavesTheLimitersSmall)
{
    // Distinct 30 KB "addresses" once grew a limiter entry each, refused or not.
    for (int i = 0; i < 300; ++i) {
        const std::string email = std::to_string(i) + std::string(30 * 1024, 'a') + "@x.org";
        const int code = post(kLogin, json{{"email", email}, {"password", "x"}}).code;
        ASSERT_TRUE(code == int(Code::WrongCredentials) || code == int(Code::RateLimited)) << code;
    }
    EXPECT_LE(service->limiterEntries(), 1u);
}

// Two servers on one PostgreSQL database count one limit.
TEST(SharedStore, TheLogInLimitHoldsAcrossServers)
{
    VELKO_REQUIRE_STORE(Store::Postgres);
    sodiumInit();
    TempFolder folder;
    const std::string url = freshPostgresUrl();
    OutboxMailer mailer((folder.path() / "outbox").string(), "t@localhost");
    ServiceOptions options;
    options.hashCost = testHashCost();
    std::vector<std::unique_ptr<Repository>> stores;
    std::vector<std::unique_ptr<AccountService>> servers;
    for (int i = 0; i < 2; ++i) {
        stores.push_back(openPostgresRepository(url, 2));
        servers.push_back(std::make_unique<AccountService>(*stores.back(), mailer, options));
    }
    const auto code = [&](int server, const char *password) {
        const json body{{"email", "ann@example.com"}, {"password", password}};
        return servers[std::size_t(server)]->handle({kLogin, body.dump(), "en", "", "10.0.0.9"}).code;
    };
    const json account{{"nickname", "Ann"}, {"email", "ann@example.com"},
                       {"password", kPassword}, {"rePassword", kPassword}};
    ASSERT_EQ(servers[0]->handle({kRegister, account.dump(), "en", "", "10.0.0.1"}).code, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(code(i % 2, "wrong1!pw"), int(Code::WrongCredentials)) << i;
    EXPECT_EQ(code(0, kPassword), int(Code::RateLimited));
    EXPECT_EQ(code(1, kPassword), int(Code::RateLimited));
}

TEST(RateLimiter, HoldsAtMostItsKeysAndForgetsThemWhenTheWindowEnds)
{
    sodiumInit();
    RateLimiter limiter(3, 60, 100);
    for (int i = 0; i < 1000; ++i)
        limiter.take("client " + std::to_string(i), 600);
    EXPECT_EQ(limiter.size(), 100u);
    EXPECT_TRUE(limiter.take("client 5", 610));
    limiter.take("client 5", 610);
    EXPECT_FALSE(limiter.take("client 5", 610));
    EXPECT_TRUE(limiter.take("client 5", 660)); // the next window
    EXPECT_EQ(limiter.size(), 1u);
}

TEST_P(AccountServiceTest, SqlMetacharactersAreDataInEveryField)
{
    const std::string evil = "x'); DROP TABLE accounts; -- \" \\ $1 %";
    EXPECT_EQ(registration("o'brien@example.com", kPassword, evil.substr(0, 32)),
              int(Code::BadEmail));
    registerAccount("obrien@example.com", "q'\"\\;--1a", evil.substr(0, 32));
    const std::string token = logIn("obrien@example.com", "q'\"\\;--1a");
    for (const json &probe : {json{{"email", evil}, {"password", evil}},
                              json{{"email", "' OR '1'='1"}, {"password", "' OR '1'='1"}}})
        EXPECT_EQ(post(kLogin, probe).code, int(Code::WrongCredentials));
    EXPECT_EQ(post(kFind, json{{"email", evil}}).code, int(Code::BadEmail));
    EXPECT_EQ(validate(evil, evil), int(Code::WrongCode));
    EXPECT_EQ(reset(evil, evil, "Orchid#58-meadow"), int(Code::WrongCode));
    EXPECT_EQ(post(kGet, json{{"configType", evil}}, token).code, int(Code::BadModel));
    EXPECT_EQ(post(kSave,
                   json{{"filePath", evil},
                        {"configContent", json{{evil, evil}}.dump()},
                        {"configType", evil}},
                   token)
                  .code,
              int(Code::BadModel));
    const std::string document = json{{evil, evil}}.dump();
    ASSERT_EQ(post(kSave,
                   json{{"filePath", evil}, {"configContent", document}, {"configType", "PL40"}},
                   token)
                  .code,
              0);
    EXPECT_EQ(post(kGet, json{{"configType", "PL40"}}, token).data.at("configContent"), document);
    EXPECT_EQ(saveWith(evil), int(Code::NotSignedIn));
    // Everything is still there.
    EXPECT_EQ(post(kLogin, json{{"email", "obrien@example.com"}, {"password", "q'\"\\;--1a"}})
                  .data.at("nickname"),
              evil.substr(0, 32));
}

INSTANTIATE_TEST_SUITE_P(Stores, AccountServiceTest,
                         ::testing::Values(Store::Sqlite, Store::Postgres), storeName);

// The cost the shipped server hashes with (the cases above use a cheap one).
TEST(AccountServiceDefaults, ProductionHashCost)
{
    sodiumInit();
    const ServiceOptions options;
    const ParsedCommandLine parsed = parseCommandLine({});
    EXPECT_EQ(parsed.settings.service.hashCost.memoryKiB, options.hashCost.memoryKiB);
    EXPECT_EQ(parsed.settings.service.hashCost.passes, options.hashCost.passes);
    const std::string encoded = hashPassword(kPassword, options.hashCost);
    EXPECT_EQ(encoded.rfind("$argon2id$v=19$m=19456,t=2,", 0), 0u) << encoded;
    EXPECT_TRUE(verifyPassword(kPassword, encoded));
    EXPECT_FALSE(verifyPassword("secret1!y", encoded));
}

// The configurator opens only a web address; anything else is refused at start.
TEST(DownloadAddress, OnlyAWebAddressIsTaken)
{
    const std::pair<const char *, bool> rows[] = {
        {"https://velko.example.com/setup.exe", true}, {"HTTP://velko.example.com", true},
        {"calc.exe", false}, {"file:///C:/setup.exe", false}, {"https://", false},
        {"https:///setup.exe", false}, {"\\\\host\\share\\setup.exe", false}};
    for (const auto &[address, taken] : rows) {
        const ParsedCommandLine parsed = parseCommandLine({"--download-url", address});
        EXPECT_EQ(parsed.error.empty(), taken) << address << ": " << parsed.error;
        EXPECT_EQ(parsed.settings.service.downloadUrl, taken ? address : "") << address;
    }
}

} // namespace
} // namespace velko::server::test
