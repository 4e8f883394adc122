#include "ui/file_list_model.h"

#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <climits>

namespace brisk {

namespace {

constexpr int kSizeColumn = 1;

} // namespace

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FileListModel::show(const QStringList& headers, size_t rows, TextOf text, IconOf icon)
{
    beginResetModel();
    const bool columnsChange = headers != headers_;
    if (columnsChange)
        headers_ = headers;
    rows_ = rows;
    text_ = std::move(text);
    icon_ = std::move(icon);
    endResetModel();
    if (columnsChange)
        emit headerDataChanged(Qt::Horizontal, 0, int(headers_.size()) - 1);
}

void FileListModel::showRows(size_t rows)
{
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void FileListModel::setSizeDisplay(SizeDisplay display)
{
    if (display == sizeDisplay_)
        return;
    sizeDisplay_ = display;
    if (rowCount() > 0 && isSizeColumn(kSizeColumn))
        emit dataChanged(index(0, kSizeColumn), index(rowCount() - 1, kSizeColumn),
                         {Qt::DisplayRole, Qt::ToolTipRole});
}

// The site list's second column is the server, not a size: only file lists have more than two.
bool FileListModel::isSizeColumn(int column) const
{
    return column == kSizeColumn && headers_.size() > 2;
}

QVariant FileListModel::sizeToolTip(size_t row) const
{
    const std::string exact = text_ ? ExactSizeText(text_(row, kSizeColumn)) : std::string();
    return exact.empty() ? QVariant() : QVariant(toQt(exact));
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    // Qt counts rows in int; a listing beyond that is shown up to it.
    return parent.isValid() ? 0 : int(std::min<size_t>(rows_, INT_MAX));
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(headers_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= rows_)
        return {};
    const size_t row = size_t(index.row());
    const bool size = isSizeColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (size && text_)
            return toQt(FormatSizeForDisplay(text_(row, kSizeColumn), sizeDisplay_));
        [[fallthrough]];
    case Qt::EditRole: return text_ ? toQt(text_(row, index.column())) : QString();
    case Qt::DecorationRole: return index.column() == 0 && icon_ ? QVariant(icon_(row)) : QVariant();
    case Qt::ToolTipRole: return size ? sizeToolTip(row) : QVariant();
    case Qt::TextAlignmentRole: return size ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default: return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return {};
    return headers_[section];
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (editable_ && index.column() == 0)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || !editable_)
        return false;
    if (onEdited)
        onEdited(size_t(index.row()), fromQt(value.toString()));
    return true;
}

QStringList FileListModel::mimeTypes() const
{
    return {kMimeType};
}

// The process id, the list and then the rows: row number and caption each.
QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.model() == this && size_t(index.row()) < rows_)
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint64(QCoreApplication::applicationPid()) << id() << quint32(rows.size());
    for (int row : rows)
        out << qint32(row) << (text_ ? toQt(text_(size_t(row), 0)) : QString());
    auto* data = new QMimeData;
    data->setData(kMimeType, bytes);
    return data;
}

namespace {

bool readHeader(QDataStream& in, quint64& source)
{
    qint64 pid = 0;
    in >> pid >> source;
    return in.status() == QDataStream::Ok && pid == QCoreApplication::applicationPid();
}

} // namespace

std::optional<quint64> FileListModel::dragSource(const QMimeData* data)
{
    if (!data || !data->hasFormat(kMimeType))
        return std::nullopt;
    const QByteArray bytes = data->data(kMimeType);
    QDataStream in(bytes);
    quint64 source = 0;
    if (!readHeader(in, source))
        return std::nullopt;
    return source;
}

std::optional<DraggedRows> FileListModel::draggedRows(const QMimeData* data)
{
    if (!data || !data->hasFormat(kMimeType))
        return std::nullopt;
    const QByteArray bytes = data->data(kMimeType);
    QDataStream in(bytes);
    DraggedRows dragged;
    quint32 count = 0;
    if (!readHeader(in, dragged.source))
        return std::nullopt;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok && !in.atEnd(); ++i) {
        qint32 row = -1;
        QString caption;
        in >> row >> caption;
        if (in.status() != QDataStream::Ok || row < 0)
            return std::nullopt;
        dragged.rows.push_back(row);
        dragged.captions.push_back(fromQt(caption));
    }
    if (in.status() != QDataStream::Ok || dragged.rows.size() != count)
        return std::nullopt;
    return dragged;
}

} // namespace brisk
