#include "crypto.h"

#include <sodium.h>

#include <new>
#include <stdexcept>
#include <vector>

namespace velko::server {

void sodiumInit()
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

std::string hashPassword(const std::string &password, const HashCost &cost)
{
    char encoded[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(encoded, password.data(), password.size(), cost.passes,
                              cost.memoryKiB * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::bad_alloc();
    return encoded;
}

bool verifyPassword(const std::string &password, const std::string &encoded)
{
    return crypto_pwhash_str_verify(encoded.c_str(), password.data(), password.size()) == 0;
}

std::string newSessionToken()
{
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    char text[sodium_base64_ENCODED_LEN(sizeof bytes, sodium_base64_VARIANT_URLSAFE_NO_PADDING)];
    sodium_bin2base64(text, sizeof text, bytes, sizeof bytes,
                      sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return text;
}

std::string newRecoveryCode()
{
    std::string code = std::to_string(randombytes_uniform(1000000));
    return std::string(6 - code.size(), '0') + code;
}

std::string digest(const std::string &secret)
{
    return keyedDigest({}, secret);
}

std::string newDigestKey()
{
    unsigned char key[32];
    randombytes_buf(key, sizeof key);
    return std::string(reinterpret_cast<const char *>(key), sizeof key);
}

std::string keyedDigest(const std::string &key, const std::string &secret)
{
    unsigned char out[32];
    // BLAKE2b takes keys of 16 to 64 bytes; longer ones are digested first.
    const std::string usable = key.size() > crypto_generichash_KEYBYTES_MAX ? digest(key) : key;
    crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char *>(secret.data()),
                       secret.size(), reinterpret_cast<const unsigned char *>(usable.data()),
                       usable.size());
    char hex[sizeof out * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, out, sizeof out);
    return hex;
}

bool sameSecret(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace velko::server
