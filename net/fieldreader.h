// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace vrako {

// A received message split at its first "+": the command word and the field text after it.
// A message without "+" has an empty command word and is ignored by both ends.
struct ParsedMessage {
    std::string_view command;
    std::string_view args;
};

ParsedMessage splitCommand(std::string_view message);

// Parses a decimal number without sign (at most nine digits). Anything else is not a number.
std::optional<int> parseNumber(std::string_view text);

// Reads fields from the front of a message's field text: a field is the text up to the next "+",
// which is dropped; the last field may be taken as the whole rest, "+" included.
class FieldReader {
public:
    explicit FieldReader(std::string_view args) : m_rest(args) {}

    // The next field; empty when nothing is left.
    std::string_view field();
    // The next field as a number; nullopt when it is not a decimal number.
    std::optional<int> number() { return parseNumber(field()); }
    // Everything not read yet.
    std::string_view rest();
    bool atEnd() const { return m_done || m_rest.empty(); }

private:
    std::string_view m_rest;
    bool m_done = false;
};

} // namespace vrako
