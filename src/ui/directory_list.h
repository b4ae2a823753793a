#pragma once
// The directory list: the chosen directory with the directories above it, opened down from the
// root, and the directories inside it. Double click or Enter on a line opens that directory; Enter
// goes no further, so it never presses the window's default button.

#include <QTreeWidget>

namespace kalvora::ui {

class DirectoryList : public QTreeWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    // Opens an existing, readable directory given by its absolute path; false (and nothing
    // changes) for anything else. Announces the change when the directory is a new one.
    bool setPath(const QString& directory);
    // The open directory in the platform's notation; empty before the first setPath.
    QString path() const;
    // The directory a line stands for.
    static QString PathOf(const QTreeWidgetItem* item);

signals:
    void pathChanged(const QString& directory);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The lines show their level by indentation alone; nothing folds.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void rebuild();

    QString path_;
};

}  // namespace kalvora::ui
