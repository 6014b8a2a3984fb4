#include "browse/windows/find_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "browse/browse_views.h"
#include "browse/windows/browse_link.h"
#include "common/dates.h"
#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/config/settings.h"
#include "tables/services/library_services.h"

namespace pm {

namespace {

QDate qdateOf(LONG day) {
    const CalendarDate d = calendarDate(day);
    return d.year == 0 ? QDate() : QDate(d.year, d.month, d.day);
}

LONG dayOf(const QDate& date) { return date.isValid() ? dayNumber(date.year(), date.month(), date.day()) : 0; }

QGroupBox* group(const QString& title, std::initializer_list<QWidget*> widgets) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    for (QWidget* w : widgets) layout->addWidget(w);
    return box;
}

}  // namespace

FindWindow::FindWindow(QWidget* parent) : QWidget(parent) {
    tables_ = std::make_unique<BrowseTables>(Mem.ForumType);
    const bool mail = Mem.ForumType == TypeMail;
    setWindowTitle(QStringLiteral(" Standard Search"));
    setProperty("helpTopic", QStringLiteral("~Standard_Search"));
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });

    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("text"));
    text_->setMaxLength(static_cast<int>(FindTextLimit));
    next_ = new QPushButton(QStringLiteral("&Next"));
    next_->setToolTip(QStringLiteral("Find next occurance of text"));
    next_->setDefault(true);
    options_ = new QPushButton(QStringLiteral("&Options"));
    options_->setToolTip(QStringLiteral("Show search options"));
    options_->setCheckable(true);
    auto* top = new QHBoxLayout;
    top->addWidget(text_, 1);
    top->addWidget(next_);
    top->addWidget(options_);

    both_ = new QRadioButton(mail ? QStringLiteral(" Mail text/Mail subject") : QStringLiteral(" Msgtext/Thread subject"));
    headingOnly_ = new QRadioButton(mail ? QStringLiteral(" Mail subject only") : QStringLiteral(" Thread subject only"));
    newest_ = new QRadioButton(mail ? QStringLiteral(" Newest mail") : QStringLiteral(" Newest msg"));
    oldest_ = new QRadioButton(mail ? QStringLiteral(" Oldest mail") : QStringLiteral(" Oldest msg"));
    for (auto [a, b] : {std::pair{both_, headingOnly_}, {newest_, oldest_}}) {
        auto* buttons = new QButtonGroup(this);
        buttons->addButton(a);
        buttons->addButton(b);
    }
    case_ = new QCheckBox(QStringLiteral("Text with matching character case only"));
    word_ = new QCheckBox(QStringLiteral("Matching words only"));
    from_ = new QDateEdit;
    to_ = new QDateEdit;
    for (QDateEdit* d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setMinimumDate(QDate(1801, 1, 1));
    }
    auto* dates = new QFormLayout;
    dates->addRow(QStringLiteral("From:"), from_);
    dates->addRow(QStringLiteral("To:"), to_);
    auto* dateBox = new QGroupBox(QStringLiteral("Date range"));
    dateBox->setLayout(dates);
    panel_ = new QWidget;
    panel_->setObjectName(QStringLiteral("options"));
    auto* grid = new QHBoxLayout(panel_);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    left->addWidget(group(QStringLiteral("Search in"), {both_, headingOnly_}));
    left->addWidget(group(QStringLiteral("Start at"), {newest_, oldest_}));
    auto* right = new QVBoxLayout;
    right->addWidget(group(QStringLiteral("Case"), {case_}));
    right->addWidget(group(QStringLiteral("Word"), {word_}));
    right->addWidget(dateBox);
    grid->addLayout(left);
    grid->addLayout(right);
    panel_->hide();

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(panel_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addStretch();
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    FindOptions defaults;
    defaults.fromDate = firstMessageDate();
    defaults.toDate = today();
    setFindOptions(defaults);

    connect(next_, &QPushButton::clicked, this, [this] { findNext(); });
    connect(text_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(options_, &QPushButton::toggled, this, [this](bool on) {
        panel_->setVisible(on);
        // In the frame the window sits in a sub-window: that one grows too.
        QWidget* host = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
        host->adjustSize();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(host); sub && sub->mdiArea()) {
            const int room = sub->mdiArea()->viewport()->height();
            if (sub->geometry().bottom() > room) sub->move(sub->x(), std::max(0, room - sub->height()));
        }
    });
    // A changed search starts where the browse stands.
    connect(text_, &QLineEdit::textEdited, this, [this] { wrap_ = false, found_ = 0; });
    // The keyboard works at once when the window opens.
    setFocusProxy(text_);
    adjustSize();
}

