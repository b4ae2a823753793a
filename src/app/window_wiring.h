#pragma once
// Who opens whom: the windows the main window's menu opens, and the windows those open in turn
// (the ICU report's levels, the search, the stay detail, the analysis).

#include "app/main_window.h"
#include "import/ui/protocol_window.h"
#include "reports/ui/department_list_window.h"
#include "reports/ui/patient_list_window.h"

namespace kalvora::ui {

// The openers of the program's menu commands.
WindowOpeners ProgramWindowOpeners();

// The department level's "&Weiter", "&Suchen" and "&Analyse".
DepartmentListWindow::Openers DepartmentLevelOpeners();

// The patient level's "&Weiter" (the stay detail) and "&Suchen".
PatientListWindow::Openers PatientLevelOpeners();

// The protocol window's double click: the detail view of the row's stay when it is stored, else a
// notice saying why there is none.
ProtocolWindow::StayOpener ProtocolStayOpener(AppContext& context);

}  // namespace kalvora::ui
