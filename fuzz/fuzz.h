// Shared by the fuzz targets: the property check that fails a run, a reader that
// cuts one input into the parts a target needs, a quiet Qt application, and a
// settings folder with snapshots of its files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

// A broken property is a finding like a crash: libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

// Reads an input front to back; past its end every read answers zero or empty.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // The bytes up to the next `separator` (which is skipped), or all that is left.
    std::string until(char separator)
    {
        std::string part;
        while (m_pos < m_size && char(m_data[m_pos]) != separator)
            part += char(m_data[m_pos++]);
        if (m_pos < m_size)
            ++m_pos;
        return part;
    }
    std::string rest()
    {
        std::string part(reinterpret_cast<const char *>(m_data) + m_pos, m_size - m_pos);
        m_pos = m_size;
        return part;
    }
    std::size_t left() const { return m_size - m_pos; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Qt targets: a core application with the debug log switched off, and a settings
// folder "system" in a temporary application folder that appenv points at.
// Both are made on the first call and live for the whole run.
void startQt();
std::string settingsDir(); // ".../system"

// Every file of the settings folder by name, with its bytes.
using Files = std::map<std::string, std::string>;
Files snapshot();
// Replaces the settings folder's files by `files`.
void restore(const Files &files);
// The keys of INI bytes with their values, as the settings classes read them
// ("group/key" as the toolkit names them).
std::map<std::string, std::string> iniValues(const std::string &bytes);
// The keys whose values differ between two such maps (also added or removed ones).
std::map<std::string, std::string> changedKeys(const std::map<std::string, std::string> &before,
                                               const std::map<std::string, std::string> &after);

} // namespace fuzz
