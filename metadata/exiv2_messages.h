// SPDX-License-Identifier: MIT
// exiv2 reports what it finds wrong through one global handler; here it
// is collected instead of printed, for the call that caused it.
#pragma once

#include <string>
#include <vector>

// While it lives, exiv2's warnings and errors on this thread are kept
// (printed too when QUENLO_VERBOSE is set) rather than written to stderr.
class Exiv2Messages {
public:
    Exiv2Messages();
    ~Exiv2Messages();
    Exiv2Messages(const Exiv2Messages&) = delete;
    Exiv2Messages& operator=(const Exiv2Messages&) = delete;

    const std::vector<std::string>& Texts() const { return m_texts; }
    // Whether any message names text, as exiv2 words it.
    bool Mention(const char* text) const;

private:
    std::vector<std::string> m_texts;
    Exiv2Messages* m_outer;
};
