#include "frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "common/date_formats.h"
#include "common/date_pictures.h"
#include "common/dates.h"
#include "common/globals.h"
#include "frame/frame_settings.h"
#include "frame/help_viewer.h"
#include "frame/window_placement.h"
#include "tables/services/library_services.h"

namespace pm::frame {

namespace {

MainFrame* current = nullptr;

// The frame's icon: a letter on an envelope, drawn so no file is needed.
QIcon frameIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xF2, 0xE6, 0xC8));
    p.setPen(QPen(QColor(0x55, 0x44, 0x22), 2));
    p.drawRect(3, 8, 26, 18);
    p.drawLine(3, 8, 16, 19);
    p.drawLine(29, 8, 16, 19);
    p.setPen(QColor(0x80, 0x00, 0x00));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRect(3, 12, 26, 14), Qt::AlignCenter | Qt::AlignBottom, QStringLiteral("P"));
    return QIcon(pixmap);
}

}  // namespace

MainFrame::MainFrame(FrameSettings& settings, bool firstStart, QWidget* parent)
    : QMainWindow(parent), settings_(settings), firstStart_(firstStart) {
    current = this;
    setObjectName(QStringLiteral("MainFrame"));
    setProperty("helpTopic", QStringLiteral("~Postmoor_main_window"));
    area_ = new QMdiArea;
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setBackground(QColor(0x8C, 0x9B, 0xA8));
    setCentralWidget(area_);
    windows_ = std::make_unique<WindowManager>(area_);
    connect(windows_.get(), &WindowManager::windowOpened, this, &MainFrame::onWindowOpened);
    connect(windows_.get(), &WindowManager::windowClosed, this, &MainFrame::onWindowClosed);
    connect(area_, &QMdiArea::subWindowActivated, this, [this] { updateNavigation(); });

    registerProgramWindows(factories_);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    registerWindowServices();
    pm::setFrameEventSink([this](int code) { postFrameEvent(code); });
    qApp->installEventFilter(this);  // tool tips everywhere follow the preference
    setWindowTitle(QString(ProgramTitle) + NoActiveDatabase);
    setWindowIcon(frameIcon());
    QApplication::setWindowIcon(frameIcon());  // the child windows show it too
    resize(1000, 700);
}

MainFrame::~MainFrame() {
    // The child windows go first, while the frame they report to is whole.
    disconnect(area_, nullptr, this, nullptr);
    windows_->disconnect(this);
    qDeleteAll(area_->subWindowList());
    pm::setFrameEventSink({});
    for (const WindowEntry& w : windowTable())
        if (w.serviceCode != 0) registerService(w.serviceCode, {});
    if (help_) delete help_;
    if (current == this) current = nullptr;
}

MainFrame* MainFrame::instance() { return current; }

void MainFrame::start() {
    // A place saved on a larger (or less scaled) screen is brought onto this
    // one; so is the size the frame has before it is maximized.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    WindowPlace place;
    if (settings_.value(ItemSavedFramePlace) != 0 && settings_.place(SlotFrame, place)) {
        const QRect saved(place.left, place.top, place.width, place.height);
        setGeometry(screen.isValid() ? placeInside(saved, minimumSizeHint(), screen) : saved);
        show();
        keepOnScreen(this);  // now that its frame is known
    } else {
        if (screen.isValid()) setGeometry(placeInside(geometry(), minimumSizeHint(), screen));
        showMaximized();
    }
    setWindowIcon(frameIcon());
    // Roomy layouts from 450 x 260 dialog units on (a dialog unit is a
    // quarter of the average character width, an eighth of its height).
    const QFontMetrics metrics(font());
    const int unitsWide = width() * 4 / std::max(1, metrics.averageCharWidth());
    const int unitsHigh = height() * 8 / std::max(1, metrics.height());
    Mem.ScrRes = (unitsWide >= 450 || unitsHigh >= 260) ? 1 : 0;
    readStatusFormats();
    refreshStatusClock();
    clock_->start(1000);
    refreshFromActiveDatabase();
    lowerBusyCounter();
    SemaFore(ServiceInstallTaskCheck);
}

void MainFrame::buildStatusBar() {
    dateLabel_ = new QLabel;
    timeLabel_ = new QLabel;
    dateLabel_->setMinimumWidth(90);
    timeLabel_->setMinimumWidth(70);
    dateLabel_->setAlignment(Qt::AlignCenter);
    timeLabel_->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(dateLabel_);
    statusBar()->addPermanentWidget(timeLabel_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, [this] {
        refreshStatusClock();
        updateNavigation();
    });
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTipsHidden_) return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::readStatusFormats() {
    toolTipsHidden_ = settings_.value(ItemToolTips) == 2;
    std::string description, picture;
    SetDate(settings_.value(ItemDateFormat), description, picture);
    datePicture_ = QString::fromStdString(picture);
    SetTime(settings_.value(ItemTimeFormat), description, picture);
    timePicture_ = QString::fromStdString(picture);
}

void MainFrame::refreshStatusClock() {
    const DateTime moment = now();
    dateLabel_->setText(QString::fromStdString(formatDate(moment.date, datePicture_.toStdString())));
    timeLabel_->setText(QString::fromStdString(formatTime(moment.time, timePicture_.toStdString())));
}

QString MainFrame::statusDate() const { return dateLabel_->text(); }
QString MainFrame::statusTime() const { return timeLabel_->text(); }

void MainFrame::setTitleSuffix(const QString& suffix) {
    suffix_ = suffix;
    setWindowTitle(QString(ProgramTitle) + suffix);
}

bool MainFrame::hasActiveDatabase() const { return Mem.ForumNumber != 0; }

void MainFrame::postFrameEvent(int code) { QCoreApplication::postEvent(this, new FramePostedEvent(code)); }

}  // namespace pm::frame
