#pragma once
#include <QTreeView>

#include <functional>
#include <vector>

namespace brisk {

class FileListModel;

// A file list: rows come from a model, the view only shows them. Dropping one row on another reports
// both, so the site list can move a site into a folder.
class FileListView : public QTreeView {
public:
    explicit FileListView(QWidget* parent = nullptr);

    FileListModel* rows() const { return model_; }

    std::function<void(int source, int target)> onRowDropped;
    // Keys the panels act on that Qt has no binding for (Backspace, Delete, F5).
    std::function<bool(int key)> onKey;

    // Indices of the selected rows, in row order.
    std::vector<int> selectedRows() const;
    // Makes the view's selection the rows `isSelected` answers true for, in one change.
    void setSelectedRows(const std::function<bool(size_t row)>& isSelected);

protected:
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FileListModel* model_;
};

} // namespace brisk