FindWindow::~FindWindow() {
    timer_->stop();
    job_.reset();
    tables_.reset();
}

QString FindWindow::windowName() const {
    return Mem.ForumType == TypeMail ? QStringLiteral("MailFind") : QStringLiteral("FindText");
}

FindOptions FindWindow::findOptions() const {
    FindOptions o;
    o.text = text_->text().toStdString();
    o.where = headingOnly_->isChecked() ? FindHeadingOnly : FindTextAndHeading;
    o.direction = oldest_->isChecked() ? FindBackward : FindForward;
    o.matchCase = case_->isChecked();
    o.wordsOnly = word_->isChecked();
    o.fromDate = dayOf(from_->date());
    o.toDate = dayOf(to_->date());
    return o;
}

void FindWindow::setFindOptions(const FindOptions& o) {
    text_->setText(QString::fromStdString(o.text));
    (o.where == FindHeadingOnly ? headingOnly_ : both_)->setChecked(true);
    (o.direction == FindBackward ? oldest_ : newest_)->setChecked(true);
    case_->setChecked(o.matchCase);
    word_->setChecked(o.wordsOnly);
    from_->setDate(o.fromDate != 0 ? qdateOf(o.fromDate) : from_->minimumDate());
    to_->setDate(o.toDate != 0 ? qdateOf(o.toDate) : qdateOf(today()));
}

ULONG FindWindow::browseMessage() const {
    return Mem.ForumType == TypeMail ? readMailContext().XMAILID : readContext().XMSGID;
}

bool FindWindow::running() const { return job_ && job_->status() == JobStatus::Running; }

bool FindWindow::findNext() {
    if (running()) return false;
    const FindOptions options = findOptions();
    if (options.text.empty()) {
        beep();
        status_->setText(QStringLiteral("Type the text to look for."));
        return false;
    }
    // From the browse's message; when the browse did not move to the last
    // find (it does not show it), from that find; after the end, unless the
    // browse moved since, from the view's first message.
    const ULONG current = browseMessage();
    ULONG start = current;
    if (wrap_ && current == endAt_) start = 0;
    else if (found_ != 0 && current == startedAt_) start = found_;
    startedAt_ = current;
    wrap_ = false;
    found_ = 0;
    match_ = FindMatch::None;
    const KeyRange range =
        Mem.ForumType == TypeMail ? mailViewRange(readMailContext()) : messageViewRange(readContext());
    job_ = std::make_unique<TextFind>(options, range, start, SpeedVal(SpeedFindText));
    publishFoundText({});
    postFrameEvent(EventFindStarted);
    status_->setText(QStringLiteral("Searching ..."));
    progress_->setValue(0);
    next_->setEnabled(false);
    timer_->start();
    return true;
}

void FindWindow::tick() {
    if (!job_) return;
    job_->step();
    const int percent = job_->report().percent;
    progress_->setValue(percent < 0 ? 0 : percent);
    if (!job_->finished()) return;
    timer_->stop();
    ended();
}

void FindWindow::ended() {
    next_->setEnabled(true);
    if (job_->status() != JobStatus::Done) {
        status_->setText(QStringLiteral("The search stopped."));
        return;
    }
    if (job_->endReached()) {
        progress_->setValue(100);
        status_->setText(QStringLiteral("End of file: \"Next\" starts over."));
        wrap_ = true;
        endAt_ = browseMessage();
        announceFindEnd(job_->seconds());
        postFrameEvent(EventFindEndReached);
        return;
    }
    found_ = job_->found();
    match_ = job_->match();
    const QString where = match_ == FindMatch::Heading ? QStringLiteral("subject") : QStringLiteral("text");
    status_->setText(QStringLiteral("Found in the %1 of %2 %3")
                         .arg(where, Mem.ForumType == TypeMail ? QStringLiteral("mail") : QStringLiteral("message"))
                         .arg(found_));
    const FindOptions options = findOptions();
    publishFoundText({options.text, found_, options.matchCase});
    postFrameEvent(match_ == FindMatch::Heading ? EventFoundInHeading : EventFoundInText);
}

void FindWindow::finish() {
    while (running()) tick();
}

void FindWindow::closeEvent(QCloseEvent* event) {
    if (running()) {
        job_->requestStop(StopRequest::Now);
        timer_->stop();
    }
    publishFoundText({});
    postFrameEvent(EventFindClosed);
    QWidget::closeEvent(event);
}

}  // namespace pm
