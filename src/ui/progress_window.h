#pragma once
#include "session/progress_figures.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace brisk {

// The moving picture of the progress window: a strip of 21 positions (0..20) between the local
// computer on the left and the server on the right; a disc sits at the model's frame, so it runs
// to the right while sending and to the left while receiving.
class TransferAnimation : public QWidget {
    Q_OBJECT
public:
    explicit TransferAnimation(QWidget* parent = nullptr);

    void setFrame(int frame, bool sending);
    int frame() const { return frame_; }
    QSize sizeHint() const override { return {260, 40}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int frame_ = 0;
    bool sending_ = true;
    // The window that had the keyboard when this one was shown; it gets it back should the
    // platform activate this window anyway.
    QPointer<QWidget> giveBackTo_;
};

// The progress window over ProgressFigures. Its sink() is the ProgressSink the transfer chain
// feeds: open() shows the window (without taking the focus from the main window), close() hides
// it, and update() only feeds the model. A timer repaints it at most every 100 ms, and only when
// the model's revision changed, so a flood of progress events costs no painting.
class TProgress : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRepaintMs = 100;
    // The bar's range; 64-bit sizes are scaled to it.
    static constexpr int kBarSteps = 10000;

    // `onCancel`: what the Cancel button (and Escape, and closing the window) asks for: Stop.
    explicit TProgress(std::function<void()> onCancel, QWidget* parent = nullptr,
                       std::vector<std::string> messages = {},
                       std::function<uint64_t()> nowMs = {});

    ProgressSink& sink() { return sink_; }
    const ProgressFigures& figures() const { return figures_; }
    // How often the figures were put on the widgets (for tests of the throttling).
    uint64_t repaints() const { return repaints_; }
    // Puts the figures on the widgets now when the model changed since the last time.
    void refreshFigures();

    // A 64-bit position on a bar of kBarSteps steps.
    static int BarValue(int64_t position, int64_t maximum);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // What the chain calls, passed on to the window.
    class Sink : public ProgressSink {
    public:
        explicit Sink(TProgress& window) : window_(window) {}
        void open() override { window_.openFigures(); }
        void startFile(const std::string& name, int64_t size, bool sending) override
        {
            window_.sending_ = sending;
            window_.figures_.startFile(name, size, sending);
        }
        void update(int64_t count) override { window_.figures_.update(count); }
        void endFile() override { window_.figures_.endFile(); }
        void close() override { window_.closeFigures(); }

    private:
        TProgress& window_;
    };

    void openFigures();
    void closeFigures();
    QLabel* valueLabel(const char* objectName);
    struct Figure {
        const char* name;
        const char* caption;
        QLabel** value;
    };
    QGroupBox* figureGroup(const char* objectName, const QString& title, std::initializer_list<Figure> figures);

    ProgressFigures figures_;
    Sink sink_{*this};
    bool sending_ = true;
    // The window that had the keyboard when this one was shown; it gets it back should the
    // platform activate this window anyway.
    QPointer<QWidget> giveBackTo_;
    std::function<void()> onCancel_;
    QTimer repaintTimer_;
    uint64_t shownRevision_ = ~0ull;
    uint64_t repaints_ = 0;

    QLabel* lbFileTransferred_ = nullptr;
    QLabel* lbFileTime_ = nullptr;
    QLabel* lbFileTimeLeft_ = nullptr;
    QLabel* lbAllTransferred_ = nullptr;
    QLabel* lbAllTime_ = nullptr;
    QLabel* lbAllRate_ = nullptr;
    QProgressBar* pbFile_ = nullptr;
    TransferAnimation* anTransfer_ = nullptr;
    QPushButton* btCancel_ = nullptr;
};

} // namespace brisk
