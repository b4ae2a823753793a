#pragma once
// Between the path settings and the directory lists: a path setting never ends in a separator, so a
// bare drive ("C:", or the empty text that the root "/" loads as) gets its separator back before it
// is shown or opened; a shown directory goes back into memory without its closing separator.

#include <QString>
#include <string>

namespace kalvora::ui {

// The directory to show or open for a path setting: shorter than three characters gets a separator.
QString DirectoryOfSetting(const std::string& path);
// The value kept in memory for a shown directory: one closing separator (after the last non-blank
// character) removed.
std::string PathSettingOf(const QString& shown);
// The path of a file in a directory, without a doubled separator when the directory is a root.
QString FileInDirectory(const QString& directory, const QString& name);

}  // namespace kalvora::ui
