#pragma once
#include "listing/size_display.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace brisk {

// What a drag out of a file list carries: the list it comes from and its rows with their captions
// as they were when the drag started.
struct DraggedRows {
    quint64 source = 0;   // the FileListModel the rows come from (its address in this process)
    std::vector<int> rows;
    std::vector<std::string> captions;
};

// The rows of a file list as Qt's views read them. The rows stay in the core models; this model
// only knows how many there are and asks for a cell's text or icon when a view paints it, so a
// long listing costs no memory per row here.
class FileListModel : public QAbstractTableModel {
public:
    using TextOf = std::function<std::string(size_t row, int column)>;
    using IconOf = std::function<QIcon(size_t row)>;

    explicit FileListModel(QObject* parent = nullptr);

    // New columns and rows in one reset; views drop their selection and scroll position.
    void show(const QStringList& headers, size_t rows, TextOf text, IconOf icon);
    // The same columns, another set of rows: one reset, whatever their number.
    void showRows(size_t rows);
    // No rows and nothing to read them from, for when the core models go away.
    void clear() { show(headers_, 0, {}, {}); }
    void setEditable(bool on) { editable_ = on; }
    // How the size column shows its byte texts; the exact count is always in its tool tip.
    void setSizeDisplay(SizeDisplay display);
    SizeDisplay sizeDisplay() const { return sizeDisplay_; }
    // Called with the new name when an edit of the first column ends.
    std::function<void(size_t row, const std::string& text)> onEdited;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }

    // Drags carry the selected rows in this program's own format; anything else is not a file
    // list's drag.
    static constexpr const char* kMimeType = "application/x-brisklane-file-rows";
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // The rows of a drag out of a file list of this process; nullopt for anything else (another
    // format, another program, damaged data).
    static std::optional<DraggedRows> draggedRows(const QMimeData* data);
    // Only the list a drag comes from, without reading its rows.
    static std::optional<quint64> dragSource(const QMimeData* data);
    quint64 id() const { return quint64(reinterpret_cast<quintptr>(this)); }

private:
    bool isSizeColumn(int column) const;
    QVariant sizeToolTip(size_t row) const;

    QStringList headers_;
    size_t rows_ = 0;
    TextOf text_;
    IconOf icon_;
    bool editable_ = false;
    SizeDisplay sizeDisplay_ = SizeDisplay::Grouped;
};

} // namespace brisk
