// Mail delivery: SMTP only with STARTTLS, and the outbox's one file per message.
#include "server_fixtures.h"

#include "log.h"
#include "mailer.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/streambuf.hpp>
#include <boost/asio/write.hpp>

#include <fstream>
#include <thread>

namespace velko::server::test {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// A mail relay that offers no STARTTLS and records the commands it is sent.
class PlainRelay
{
public:
    PlainRelay() : m_acceptor(m_ioc, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0))
    {
        m_thread = std::thread([this] { serve(); });
    }
    ~PlainRelay() { m_thread.join(); }
    unsigned short port() const { return m_acceptor.local_endpoint().port(); }
    std::string commands() const { return m_commands; }

private:
    void serve()
    {
        tcp::socket socket(m_ioc);
        m_acceptor.accept(socket);
        boost::system::error_code ec;
        asio::write(socket, asio::buffer(std::string("220 relay\r\n")), ec);
        asio::streambuf buffer;
        while (!ec && asio::read_until(socket, buffer, "\r\n", ec)) {
            std::istream in(&buffer);
            std::string line;
            std::getline(in, line);
            m_commands += line + "\n";
            const bool ehlo = line.rfind("EHLO", 0) == 0;
            asio::write(socket, asio::buffer(std::string(ehlo ? "250 relay\r\n" : "250 ok\r\n")),
                        ec);
            if (line.rfind("QUIT", 0) == 0)
                break;
        }
    }

    asio::io_context m_ioc;
    tcp::acceptor m_acceptor;
    std::thread m_thread;
    std::string m_commands;
};

TEST(Mailer, SmtpWithoutStartTlsSendsNothing)
{
    setLogQuiet(true);
    std::string commands;
    {
        PlainRelay relay;
        SmtpMailer mailer({"smtp://127.0.0.1:" + std::to_string(relay.port()), "user", "pw",
                           "no-reply@example.com"});
        mailer.send({"ann@example.com", "Code", "Your verification code is 123456."});
        // The relay's thread ends with the connection.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        commands = relay.commands();
    }
    EXPECT_NE(commands.find("EHLO"), std::string::npos) << commands;
    EXPECT_EQ(commands.find("AUTH"), std::string::npos) << commands;
    EXPECT_EQ(commands.find("DATA"), std::string::npos) << commands;
}

TEST(Mailer, TheOutboxKeepsEveryMessageInOrder)
{
    setLogQuiet(true);
    TempFolder folder;
    {
        QueuedMailer mailer(std::make_unique<OutboxMailer>((folder.path() / "out").string(),
                                                           "Velko <no-reply@example.com>"));
        for (int i = 0; i < 3; ++i)
            mailer.send({"ann@example.com", "Code",
                         "Your verification code is 00000" + std::to_string(i) + "."});
    } // the queue is delivered before the mailer is gone
    const auto messages = outboxMessages(folder.path() / "out");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].rfind("From: Velko <no-reply@example.com>\r\nTo: ann@example.com\r\n", 0),
              0u);
    EXPECT_EQ(newestCode(folder.path() / "out"), "000002");
}

TEST(Mailer, TheOutboxDropsMessagesWhoseCodeHasExpired)
{
    setLogQuiet(true);
    TempFolder folder;
    const auto out = folder.path() / "out";
    std::filesystem::create_directories(out);
    const auto old = out / "0000000000001-000001-00000000.eml";
    const auto other = out / "notes.txt";
    for (const auto &path : {old, other})
        std::ofstream(path) << "Your verification code is 123456.";
    OutboxMailer(out.string(), "t@localhost", 600).send({"ann@example.com", "Code", "x"});
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_EQ(outboxMessages(out).size(), 2u); // the new one and the other file
}

} // namespace
} // namespace velko::server::test
