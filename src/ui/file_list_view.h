#pragma once
#include <QTreeView>

#include <functional>
#include <vector>

namespace brisk {

class FileListModel;
struct DraggedRows;

// A file list: rows come from a model, the view only shows them. Dragging selected rows carries
// them in the program's own format (FileListModel::mimeData). Dropping one row on another of the
// same list reports both, so the site list can move a site into a folder; rows dropped from another
// file list of this program go to onRowsDropped. Drops from anywhere else are refused.
class FileListView : public QTreeView {
public:
    explicit FileListView(QWidget* parent = nullptr);

    FileListModel* rows() const { return model_; }

    std::function<void(int source, int target)> onRowDropped;
    // Rows of another file list dropped here.
    std::function<void(const DraggedRows& rows)> onRowsDropped;
    // Whether rows of that list (this one included) may be dropped here now; unset: all of them.
    std::function<bool(quint64 source)> acceptsRowsFrom;
    // Keys the panel itself acts on that Qt has no binding for (Backspace); the window's shortcuts
    // come first.
    std::function<bool(int key)> onKey;

    // Indices of the selected rows, in row order.
    std::vector<int> selectedRows() const;
    // Makes the view's selection the rows `isSelected` answers true for, in one change.
    void setSelectedRows(const std::function<bool(size_t row)>& isSelected);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool acceptable(const QDropEvent* event) const;

    FileListModel* model_;
};

} // namespace brisk
