// Password hashing, session tokens and recovery codes, on libsodium.
// Call sodiumInit() once before anything else; all functions are thread-safe.
#pragma once

#include <cstddef>
#include <string>

namespace velko::server {

// Argon2id cost. The defaults are the production setting; tests may choose less.
struct HashCost
{
    unsigned long long passes = 2;
    std::size_t memoryKiB = 19 * 1024;
};

// Throws std::runtime_error when libsodium cannot start.
void sodiumInit();

// An encoded Argon2id hash (salt and cost included). Throws std::bad_alloc when the
// memory cannot be had.
std::string hashPassword(const std::string &password, const HashCost &cost);
// Whether the password matches an encoded hash; false for a malformed hash.
bool verifyPassword(const std::string &password, const std::string &encoded);

// 256 random bits as 43 URL-safe base64 characters.
std::string newSessionToken();
// Six random decimal digits, uniformly drawn.
std::string newRecoveryCode();
// What the store keeps of a token or code: its BLAKE2b digest in hex. Tokens
// carry 256 random bits, so a leaked table does not give them away.
std::string digest(const std::string &secret);
// The same digest keyed with a secret of the server (BLAKE2b as a MAC): for the
// six-digit recovery codes, which a copy of the table would otherwise give away
// by trying all million. An empty key gives digest().
std::string keyedDigest(const std::string &key, const std::string &secret);
// 32 random bytes, a key for keyedDigest().
std::string newDigestKey();
// Compares two strings in time independent of where they differ.
bool sameSecret(const std::string &a, const std::string &b);

} // namespace velko::server
