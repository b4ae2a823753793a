#include "ui/directory_list.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

namespace kalvora::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(14);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The lines are rebuilt when a directory opens, so the line that was activated is left alone
    // until its event is over.
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString target = PathOf(item);
        if (!target.isEmpty()) {
            QMetaObject::invokeMethod(
                this, [this, target] { setPath(target); }, Qt::QueuedConnection);
        }
    });
}

bool DirectoryList::setPath(const QString& directory) {
    const QString cleaned = QDir::cleanPath(QDir::fromNativeSeparators(directory.trimmed()));
    if (cleaned.isEmpty() || !QDir::isAbsolutePath(cleaned)) return false;
    const QFileInfo info(cleaned);
    if (!info.isDir() || !info.isReadable() || !QDir(cleaned).isReadable()) return false;
    const QString native = QDir::toNativeSeparators(cleaned);
    const bool changed = native != path_;
    path_ = native;
    rebuild();
    if (changed) emit pathChanged(path_);
    return true;
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    QTreeWidget::keyPressEvent(event);
    // The view lets Enter through to the window after opening the line; here it only opens the line.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
}

QString DirectoryList::path() const { return path_; }

QString DirectoryList::PathOf(const QTreeWidgetItem* item) {
    return item == nullptr ? QString() : item->data(0, kPathRole).toString();
}

void DirectoryList::rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the open directory.
    QStringList chain;
    QDir walk(QDir::fromNativeSeparators(path_));
    chain.prepend(walk.absolutePath());
    while (!walk.isRoot() && walk.cdUp()) chain.prepend(walk.absolutePath());

    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& step : chain) {
        const QString name =
            QDir(step).isRoot() ? QDir::toNativeSeparators(step) : QFileInfo(step).fileName();
        auto* item = parentItem == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parentItem);
        item->setText(0, name);
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, QDir::toNativeSeparators(step));
        item->setExpanded(true);
        parentItem = item;
    }
    QTreeWidgetItem* current = parentItem;

    const QDir open(QDir::fromNativeSeparators(path_));
    const QFileInfoList children =
        open.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& child : children) {
        auto* item = new QTreeWidgetItem(current);
        item->setText(0, child.fileName());
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, QDir::toNativeSeparators(child.absoluteFilePath()));
    }
    if (current != nullptr) {
        current->setExpanded(true);
        setCurrentItem(current);
        scrollToItem(current);
    }
}

}  // namespace kalvora::ui
