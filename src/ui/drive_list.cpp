#include "ui/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>

namespace kalvora::ui {

namespace {

bool IsUnder(const QString& path, const QString& root) {
    if (root.endsWith(QLatin1Char('/'))) return path.startsWith(root, Qt::CaseInsensitive);
    return path.compare(root, Qt::CaseInsensitive) == 0 ||
           path.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive);
}

bool IsSystemMount(const QStorageInfo& volume) {
    static const QSet<QByteArray> pseudoTypes = {
        "proc",        "sysfs",    "devtmpfs", "devpts",    "cgroup",     "cgroup2",  "securityfs", "pstore",
        "debugfs",     "tracefs",  "mqueue",   "hugetlbfs", "autofs",     "configfs", "fusectl",    "bpf",
        "binfmt_misc", "efivarfs", "nsfs",     "ramfs",     "rpc_pipefs", "squashfs"};
    if (pseudoTypes.contains(volume.fileSystemType())) return true;
    const QString root = volume.rootPath();
    if (root.startsWith(QLatin1String("/run/media/"))) return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap"}) {
        if (IsUnder(root, QLatin1String(system))) return true;
    }
    return false;
}

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChosen(itemText(index)); });
}

void DriveList::refresh() {
    const QSignalBlocker blocker(this);
    const QString current = drive();
    clear();
    addItems(AvailableRoots());
    if (!current.isEmpty()) showDriveOf(current);
}

void DriveList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

QString DriveList::drive() const { return currentText(); }

void DriveList::showDriveOf(const QString& directory) {
    QStringList roots;
    for (int index = 0; index < count(); ++index) roots << itemText(index);
    const QString root = DriveOf(QDir::fromNativeSeparators(directory), roots);
    if (root.isEmpty()) return;
    const QSignalBlocker blocker(this);
    int index = findText(root);
    if (index < 0) {
        addItem(root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

QString DriveList::DriveOf(const QString& directory, const QStringList& roots) {
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(directory));
    QString best;
    for (const QString& candidate : roots) {
        const QString root = QDir::fromNativeSeparators(candidate);
        if (IsUnder(path, root) && root.size() > best.size()) best = candidate;
    }
    if (best.isEmpty() && QDir::isAbsolutePath(path)) {
        // A drive not among the roots (for example a network share): its root is the directory's own.
        best = QDir::toNativeSeparators(QFileInfo(path).absoluteDir().rootPath());
    }
    return best;
}

QStringList DriveList::AvailableRoots() {
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives()) roots << QDir::toNativeSeparators(drive.absoluteFilePath());
#else
    roots << QStringLiteral("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsSystemMount(volume)) continue;
        const QString root = volume.rootPath();
        if (!QFileInfo(root).isDir() || roots.contains(root)) continue;
        roots << root;
    }
    std::sort(roots.begin() + 1, roots.end());
#endif
    return roots;
}

}  // namespace kalvora::ui
