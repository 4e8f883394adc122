#include "ui/progress_window.h"

#include "i18n/window_messages.h"
#include "platform/ticks.h"
#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace brisk {

namespace {

constexpr int kLastFrame = 20;

// A small monitor (the local computer) or a tower (the server) as the ends of the strip.
void paintComputer(QPainter& p, const QRectF& box, const QPalette& palette)
{
    p.setPen(QPen(palette.color(QPalette::WindowText), 1.2));
    p.setBrush(palette.color(QPalette::Base));
    const QRectF screen(box.left(), box.top(), box.width(), box.height() * 0.7);
    p.drawRoundedRect(screen, 2, 2);
    p.drawLine(QPointF(box.center().x(), screen.bottom()), QPointF(box.center().x(), box.bottom() - 1));
    p.drawLine(QPointF(box.left() + box.width() * 0.25, box.bottom() - 1),
               QPointF(box.right() - box.width() * 0.25, box.bottom() - 1));
}

void paintServer(QPainter& p, const QRectF& box, const QPalette& palette)
{
    p.setPen(QPen(palette.color(QPalette::WindowText), 1.2));
    p.setBrush(palette.color(QPalette::Base));
    const QRectF tower(box.center().x() - box.width() * 0.35, box.top(), box.width() * 0.7, box.height());
    p.drawRoundedRect(tower, 2, 2);
    for (int i = 1; i <= 3; ++i) {
        const qreal y = tower.top() + tower.height() * i / 5.0;
        p.drawLine(QPointF(tower.left() + 3, y), QPointF(tower.right() - 3, y));
    }
}

} // namespace

TransferAnimation::TransferAnimation(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(200, 36);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TransferAnimation::setFrame(int frame, bool sending)
{
    frame = std::clamp(frame, 0, kLastFrame);
    if (frame == frame_ && sending == sending_)
        return;
    frame_ = frame;
    sending_ = sending;
    update();
}

void TransferAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const qreal h = height();
    const qreal end = h * 0.9;   // the width of each end picture
    paintComputer(p, QRectF(1, h * 0.1, end, h * 0.8), pal);
    paintServer(p, QRectF(width() - end - 1, h * 0.05, end, h * 0.9), pal);

    // The strip between them, with an arrow head pointing the way the data goes.
    const qreal left = end + 8;
    const qreal right = width() - end - 8;
    const qreal mid = h / 2;
    p.setPen(QPen(pal.color(QPalette::Mid), 2, Qt::DashLine));
    p.drawLine(QPointF(left, mid), QPointF(right, mid));
    const qreal tip = sending_ ? right : left;
    const qreal back = sending_ ? right - 7 : left + 7;
    QPainterPath head;
    head.moveTo(tip, mid);
    head.lineTo(back, mid - 5);
    head.lineTo(back, mid + 5);
    head.closeSubpath();
    p.fillPath(head, pal.color(QPalette::Mid));

    // The disc at the frame's position.
    const qreal radius = std::min<qreal>(h * 0.22, 8);
    const qreal x = left + radius + (right - left - 2 * radius) * frame_ / kLastFrame;
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Highlight));
    p.drawEllipse(QPointF(x, mid), radius, radius);
}

// A group of three figures, each a caption ("<name>Caption") and its value label.
QGroupBox* TProgress::figureGroup(const char* objectName, const QString& title, std::initializer_list<Figure> figures)
{
    auto* group = new QGroupBox(title, this);
    group->setObjectName(objectName);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (const Figure& figure : figures) {
        auto* caption = new QLabel(figure.caption, this);
        caption->setObjectName(QString(figure.name) + "Caption");
        grid->addWidget(caption, row, 0);
        grid->addWidget(*figure.value = valueLabel(figure.name), row++, 1);
    }
    grid->setColumnStretch(1, 1);
    return group;
}

