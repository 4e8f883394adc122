#pragma once
#include "session/queue_pane.h"

#include <QAbstractTableModel>
#include <QTimer>
#include <QWidget>

#include <array>
#include <unordered_set>

class QLabel;
class QTabWidget;
class QTableView;

namespace brisk {

// One tab of the queue pane: the rows of one view of the queue, the cells as the pane model
// words them.
class QueueTableModel : public QAbstractTableModel {
public:
    QueueTableModel(QueuePane& pane, const TransferQueue& queue, QueueView view, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QueueView view() const { return view_; }
    void rowsChanged();
    void itemChanged(uint64_t id);

private:
    QueuePane& pane_;
    const TransferQueue& queue_;
    QueueView view_;
};

// The transfer queue under the panels: tabs for queued, failed and successful items with their
// counts, the totals line and the right-click menu. Rows follow the queue at once; progress and
// rates are repainted a few times a second, however often the connections report.
class QueuePaneWidget : public QWidget {
public:
    static constexpr int kRepaintMs = 250;

    QueuePaneWidget(QueuePane& pane, TransferQueue& queue, QWidget* parent = nullptr);
    ~QueuePaneWidget() override;

    QTableView* table(QueueView view) const { return tables_[size_t(view)]; }
    // The selected rows of the tab shown, and that tab's view.
    QueueView shownView() const;
    std::vector<size_t> selectedRows() const;
    // Runs a command of the right-click menu on the tab shown, as the menu does.
    void run(QueueCommand command);

private:
    void queueChanged(const QueueChange& change);
    void repaint();
    void showMenu(const QPoint& at);

    QueuePane& pane_;
    TransferQueue& queue_;
    size_t subscription_ = 0;
    QTabWidget* tabs_ = nullptr;
    QLabel* totals_ = nullptr;
    std::array<QTableView*, 3> tables_{};
    std::array<QueueTableModel*, 3> models_{};
    std::unordered_set<uint64_t> changed_;
    QTimer timer_;
};

} // namespace brisk
