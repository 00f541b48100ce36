// The account server's request handler on a fresh SQLite store. Input: requests,
// each a byte choosing the path (past the ten known ones: the path given inline
// up to a newline), the "lang" and "Authorization" headers up to a newline each,
// then the body up to a zero byte. "$TOKEN" in the Authorization header stands
// for the last session token handed out, "$CODE" in a body for the six digits of
// the last mail. Properties: every reply is an envelope with an integral "code"
// equal to the reply's and a text "msg"; only an accepted log-in hands out a
// session token.
#include "fuzz.h"

#include "accountendpoints.h"
#include "accountservice.h"
#include "mailer.h"
#include "repository.h"

#include <nlohmann/json.hpp>

#include <regex>

namespace {

class LastMail : public velko::server::Mailer
{
public:
    void send(const velko::server::MailMessage &message) override { last = message.body; }
    std::string code() const
    {
        std::smatch m;
        return std::regex_search(last, m, std::regex("[0-9]{6}")) ? m.str() : std::string();
    }
    std::string last;
};

void replaceAll(std::string &text, const std::string &what, const std::string &with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace velko::server;
    auto repository = openSqliteRepository(":memory:");
    LastMail mail;
    ServiceOptions options;
    options.hashCost = HashCost{1, 64}; // cheap: the store is fresh for every input
    AccountService service(*repository, mail, options, [] { return std::int64_t(1'700'000'000); });

    fuzz::Input in(data, size);
    std::string token;
    for (int requests = 0; in.left() > 0 && requests < 16; ++requests) {
        const std::uint8_t choice = in.byte();
        ServiceRequest request;
        request.path = choice < velko::kAccountEndpointPaths.size()
                           ? velko::kAccountEndpointPaths[choice]
                           : in.until('\n');
        request.lang = in.until('\n');
        request.authorization = in.until('\n');
        request.body = in.until('\0');
        request.clientAddress = "127.0.0.1";
        replaceAll(request.authorization, "$TOKEN", token);
        replaceAll(request.body, "$CODE", mail.code());

        const ServiceReply reply = service.handle(request);
        const auto envelope = nlohmann::json::parse(reply.body, nullptr, false);
        FUZZ_CHECK(envelope.is_object());
        FUZZ_CHECK(envelope.contains("code") && envelope["code"].is_number_integer());
        FUZZ_CHECK(envelope["code"].get<int>() == reply.code);
        FUZZ_CHECK(envelope.contains("msg") && envelope["msg"].is_string());
        if (!reply.sessionToken.empty()) {
            FUZZ_CHECK(request.path == velko::kAccountEndpointPaths[0] && reply.code == 0);
            token = reply.sessionToken;
        }
    }
    return 0;
}
