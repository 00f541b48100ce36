// Outgoing mail: the recovery codes. By default each message is written as a file
// into an outbox folder (for a server without a mail relay); with SMTP settings it
// is sent through libcurl with STARTTLS required.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace velko::server {

struct MailMessage
{
    std::string to;
    std::string subject;
    std::string body;
};

class Mailer
{
public:
    virtual ~Mailer() = default;
    // Delivers the message or logs why it could not; never throws.
    virtual void send(const MailMessage &message) = 0;
};

// Writes "<folder>/<time>-<random>.eml", creating the folder when needed, and
// logs the file's name (not its content).
class OutboxMailer : public Mailer
{
public:
    // keepSeconds > 0: each send also deletes the messages older than that (the
    // codes in them have expired).
    OutboxMailer(std::string folder, std::string from, long long keepSeconds = 0);
    void send(const MailMessage &message) override;

private:
    void dropExpired(long long nowMs);

    std::string m_folder;
    std::string m_from;
    long long m_keepSeconds;
};

struct SmtpSettings
{
    std::string url; // "smtp://host:587"; "smtps://host:465" for implicit TLS
    std::string user;
    std::string password;
    std::string from;
};

class SmtpMailer : public Mailer
{
public:
    explicit SmtpMailer(SmtpSettings settings);
    void send(const MailMessage &message) override;

private:
    SmtpSettings m_settings;
};

// Hands messages to another mailer on a thread of its own, so that a request does
// not wait for delivery (nor does its duration tell whether a message went out).
// The destructor delivers what is queued before it returns.
class QueuedMailer : public Mailer
{
public:
    explicit QueuedMailer(std::unique_ptr<Mailer> target);
    ~QueuedMailer() override;
    void send(const MailMessage &message) override;

private:
    void run();

    std::unique_ptr<Mailer> m_target;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<MailMessage> m_queue;
    bool m_stopping = false;
    std::thread m_thread;
};

// The whole message as it goes on the wire: headers, blank line, body.
std::string formatMessage(const MailMessage &message, const std::string &from);

} // namespace velko::server
