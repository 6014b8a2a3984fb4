#include "sets/windows/set_operations_window.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "browse/browse_context.h"
#include "common/dates.h"
#include "common/globals.h"
#include "common/windows/job_progress_window.h"
#include "frame/windows/child_window.h"
#include "sets/set_classify.h"
#include "sets/windows/page_printer.h"

namespace pm {

namespace {

struct OperationChoice {
    SetOperation operation;
    const char* text;
};
constexpr OperationChoice kOperations[] = {
    {SetOperation::ExportNew, "Export to new files"},
    {SetOperation::ExportAppend, "Export appending to the files"},
    {SetOperation::Print, "Print"},
    {SetOperation::AttachTopic, "Attach topic"},
    {SetOperation::RemoveTopic, "Remove topic"},
    {SetOperation::StatusNormal, "Recode status Normal"},
    {SetOperation::StatusKeep, "Recode status Keep"},
    {SetOperation::StatusDelete, "Recode status Delete"},
};

constexpr SetScope kScopes[] = {SetScope::Sender, SetScope::Receiver, SetScope::Thread, SetScope::Section,
                                SetScope::Date,   SetScope::Word,     SetScope::Topic,  SetScope::Search};

LONG dayOf(const QDate& date) { return date.isValid() ? dayNumber(date.year(), date.month(), date.day()) : 0; }

bool isExport(SetOperation op) { return op == SetOperation::ExportNew || op == SetOperation::ExportAppend; }
bool isClassify(SetOperation op) { return op == SetOperation::AttachTopic || op == SetOperation::RemoveTopic; }

SetOperation& preset() {
    static SetOperation operation = SetOperation::ExportNew;
    return operation;
}

}  // namespace

void SetOperationsWindow::presetOperation(SetOperation operation) { preset() = operation; }
SetOperation SetOperationsWindow::presetOperationValue() { return preset(); }

std::unique_ptr<MessagePrinter> dialogPrinter(QWidget* parent) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QObject::tr("Print Messages"));
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return std::make_unique<PagePrinter>(std::move(printer));
}

SetOperationsWindow::SetOperationsWindow(SetOperation operation, QWidget* parent)
    : QWidget(parent), type_(Mem.ForumType), printerFactory_(dialogPrinter) {
    setWindowTitle(tr("Export, Print and Classify Messages"));
    setProperty("helpTopic", QStringLiteral("~Export_Print_Classify"));
    if (type_ == TypeMail) {
        const MailBrowseContext c = readMailContext();
        origin_ = {c.XMAILID, c.XSINDEXID, c.XTOPICSID};
    } else {
        const BrowseContext c = readContext();
        origin_ = {c.XMSGID, c.XSINDEXID, c.XTOPICSID};
    }
    buildLayout();
    setOperation(operation);
}

SetOperationsWindow::~SetOperationsWindow() = default;

