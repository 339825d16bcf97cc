#pragma once
// Options and operands of one subcommand, and the usage failure (exit status 2).
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabellan {

// Wrong usage of the tool; main prints the message and the usage line and exits with 2.
class UsageError : public std::runtime_error {
  public:
    UsageError(const std::string& message, std::string usage)
        : std::runtime_error(message), usage_(std::move(usage)) {}
    const std::string& Usage() const { return usage_; }

  private:
    std::string usage_;
};

class CommandArgs {
  public:
    // argv[0] is the subcommand's name. flags take no value; valued options take one, as
    // "--name value" or "--name=value". "--" ends the options; "--help" is always known.
    CommandArgs(int argc, char** argv, std::string usage,
                std::initializer_list<std::string_view> flags,
                std::initializer_list<std::string_view> valued = {});

    const std::vector<std::string>& Operands() const { return operands_; }
    bool Has(std::string_view option) const;
    std::optional<std::string> Value(std::string_view option) const;
    // Every option given, in order, with its value (empty for a flag).
    const std::vector<std::pair<std::string, std::string>>& Options() const { return options_; }
    bool HelpRequested() const { return Has("--help"); }
    const std::string& Usage() const { return usage_; }

    // Throws UsageError unless there are exactly count operands.
    void RequireOperands(std::size_t count) const;
    [[noreturn]] void Fail(const std::string& message) const;

  private:
    std::string usage_;
    std::vector<std::string> operands_;
    std::vector<std::pair<std::string, std::string>> options_;
};

}  // namespace tabellan
