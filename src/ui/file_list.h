#pragma once
// The file list: the names of the files in one directory, in ascending order, with extended
// selection (click, Shift+click, Ctrl+click).

#include <QListWidget>

namespace kalvora::ui {

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    void setDirectory(const QString& directory);
    QString directory() const { return directory_; }
    // The selected names in list order.
    QStringList selectedFileNames() const;
    // Selects the lines with these names (for tests and keyboard users); false when one is missing.
    bool selectFileNames(const QStringList& names);

private:
    QString directory_;
};

}  // namespace kalvora::ui
