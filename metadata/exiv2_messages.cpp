// SPDX-License-Identifier: MIT
#include "metadata/exiv2_messages.h"

#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

thread_local Exiv2Messages* t_collector = nullptr;
thread_local std::vector<std::string>* t_texts = nullptr;

void Collect(int level, const char* text)
{
    if (std::getenv("QUENLO_VERBOSE") != nullptr)
        std::fputs(text, stderr);
    if (t_texts != nullptr && level >= Exiv2::LogMsg::warn)
        t_texts->emplace_back(text);
}

void InstallHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::warn);
        Exiv2::LogMsg::setHandler(Collect);
        // exiv2 asks for the XMP toolkit to be started before threads use it.
        Exiv2::XmpParser::initialize();
    });
}

} // namespace

Exiv2Messages::Exiv2Messages() : m_outer(t_collector)
{
    InstallHandler();
    t_collector = this;
    t_texts = &m_texts;
}

Exiv2Messages::~Exiv2Messages()
{
    t_collector = m_outer;
    t_texts = m_outer != nullptr ? &m_outer->m_texts : nullptr;
}

bool Exiv2Messages::Mention(const char* text) const
{
    for (const std::string& each : m_texts)
        if (each.find(text) != std::string::npos)
            return true;
    return false;
}