void SetOperationsWindow::buildLayout() {
    // The choices scroll when the frame's area is smaller than they need;
    // the buttons below them stay in view.
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    layout->addWidget(title_);
    current_ = new QLabel(tr("Current %1: %2").arg(type_ == TypeMail ? tr("mail") : tr("message")).arg(origin_.current),
                          this);
    layout->addWidget(current_);

    auto* choices = new QVBoxLayout;
    auto* opBox = new QGroupBox(tr("Operation"), this);
    // Two columns each: export and print, topics and statuses.
    auto* opLayout = new QGridLayout(opBox);
    operations_ = new QButtonGroup(this);
    int at = 0;
    for (const OperationChoice& o : kOperations) {
        auto* b = new QRadioButton(tr(o.text), opBox);
        operations_->addButton(b, static_cast<int>(o.operation));
        opLayout->addWidget(b, at % 4, at / 4);
        ++at;
    }
    choices->addWidget(opBox);

    auto* scopeBox = new QGroupBox(tr("Messages related to the current"), this);
    auto* scopeLayout = new QGridLayout(scopeBox);
    scopes_ = new QButtonGroup(this);
    at = 0;
    for (SetScope s : kScopes) {
        if (!setScopeOffered(s, type_)) continue;
        auto* b = new QRadioButton(QString::fromStdString(setScopeCaption(s, type_)), scopeBox);
        scopes_->addButton(b, static_cast<int>(s));
        scopeLayout->addWidget(b, at % 4, at / 4);
        ++at;
        // A set of a key word or topic needs the browse to have chosen one.
        if (s == SetScope::Word) b->setEnabled(origin_.word != 0);
        if (s == SetScope::Topic) b->setEnabled(origin_.topic != 0);
    }
    if (QAbstractButton* thread = scopes_->button(static_cast<int>(SetScope::Thread))) thread->setChecked(true);
    choices->addWidget(scopeBox);
    layout->addLayout(choices);

    auto* dates = new QHBoxLayout;
    dateFilter_ = new QCheckBox(tr("Date range filter"), this);
    fromDate_ = new QDateEdit(this);
    toDate_ = new QDateEdit(this);
    // The range starts as the current message's day.
    QDate day = QDate::currentDate();
    if (OutputMessage m; readOutputMessage(origin_.current, m)) {
        const CalendarDate d = calendarDate(m.date);
        if (d.year != 0) day = QDate(d.year, d.month, d.day);
    }
    for (QDateEdit* e : {fromDate_, toDate_}) {
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        e->setDate(day);
        e->setEnabled(false);
    }
    dates->addWidget(dateFilter_);
    dates->addWidget(new QLabel(tr("From:"), this));
    dates->addWidget(fromDate_);
    dates->addWidget(new QLabel(tr("To:"), this));
    dates->addWidget(toDate_);
    dates->addStretch();
    layout->addLayout(dates);
    connect(dateFilter_, &QCheckBox::toggled, this, [this](bool on) {
        fromDate_->setEnabled(on);
        toDate_->setEnabled(on);
    });

    exportBox_ = new QGroupBox(tr("Export"), this);
    auto* form = new QFormLayout(exportBox_);
    layout_ = new QComboBox(exportBox_);
    for (OutputLayout l : offeredLayouts(type_))
        layout_->addItem(QString::fromUtf8(outputLayoutName(l)), static_cast<int>(l));
    layout_->setCurrentIndex(layout_->findData(static_cast<int>(configuredLayout(type_))));
    firstFile_ = new QLineEdit(exportBox_);
    secondFile_ = new QLineEdit(exportBox_);
    for (QLineEdit* e : {firstFile_, secondFile_}) e->setMaxLength(40);
    form->addRow(tr("Layout:"), layout_);
    firstLabel_ = new QLabel(tr("File:"), exportBox_);
    form->addRow(firstLabel_, firstFile_);
    secondLabel_ = new QLabel(tr("Sent mail file:"), exportBox_);
    form->addRow(secondLabel_, secondFile_);
    form->addRow(new QLabel(tr("The files are written to %1").arg(QString::fromStdString(Mem.TempDir)), exportBox_));
    layout->addWidget(exportBox_);
    connect(layout_, &QComboBox::currentIndexChanged, this, &SetOperationsWindow::chooseLayout);
    chooseLayout(layout_->currentIndex());

    topicGroup_ = new QGroupBox(tr("Topic"), this);
    auto* topicLayout = new QHBoxLayout(topicGroup_);
    topic_ = new QComboBox(topicGroup_);
    topic_->addItem(QString(), 0U);
    for (const TopicChoice& t : topicChoices()) topic_->addItem(QString::fromStdString(t.name), t.id);
    topicLayout->addWidget(topic_, 1);
    layout->addWidget(topicGroup_);

    progressArea_ = new QVBoxLayout;
    layout->addLayout(progressArea_);
    status_ = new QLabel(this);
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(tr("&Start"), this);
    end_ = new QPushButton(tr("End this session"), this);
    start_->setAutoDefault(true);
    end_->setAutoDefault(true);
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(end_);
    layout->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll, 1);
    outer->addLayout(buttons);
    // Opens at the size that shows every choice; the frame bounds it to
    // its area, and the scroll bars make up the rest.
    const QMargins m = outer->contentsMargins();
    const QSize natural = content->sizeHint();
    // Room for the vertical scroll bar keeps a bounded height from
    // bringing a horizontal one too.
    resize(natural.width() + scroll->verticalScrollBar()->sizeHint().width() + m.left() + m.right(),
           natural.height() + outer->spacing() + buttons->sizeHint().height() + m.top() + m.bottom());
    setFocusProxy(start_);
    connect(start_, &QPushButton::clicked, this, &SetOperationsWindow::startRun);
    connect(end_, &QPushButton::clicked, this, [this] { frame::closeChildWindow(this); });
    connect(operations_, &QButtonGroup::idClicked, this, [this](int) { updateForOperation(); });
}

