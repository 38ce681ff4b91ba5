// SPDX-License-Identifier: MIT
#include "net/fieldreader.h"

namespace vrako {

ParsedMessage splitCommand(std::string_view message) {
    const std::size_t plus = message.find('+');
    if (plus == std::string_view::npos)
        return {};
    return {message.substr(0, plus), message.substr(plus + 1)};
}

std::optional<int> parseNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string_view FieldReader::field() {
    if (m_done)
        return {};
    const std::size_t plus = m_rest.find('+');
    std::string_view f;
    if (plus == std::string_view::npos) {
        f = m_rest;
        m_rest = {};
        m_done = true;
    } else {
        f = m_rest.substr(0, plus);
        m_rest.remove_prefix(plus + 1);
    }
    return f;
}

std::string_view FieldReader::rest() {
    std::string_view r = m_done ? std::string_view{} : m_rest;
    m_rest = {};
    m_done = true;
    return r;
}

} // namespace vrako
