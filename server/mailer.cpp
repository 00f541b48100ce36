#include "mailer.h"

#include "log.h"

#include <curl/curl.h>
#include <sodium.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace velko::server {

std::string formatMessage(const MailMessage &message, const std::string &from)
{
    return "From: " + from + "\r\nTo: " + message.to + "\r\nSubject: " + message.subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n" +
           message.body + "\r\n";
}

OutboxMailer::OutboxMailer(std::string folder, std::string from, long long keepSeconds)
    : m_folder(std::move(folder)), m_from(std::move(from)), m_keepSeconds(keepSeconds)
{
}

void OutboxMailer::dropExpired(long long nowMs)
{
    namespace fs = std::filesystem;
    if (m_keepSeconds <= 0)
        return;
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        // The name begins with the time it was written, in milliseconds.
        const std::string name = it->path().filename().string();
        if (name.size() < 14 || name[13] != '-' || it->path().extension() != ".eml" ||
            name.find_first_not_of("0123456789") != 13)
            continue;
        if (std::stoll(name.substr(0, 13)) < nowMs - m_keepSeconds * 1000) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

void OutboxMailer::send(const MailMessage &message)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(m_folder, error);
    const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    // Names sort by time, then by order within this process.
    static std::atomic<unsigned> sequence{0};
    char name[64];
    std::snprintf(name, sizeof name, "%013lld-%06u-%08x.eml", static_cast<long long>(stamp),
                  ++sequence % 1000000, randombytes_random());
    dropExpired(stamp);
    const fs::path path = fs::path(m_folder) / name;
    std::ofstream out(path, std::ios::binary);
    out << formatMessage(message, m_from);
    out.close();
    if (!out)
        logLine("mail: cannot write " + path.string());
    else
        logLine("mail: message written to " + path.string());
}

SmtpMailer::SmtpMailer(SmtpSettings settings) : m_settings(std::move(settings))
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

namespace {

struct Upload
{
    std::string data;
    std::size_t offset = 0;
};

std::size_t readUpload(char *buffer, std::size_t size, std::size_t count, void *user)
{
    auto *upload = static_cast<Upload *>(user);
    const std::size_t n = std::min(size * count, upload->data.size() - upload->offset);
    std::memcpy(buffer, upload->data.data() + upload->offset, n);
    upload->offset += n;
    return n;
}

} // namespace

void SmtpMailer::send(const MailMessage &message)
{
    CURL *curl = curl_easy_init();
    if (!curl) {
        logLine("mail: libcurl unavailable");
        return;
    }
    Upload upload{formatMessage(message, m_settings.from)};
    curl_slist *recipients = curl_slist_append(nullptr, message.to.c_str());
    curl_easy_setopt(curl, CURLOPT_URL, m_settings.url.c_str());
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!m_settings.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, m_settings.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, m_settings.password.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, m_settings.from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    const CURLcode rc = curl_easy_perform(curl);
    if (rc != CURLE_OK)
        logLine(std::string("mail: SMTP delivery failed: ") + curl_easy_strerror(rc));
    else
        logLine("mail: message sent by SMTP");
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
}

QueuedMailer::QueuedMailer(std::unique_ptr<Mailer> target)
    : m_target(std::move(target)), m_thread([this] { run(); })
{
}

QueuedMailer::~QueuedMailer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void QueuedMailer::send(const MailMessage &message)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(message);
    }
    m_wake.notify_one();
}

void QueuedMailer::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        MailMessage message = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        m_target->send(message);
        lock.lock();
    }
}

} // namespace velko::server
