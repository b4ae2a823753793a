#pragma once
// The drive list: the file-system roots the user can choose. On Windows these are the drives; on
// other systems "/" and the mount points of real file systems (disks, removable media, network
// shares), without the system's own pseudo file systems. A root is chosen as soon as it is shown
// (arrow keys, wheel, the opened list); Enter in the closed list has nothing left to do and never
// presses the window's default button.

#include <QComboBox>
#include <QStringList>

namespace kalvora::ui {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Re-reads the roots.
    void refresh();
    QString drive() const;
    // Chooses the root that holds the directory (the longest root it lies under), without
    // announcing a change.
    void showDriveOf(const QString& directory);

    // The root of the directory among the roots.
    static QString DriveOf(const QString& directory, const QStringList& roots);
    static QStringList AvailableRoots();

protected:
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // The user chose another root.
    void driveChosen(const QString& drive);
};

}  // namespace kalvora::ui
