// Splitting the argument list of an extended AT command ("AT+CPBW=1,\"123\",129,\"A\"").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan::phonesim {

struct AtArgument {
    std::string value;  // without the double quotes
    bool quoted = false;

    bool empty() const { return value.empty() && !quoted; }
};

// Comma-separated fields; a quoted field may hold commas. nullopt when a quote is not
// closed or text follows a closing quote.
std::optional<std::vector<AtArgument>> parseAtArguments(std::string_view text);

// A whole decimal number from 0 to max; nullopt for anything else.
std::optional<int> parseAtNumber(const AtArgument& argument, int max);

}  // namespace tabellan::phonesim
