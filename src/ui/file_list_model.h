#pragma once
#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <string>

namespace brisk {

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
    // Called with the new name when an edit of the first column ends.
    std::function<void(size_t row, const std::string& text)> onEdited;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

private:
    QStringList headers_;
    size_t rows_ = 0;
    TextOf text_;
    IconOf icon_;
    bool editable_ = false;
};

} // namespace brisk