TProgress::TProgress(std::function<void()> onCancel, QWidget* parent, std::vector<std::string> messages,
                     std::function<uint64_t()> nowMs)
    : QDialog(parent),
      figures_(messages.empty() ? ProgressMessagesEnglish() : std::move(messages),
               nowMs ? std::move(nowMs) : std::function<uint64_t()>(tickCount)),
      onCancel_(std::move(onCancel))
{
    setObjectName("TProgress");
    setModal(false);
    // Shown beside the main window, which keeps the keyboard: Escape there still stops.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* gbThisFile = figureGroup("gbThisFile", "This File",
                                   {{"lbFileTransferred", "Transferred:", &lbFileTransferred_},
                                    {"lbFileTime", "Time:", &lbFileTime_},
                                    {"lbFileTimeLeft", "Time Left:", &lbFileTimeLeft_}});
    auto* gbAllFiles = figureGroup("gbAllFiles", "All Files",
                                   {{"lbAllTransferred", "Transferred:", &lbAllTransferred_},
                                    {"lbAllTime", "Time:", &lbAllTime_},
                                    {"lbTransferRate", "Transfer Rate:", &lbAllRate_}});

    anTransfer_ = new TransferAnimation(this);
    anTransfer_->setObjectName("anTransfer");
    pbFile_ = new QProgressBar(this);
    pbFile_->setObjectName("pbFile");
    pbFile_->setRange(0, kBarSteps);
    pbFile_->setValue(0);
    pbFile_->setTextVisible(false);
    btCancel_ = new QPushButton("Cancel", this);
    btCancel_->setObjectName("btCancel");
    btCancel_->setAutoDefault(false);
    connect(btCancel_, &QPushButton::clicked, this, [this] {
        if (onCancel_)
            onCancel_();
    });

    auto* groups = new QHBoxLayout;
    groups->addWidget(gbThisFile, 1);
    groups->addWidget(gbAllFiles, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pbFile_, 1);
    bottom->addWidget(btCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(anTransfer_);
    layout->addLayout(groups);
    layout->addLayout(bottom);
    setMinimumWidth(460);
    ApplyLanguage(*this, "TProgress", {{"msl", &figures_.messages()}});

    repaintTimer_.setInterval(kRepaintMs);
    connect(&repaintTimer_, &QTimer::timeout, this, &TProgress::refreshFigures);
}

QLabel* TProgress::valueLabel(const char* objectName)
{
    auto* label = new QLabel(this);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the longest figures, so the window does not change its size while they grow.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("0000000000000 K/sec"));
    return label;
}

void TProgress::openFigures()
{
    figures_.open();
    if (!isVisible()) {
        shownRevision_ = ~0ull;
        refreshFigures();
        giveBackTo_ = QApplication::activeWindow();
        show();
        // Only the activation that comes with showing is undone, not a later click of the user.
        QTimer::singleShot(500, this, [this] { giveBackTo_ = nullptr; });
    }
    repaintTimer_.start();
}

void TProgress::closeFigures()
{
    figures_.close();
    repaintTimer_.stop();
    hide();
}

int TProgress::BarValue(int64_t position, int64_t maximum)
{
    if (maximum <= 0 || position <= 0)
        return 0;
    if (position >= maximum)
        return kBarSteps;
    // position * steps may not fit 64 bits; long double keeps the ratio precise enough.
    return int(static_cast<long double>(position) * kBarSteps / static_cast<long double>(maximum));
}

void TProgress::refreshFigures()
{
    if (figures_.revision() == shownRevision_)
        return;
    shownRevision_ = figures_.revision();
    ++repaints_;
    const std::string& caption = figures_.caption();
    setWindowTitle(caption.empty() ? QStringLiteral("Brisklane") : toQt(caption));
    lbFileTransferred_->setText(toQt(figures_.fileTransferred()));
    lbFileTime_->setText(toQt(figures_.fileTime()).trimmed());
    lbFileTimeLeft_->setText(toQt(figures_.timeLeft()).trimmed());
    lbAllTransferred_->setText(toQt(figures_.allTransferred()));
    lbAllTime_->setText(toQt(figures_.allTime()).trimmed());
    lbAllRate_->setText(toQt(figures_.rateText()));
    pbFile_->setValue(BarValue(figures_.barPosition(), figures_.barMaximum()));
    anTransfer_->setFrame(figures_.frame(), sending_);
}

// Escape in the window is Cancel, as is closing it: the window goes when the transfer has ended.
void TProgress::reject()
{
    if (onCancel_)
        onCancel_();
}

bool TProgress::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && giveBackTo_ && giveBackTo_ != this) {
        QWidget* previous = giveBackTo_;
        giveBackTo_ = nullptr;
        previous->activateWindow();
    }
    return QDialog::event(event);
}

void TProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace brisk
