#include "shell/ui/window_registry.h"

#include <map>

namespace kalvora::ui {

namespace {

// Built on first use, so that registrations in other files may run in any order at start-up.
std::map<MenuCommand, WindowOpener>& Openers() {
    static std::map<MenuCommand, WindowOpener> openers;
    return openers;
}

}  // namespace

void SetWindowOpener(MenuCommand command, WindowOpener opener) {
    if (opener) {
        Openers()[command] = std::move(opener);
    } else {
        Openers().erase(command);
    }
}

WindowOpener WindowOpenerFor(MenuCommand command) {
    const auto found = Openers().find(command);
    return found == Openers().end() ? WindowOpener() : found->second;
}

}  // namespace kalvora::ui
