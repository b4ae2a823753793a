#pragma once
// Object names of controls: a member of an indexed group is named "<group>_<index>" (cmd_imp_0),
// so that window tests find every control by its documented name.

#include <QString>

namespace kalvora::ui {

inline QString IndexedName(const char* group, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(group)).arg(index);
}

}  // namespace kalvora::ui
