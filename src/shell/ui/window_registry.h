#pragma once
// The menu commands of the main window whose windows belong to other subsystems. A subsystem hooks
// its window in with a registration in its window file:
//
//     const WindowOpenerRegistration kOpenExport(MenuCommand::Export, [](AppContext& context, QWidget*
//     parent) {
//         frmExp window(context, parent);
//         window.exec();
//     });
//
// The main window runs the imported-data check first where the command needs it, then calls the
// opener. A command without an opener opens nothing. The program links every object file of the
// window library (WHOLE_ARCHIVE), so that such registrations are never dropped by the linker.

#include <QWidget>
#include <functional>

namespace kalvora::ui {

struct AppContext;

enum class MenuCommand {
    Export,           // "&Datei" -> "&Export": the export window frmExp
    Intensivbericht,  // "&Intensivbericht": the department level frmAbt
    Einstufung,       // "&Extras" -> "&Einstufung": the classification dialog frmEin
};

using WindowOpener = std::function<void(AppContext& context, QWidget* parent)>;

// Sets (or, with an empty opener, removes) the opener of a command.
void SetWindowOpener(MenuCommand command, WindowOpener opener);
// The opener of a command; empty when none is registered.
WindowOpener WindowOpenerFor(MenuCommand command);

struct WindowOpenerRegistration {
    WindowOpenerRegistration(MenuCommand command, WindowOpener opener) {
        SetWindowOpener(command, std::move(opener));
    }
};

}  // namespace kalvora::ui
