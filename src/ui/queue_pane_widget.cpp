#include "ui/queue_pane_widget.h"

#include "ui/column_fit.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace brisk {

namespace {

// Direction, local file, remote file, size, progress, rate; the reason takes the rest.
constexpr std::array<int, 6> kColumnWidths = {80, 240, 240, 80, 70, 100};

} // namespace

QueueTableModel::QueueTableModel(QueuePane& pane, const TransferQueue& queue, QueueView view, QObject* parent)
    : QAbstractTableModel(parent), pane_(pane), queue_(queue), view_(view)
{
}

int QueueTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(queue_.rowCount(view_));
}

int QueueTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(QueuePane::kColumns.size());
}

QVariant QueueTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= queue_.rowCount(view_))
        return {};
    return toQt(pane_.cell(view_, size_t(index.row()), QueueColumn(index.column())));
}

QVariant QueueTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || size_t(section) >= QueuePane::kColumns.size())
        return {};
    return QString(QueuePane::kColumns[size_t(section)]);
}

// The queue has already changed: the views ask for everything again.
void QueueTableModel::rowsChanged()
{
    beginResetModel();
    endResetModel();
}

void QueueTableModel::itemChanged(uint64_t id)
{
    if (const std::optional<size_t> row = queue_.rowOf(view_, id))
        emit dataChanged(index(int(*row), 0), index(int(*row), columnCount() - 1));
}

QueuePaneWidget::QueuePaneWidget(QueuePane& pane, TransferQueue& queue, QWidget* parent)
    : QWidget(parent), pane_(pane), queue_(queue)
{
    setObjectName("queuePane");
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("pcQueue");
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->tabBar()->setFocusPolicy(Qt::NoFocus);
    const char* names[] = {"tvQueued", "tvFailed", "tvSuccessful"};
    for (size_t i = 0; i < tables_.size(); ++i) {
        auto* table = new QTableView(tabs_);
        table->setObjectName(names[i]);
        models_[i] = new QueueTableModel(pane_, queue_, QueueView(i), table);
        table->setModel(models_[i]);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->horizontalHeader()->setStretchLastSection(true);
        for (size_t column = 0; column < kColumnWidths.size(); ++column)
            table->horizontalHeader()->resizeSection(int(column), kColumnWidths[column]);
        const int size = int(QueueColumn::Size);
        table->horizontalHeader()->resizeSection(
            size, std::max(kColumnWidths[size_t(size)], ColumnWidthFor(table, {WidestBinarySize()})));
        table->setWordWrap(false);
        // Tab keeps going between the two file lists; the queue takes the focus by click.
        table->setFocusPolicy(Qt::ClickFocus);
        connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint& at) {
            showMenu(table->viewport()->mapToGlobal(at));
        });
        tables_[i] = table;
        tabs_->addTab(table, QString());
    }
    totals_ = new QLabel(this);
    totals_->setObjectName("lbQueueTotals");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_, 1);
    layout->addWidget(totals_);
    // Its texts show data and counts (the tabs too), not fixed texts a language file could give.
    for (QObject* data : std::initializer_list<QObject*>{this, tabs_, totals_, tables_[0], tables_[1], tables_[2]})
        KeepUntranslated(data);
    subscription_ = queue_.subscribe([this](const QueueChange& change) { queueChanged(change); });
    timer_.setInterval(kRepaintMs);
    connect(&timer_, &QTimer::timeout, this, [this] { repaint(); });
    timer_.start();
    repaint();
}

QueuePaneWidget::~QueuePaneWidget()
{
    queue_.unsubscribe(subscription_);
}

void QueuePaneWidget::queueChanged(const QueueChange& change)
{
    if (change.kind == QueueChange::Kind::Item) {
        changed_.insert(change.id);
        return;
    }
    changed_.clear();
    for (QueueTableModel* model : models_)
        model->rowsChanged();
}

// Progress and rates of the items that reported, the tabs' counts and the totals.
void QueuePaneWidget::repaint()
{
    for (uint64_t id : changed_)
        models_[size_t(QueueView::Queued)]->itemChanged(id);
    changed_.clear();
    for (size_t i = 0; i < models_.size(); ++i)
        tabs_->setTabText(int(i), toQt(pane_.tabCaption(QueueView(i))));
    totals_->setText(toQt(pane_.totalsText()));
}

QueueView QueuePaneWidget::shownView() const
{
    return QueueView(std::max(0, tabs_->currentIndex()));
}

std::vector<size_t> QueuePaneWidget::selectedRows() const
{
    std::vector<size_t> rows;
    for (const QModelIndex& index : table(shownView())->selectionModel()->selectedRows())
        rows.push_back(size_t(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void QueuePaneWidget::run(QueueCommand command)
{
    pane_.run(command, shownView(), selectedRows());
    repaint();
}

void QueuePaneWidget::showMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName("pmQueue");
    const QueueView view = shownView();
    const std::vector<size_t> rows = selectedRows();
    for (size_t i = 0; i < QueuePane::kCommands.size(); ++i) {
        QAction* entry = menu.addAction(QueuePane::kCommands[i]);
        entry->setEnabled(pane_.enabled(QueueCommand(i), view, rows));
        connect(entry, &QAction::triggered, this, [this, i] { run(QueueCommand(i)); });
        if (i == 1 || i == 4)
            menu.addSeparator();
    }
    menu.exec(at);
}

} // namespace brisk
