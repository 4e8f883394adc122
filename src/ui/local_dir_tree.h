#pragma once
#include <QTreeView>

#include <functional>
#include <string>

class QFileSystemModel;

namespace brisk {

// The local file system's directories as a tree beside the local list. Choosing one (by click or
// keys) reports it; the tree follows the list's directory when told.
class LocalDirTree : public QTreeView {
public:
    explicit LocalDirTree(QWidget* parent = nullptr);

    // Makes `dir` the current item, opened up to it, without reporting it.
    void follow(const std::string& dir);

    std::function<void(const std::string& dir)> onChosen;

private:
    void currentMoved(const QModelIndex& current);
    void loaded(const QString& dir);

    QFileSystemModel* model_;
    QString followed_;
    bool following_ = false;
};

} // namespace brisk
