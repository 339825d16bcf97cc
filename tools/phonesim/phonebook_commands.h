// AT+CPBS, AT+CPBR and AT+CPBW of the simulated phone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "phonesim/phonebook_store.h"
#include "phonesim/reply.h"

namespace tabellan::phonesim {

class PhonebookCommands {
  public:
    // forcedCme: every command fails with this +CME ERROR code (a locked SIM, say).
    PhonebookCommands(PhonebookStore& store, std::optional<int> forcedCme);

    // name is the upper-case command name ("+CPBR"), rest what follows it ("=1,250", "?").
    // nullopt when name is not a phonebook command.
    std::optional<Reply> run(std::string_view name, std::string_view rest);

    const std::string& storage() const { return storage_; }

  private:
    Reply selectStorage(std::string_view rest);
    Reply read(std::string_view rest) const;
    Reply write(std::string_view rest);
    const PhonebookMemory& memory() const;

    PhonebookStore& store_;
    std::optional<int> forcedCme_;
    std::string storage_;
};

}  // namespace tabellan::phonesim
