#include "cli/command_args.h"

#include <algorithm>

namespace tabellan {
namespace {

bool Contains(std::initializer_list<std::string_view> list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

CommandArgs::CommandArgs(int argc, char** argv, std::string usage,
                         std::initializer_list<std::string_view> flags,
                         std::initializer_list<std::string_view> valued)
    : usage_(std::move(usage)) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands_.push_back(arg);
            continue;
        }
        if (arg[1] != '-') {
            Fail("unknown option " + arg);
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (name == "--help" || Contains(flags, name)) {
            if (eq != std::string::npos) {
                Fail(name + " takes no value");
            }
            options_.emplace_back(name, std::string());
        } else if (Contains(valued, name)) {
            if (eq != std::string::npos) {
                options_.emplace_back(name, arg.substr(eq + 1));
            } else if (i + 1 < argc) {
                options_.emplace_back(name, argv[++i]);
            } else {
                Fail(name + " needs a value");
            }
        } else {
            Fail("unknown option " + name);
        }
    }
}

bool CommandArgs::Has(std::string_view option) const {
    return std::any_of(options_.begin(), options_.end(),
                       [&](const auto& o) { return o.first == option; });
}

std::optional<std::string> CommandArgs::Value(std::string_view option) const {
    // The last occurrence wins, as with most command-line tools.
    for (auto it = options_.rbegin(); it != options_.rend(); ++it) {
        if (it->first == option) {
            return it->second;
        }
    }
    return std::nullopt;
}

void CommandArgs::RequireOperands(std::size_t count) const {
    if (operands_.size() < count) {
        Fail("missing operand");
    }
    if (operands_.size() > count) {
        Fail("unexpected operand " + operands_[count]);
    }
}

void CommandArgs::Fail(const std::string& message) const {
    throw UsageError(message, usage_);
}

}  // namespace tabellan
