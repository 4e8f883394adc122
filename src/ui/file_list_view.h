#pragma once
#include <QTreeWidget>

#include <functional>

namespace brisk {

// A file list: rows come from a model, the view only shows them. Dropping one row on another reports
// both, so the site list can move a site into a folder.
class FileListView : public QTreeWidget {
public:
    explicit FileListView(QWidget* parent = nullptr);

    std::function<void(int source, int target)> onRowDropped;
    // Keys the panels act on that Qt has no binding for (Backspace, Delete, F5).
    std::function<bool(int key)> onKey;

    // Indices of the selected rows, in row order.
    std::vector<int> selectedRows() const;

protected:
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace brisk
