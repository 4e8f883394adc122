#include "ui/local_dir_tree.h"

#include "ui/qt_text.h"

#include <QFileSystemModel>
#include <QHeaderView>

namespace brisk {

LocalDirTree::LocalDirTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this))
{
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath("/");
    setModel(model_);
    setHeaderHidden(true);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    // The name alone: size, kind and date say nothing about a directory here.
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentMoved(current); });
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& dir) { loaded(dir); });
}

void LocalDirTree::follow(const std::string& dir)
{
    const QModelIndex index = model_->index(toQt(dir));
    if (index == currentIndex())
        return;
    followed_ = toQt(dir);
    following_ = true;
    setCurrentIndex(index);
    following_ = false;
    if (index.isValid())
        scrollTo(index);
}

// The model fills each level from its own thread: once a level on the way to the followed directory
// has come, the tree opens further toward it.
void LocalDirTree::loaded(const QString& dir)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && (followed_ == dir || followed_.startsWith(dir.endsWith('/') ? dir : dir + '/')))
        scrollTo(current);
}

void LocalDirTree::currentMoved(const QModelIndex& current)
{
    if (following_ || !current.isValid())
        return;
    followed_.clear();
    if (onChosen)
        onChosen(fromQt(model_->filePath(current)));
}

} // namespace brisk
