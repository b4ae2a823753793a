#include "ui/file_list.h"

#include <QDir>

namespace kalvora::ui {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void FileList::setDirectory(const QString& directory) {
    directory_ = directory;
    clear();
    const QDir dir(QDir::fromNativeSeparators(directory));
    addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QStringList FileList::selectedFileNames() const {
    QStringList names;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected()) names << item(row)->text();
    }
    return names;
}

bool FileList::selectFileNames(const QStringList& names) {
    clearSelection();
    bool all = true;
    for (const QString& name : names) {
        const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) {
            all = false;
            continue;
        }
        found.front()->setSelected(true);
    }
    return all;
}

}  // namespace kalvora::ui