void SetOperationsWindow::chooseLayout(int index) {
    if (index < 0) return;
    const auto layout = static_cast<OutputLayout>(layout_->itemData(index).toInt());
    // The layout is the setting of the database's kind: the next export
    // and copy use it too.
    if (layout != configuredLayout(type_)) setConfiguredLayout(type_, layout);
    const OutputFiles names = offeredOutputFiles(type_, layout, Mem.Description);
    firstFile_->setText(QString::fromStdString(names.first));
    secondFile_->setText(QString::fromStdString(names.second));
    const bool two = twoFileLayout(type_, layout);
    secondFile_->setVisible(two);
    secondLabel_->setVisible(two);
    firstLabel_->setText(two ? tr("Received mail file:") : tr("File:"));
}

void SetOperationsWindow::setOperation(SetOperation operation) {
    if (QAbstractButton* b = operations_->button(static_cast<int>(operation))) b->setChecked(true);
    updateForOperation();
}

SetOperation SetOperationsWindow::operation() const { return static_cast<SetOperation>(operations_->checkedId()); }

void SetOperationsWindow::setScope(SetScope scope) {
    if (QAbstractButton* b = scopes_->button(static_cast<int>(scope))) b->setChecked(true);
}

SetScope SetOperationsWindow::scope() const { return static_cast<SetScope>(scopes_->checkedId()); }

void SetOperationsWindow::updateForOperation() {
    const SetOperation op = operation();
    title_->setText(QString::fromStdString(setOperationTitle(op)));
    exportBox_->setVisible(isExport(op));
    topicGroup_->setVisible(isClassify(op));
}

SetRequest SetOperationsWindow::request() const {
    SetRequest r;
    r.operation = operation();
    r.scope = scope();
    r.origin = origin_;
    r.dates.on = dateFilter_->isChecked();
    if (r.dates.on) {
        r.dates.from = dayOf(fromDate_->date());
        r.dates.to = dayOf(toDate_->date());
    }
    r.layout = static_cast<OutputLayout>(layout_->currentData().toInt());
    r.files = {firstFile_->text().toStdString(), secondFile_->text().toStdString()};
    r.topic = topic_->currentData().toUInt();
    return r;
}

void SetOperationsWindow::startRun() {
    if (progress_ && progress_->running()) return;
    SetRequest r = request();
    if (r.operation == SetOperation::Print) {
        printer_ = printerFactory_ ? printerFactory_(this) : nullptr;
        if (!printer_) return;
        r.printer = printer_.get();
    }
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
    }
    auto job = std::make_unique<SetOperationJob>(r);
    SetOperationJob* run = job.get();
    progress_ = new JobProgressWindow(std::move(job), this);
    progress_->setCounterLabel("messages", tr("Messages:"));
    progress_->setCounterLabel("passed-over", tr("Outside the date range:"));
    progress_->setCancelText(tr("Abort"));
    progress_->setCloseWhenFinished(false);
    progressArea_->addWidget(progress_);
    // The window grows to hold the progress display rather than squeeze
    // the choices (in the frame its sub-window grows).
    QWidget* frameWindow = parentWidget() && parentWidget()->inherits("QMdiSubWindow") ? parentWidget() : this;
    frameWindow->resize(frameWindow->size().expandedTo(frameWindow->sizeHint()));
    if (QWidget* area = frameWindow->parentWidget(); area && frameWindow != this) {
        // Kept inside the frame's area: moved up when it grew past its bottom.
        const int overflow = frameWindow->geometry().bottom() - area->height() + 1;
        if (overflow > 0) frameWindow->move(frameWindow->x(), std::max(0, frameWindow->y() - overflow));
    }
    start_->setEnabled(false);
    status_->clear();
    const SetOperation op = r.operation;
    connect(progress_, &JobProgressWindow::finished, this, [this, run, op](bool completed) {
        const ProgressReport report = run->report();
        QString text = report.lines.empty() ? QString() : QString::fromStdString(report.lines.back());
        if (completed && isExport(op)) {
            text += QStringLiteral("  ") + QString::fromStdString(run->firstPath());
            if (!run->secondPath().empty()) text += QStringLiteral(", ") + QString::fromStdString(run->secondPath());
        }
        status_->setText(text);
        start_->setEnabled(true);
        const bool changed = op >= SetOperation::AttachTopic && run->handled() > 0;
        emit finished(completed, changed, run->wholeDatabaseDeleted());
    });
    progress_->start();
    // The progress window shows the running line; the status line says it too.
    status_->setText(QString::fromStdString(run->report().lines.empty() ? std::string()
                                                                        : run->report().lines.back()));
}

void SetOperationsWindow::closeEvent(QCloseEvent* event) {
    if (progress_ && !progress_->stopForClose()) return event->ignore();
    QWidget::closeEvent(event);
}

}  // namespace pm
