#pragma once
// How the program runs a command: a failure is shown in an error box with its message and
// the command ends; the windows stay as the command left them.
#include <functional>

namespace tabellan {

class Prompter;

void RunCommand(Prompter& prompter, const std::function<void()>& command);

}  // namespace tabellan
