#include "app/run_command.h"

#include <exception>

#include "cardfile/prompter.h"

namespace tabellan {

void RunCommand(Prompter& prompter, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        prompter.Show(MsgKind::Error, e.what(), Buttons::Ok);
    }
}

}  // namespace tabellan
