// The browse window: its layout, the views and the selection.
#include "browse/windows/browse_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/text_find.h"
#include "browse/windows/browse_link.h"
#include "browse/windows/child_place.h"
#include "browse/windows/browse_settings.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "browse/windows/text_pane.h"
#include "common/date_pictures.h"
#include "common/dates.h"
#include "common/globals.h"
#include "frame/frame_settings.h"
#include "tables/config/browse_columns.h"
#include "tables/windows/column_memory.h"

namespace pm {

namespace {

struct TabEntry {
    const char* text;
    BYTE view;
};
constexpr TabEntry kMessageViews[] = {
    {"By MsgNmbr", ViewByNumber}, {"By Thread", ViewByThread},   {"By Section", ViewBySection},
    {"By Sender", ViewBySender},  {"By Receiver", ViewByReceiver}, {"By MsgDate", ViewByDate},
    {"KeyWord", ViewByKeyWord},   {"Topic", ViewByTopic},         {"Search Result", ViewBySearch},
};
constexpr TabEntry kMailViews[] = {
    {"By Date", MailByDate},     {"By Subject", MailBySubject}, {"By MailPartner", MailByPartner},
    {"By Sender", MailBySender}, {"By Receiver", MailByReceiver}, {"KeyWord", MailByKeyWord},
    {"Topic", MailByTopic},      {"Search Result", MailBySearch},
};

// Widths that fit a date, a time and a message number as the settings show them.
struct Samples {
    QString date, time, number;
};


std::vector<PagedListModel::Column> messageColumns(bool newsgroup, const Samples& s) {
    std::vector<PagedListModel::Column> c = {
        // The subject takes the width the window has to spare, so the
        // numbers at the end are never pushed apart.
        PagedListModel::column("Thread", CellThread, 42, false, {}, true),
        PagedListModel::column("Sender", CellSender, 30),
        PagedListModel::column("Receiver", CellReceiver, 30),
    };
    if (!newsgroup) c.push_back(PagedListModel::column("Section", CellSection, 18));
    c.push_back(PagedListModel::column("Date", CellDate, 11, false, s.date));
    c.push_back(PagedListModel::column("Number", CellNumber, 9, true, s.number));
    c.push_back(PagedListModel::column("Reply to", CellReplyTo, 9, true, s.number));
    return c;
}

std::vector<PagedListModel::Column> mailColumns(const Samples& s) {
    return {
        PagedListModel::column("Date", MailCellDate, 11, false, s.date),
        PagedListModel::column("Time", MailCellTime, 6, false, s.time),
        PagedListModel::column("Subject", MailCellSubject, 38, false, {}, true),
        PagedListModel::column("Sender", MailCellSender, 28),
        PagedListModel::column("Receiver", MailCellReceiver, 28),
        PagedListModel::column("Type", MailCellType, 5),
        PagedListModel::column("CC", MailCellCc, 4),
        PagedListModel::column("Number", MailCellNumber, 9, true, s.number),
    };
}

// What the strip calls the narrowing value of `view`.
QString valueName(bool mail, BYTE view) {
    if (mail) {
        switch (view) {
            case MailByPartner: return QStringLiteral("Mail partner:");
            case MailBySender: return QStringLiteral("Sender:");
            case MailByReceiver: return QStringLiteral("Receiver:");
            case MailByKeyWord: return QStringLiteral("Key word:");
            case MailByTopic: return QStringLiteral("Topic:");
            default: return {};
        }
    }
    switch (view) {
        case ViewByThread: return QStringLiteral("Thread:");
        case ViewBySection: return Mem.ForumType == TypeNewsgroup ? QStringLiteral("Newsgroup:") : QStringLiteral("Section:");
        case ViewBySender: return QStringLiteral("Sender:");
        case ViewByReceiver: return QStringLiteral("Receiver:");
        case ViewByKeyWord: return QStringLiteral("Key word:");
        case ViewByTopic: return QStringLiteral("Topic:");
        default: return {};
    }
}

}  // namespace

BrowseWindow::BrowseWindow(frame::FrameSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    tables_ = std::make_unique<BrowseTables>(Mem.ForumType);
    const BrowsePictures pictures = browsePictures(settings_);
    session_ = std::make_unique<BrowseSession>(pictures.date, pictures.time);
    setProperty("helpTopic", QStringLiteral("~Browse_Messages"));
    buildLayout();
    applySettings();
    connect(&BrowseLink::instance(), &BrowseLink::showMessageRequested, this, [this](ULONG n) { showMessage(n); });
    connect(&BrowseLink::instance(), &BrowseLink::buttonPressed, this,
            [this](frame::ToolbarButton b) { pressButton(b); });
    connect(&BrowseLink::instance(), &BrowseLink::topicsChanged, this, [this] {
        if (session_->view() == session_->topicView()) refresh();
    });
    const LONG tab = settings_.value(session_->mail() ? ItemDefaultMailTab : ItemDefaultMessageTab);
    const LONG lastTab = session_->mail() ? LONG{MailByReceiver} : LONG{ViewByKeyWord};
    const BYTE view = tab >= 1 && tab <= lastTab ? static_cast<BYTE>(tab) : 1;
    if (view == session_->keyWordView()) {
        // Asking for the word waits until the window is up.
        showList(session_->setView(1));
        QMetaObject::invokeMethod(this, [this, view] { showView(view); }, Qt::QueuedConnection);
    } else {
        showView(view);
    }
    if (!session_->mail() && settings_.value(ItemTreeWithBrowse) != 0)
        QMetaObject::invokeMethod(this, [this] { showThreadTree(); }, Qt::QueuedConnection);
}

BrowseWindow::~BrowseWindow() {
    emit BrowseLink::instance().browseClosed();
    model_->setList(nullptr, {});
    session_.reset();
    tables_.reset();
}

QString BrowseWindow::windowName() const {
    return session_->mail() ? QStringLiteral("BrowseMail") : QStringLiteral("BrowseMsgNmbr");
}

void BrowseWindow::buildLayout() {
    tabs_ = new QTabBar;
    tabs_->setObjectName(QStringLiteral("views"));
    tabs_->setExpanding(false);
    buildTabs();
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (changingTabs_ || index < 0) return;
        showView(static_cast<BYTE>(tabs_->tabData(index).toInt()));
    });
    // A click on the tab shown chooses its value again (key word, topic).
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == tabs_->currentIndex() && index >= 0) {
            const BYTE v = static_cast<BYTE>(tabs_->tabData(index).toInt());
            if (v == session_->keyWordView() || v == session_->topicView()) chooseFilterValue();
        }
    });

    auto button = [this](QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton;
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    filterLabel_ = new QLabel;
    filterLabel_->setObjectName(QStringLiteral("filter"));
    filterLabel_->setTextFormat(Qt::PlainText);
    previousValue_ = button(QStyle::SP_ArrowLeft, QStringLiteral("Previous Filter Value"));
    chooseValue_ = button(QStyle::SP_FileDialogStart, QStringLiteral("Choose Filter Value"));
    nextValue_ = button(QStyle::SP_ArrowRight, QStringLiteral("Next Filter Value"));
    bookmark_ = button(QStyle::SP_DialogNoButton, QStringLiteral("Set BookMark"));
    treeButton_ = button(QStyle::SP_FileDialogDetailedView, QStringLiteral("Show Thread Tree"));
    statusButton_ = button(QStyle::SP_DialogApplyButton, QStringLiteral("Set message status codes"));
    connect(previousValue_, &QToolButton::clicked, this, [this] { stepFilterValue(-1); });
    connect(nextValue_, &QToolButton::clicked, this, [this] { stepFilterValue(+1); });
    connect(chooseValue_, &QToolButton::clicked, this, [this] { chooseFilterValue(); });
    connect(bookmark_, &QToolButton::clicked, this, [this] { toggleBookmark(); });
    connect(treeButton_, &QToolButton::clicked, this, [this] { showThreadTree(); });
    connect(statusButton_, &QToolButton::clicked, this, [this] { setStatus(ChoiceAsk); });
    treeButton_->setVisible(!session_->mail());

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(4, 0, 4, 0);
    strip->addWidget(previousValue_);
    strip->addWidget(chooseValue_);
    strip->addWidget(nextValue_);
    strip->addWidget(filterLabel_, 1);
    strip->addWidget(statusButton_);
    strip->addWidget(treeButton_);
    strip->addWidget(bookmark_);

    model_ = new PagedListModel(this);
    list_ = new PagedTableView;
    list_->setObjectName(QStringLiteral("headers"));
    list_->setModel(model_);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    list_->setLocator([this](const QString& typed) {
        const std::int64_t row = session_->locate(typed.toStdString());
        if (row >= 0) selectRow(static_cast<int>(row));
    }, static_cast<int>(settings_.value(frame::ItemLocatorDelay)) * 100);
    // The model keeps its selection model when it shows another list.
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!resetting_) onCurrentRowChanged(current.isValid() ? current.row() : -1);
            });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = list_->indexAt(at);
        if (index.isValid()) selectRow(index.row());
        setStatus(ChoiceAsk);
    });
    setFocusProxy(list_);  // the keys go to the list when the window is given focus
    text_ = new TextPane;
    splitter_ = new QSplitter(Qt::Vertical);
    splitter_->addWidget(list_);
    splitter_->addWidget(text_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(tabs_);
    layout->addLayout(strip);
    layout->addWidget(splitter_, 1);
    resize(900, 620);
}

void BrowseWindow::buildTabs() {
    changingTabs_ = true;
    if (session_->mail())
        for (const TabEntry& t : kMailViews) tabs_->setTabData(tabs_->addTab(QString::fromUtf8(t.text)), t.view);
    else
        for (const TabEntry& t : kMessageViews) tabs_->setTabData(tabs_->addTab(QString::fromUtf8(t.text)), t.view);
    tabs_->setTabVisible(tabs_->count() - 1, false);  // the search result, until there is one
    tabs_->setTabEnabled(tabs_->count() - 1, false);
    changingTabs_ = false;
}

void BrowseWindow::applySettings() {
    const BrowseLook look = browseLook(settings_);
    model_->setStatusColours(look.keep, look.del);
    if (look.listFont) {
        list_->setFont(*look.listFont);
        list_->verticalHeader()->setDefaultSectionSize(QFontMetrics(*look.listFont).height() + 4);
    }
    if (look.textFont) text_->setTextFont(*look.textFont);
}

void BrowseWindow::showView(BYTE view) {
    const bool mail = session_->mail();
    std::int64_t select;
    if (view == session_->keyWordView() && session_->chosenWord() == 0) {
        // No word chosen: choose one; cancelling leaves the view empty.
        session_->setView(view);
        select = session_->chooseWord(lookup(LookupKind::Words));
    } else if (view == session_->topicView() && session_->chosenTopic() == 0) {
        const ULONG id = lookup(LookupKind::Topics);
        // Cancelling the topic goes back to the first view.
        select = id != 0 ? session_->chooseTopic(id) : session_->setView(1);
    } else if (!mail && view == ViewBySection && session_->context().XSECSYSID == 0) {
        // The section view without a section shows the selected message's.
        ULONG section = 0;
        if (session_->selected() != 0) {
            MsgNmbr.clear();
            MSG.MSGNUMBER = session_->selected();
            if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) section = MSG.SECSYSID;
        }
        select = session_->narrowToSection(section);
    } else {
        select = session_->setView(view);
    }
    showList(select);
}

void BrowseWindow::showList(std::int64_t select) {
    const bool mail = session_->mail();
    const BrowsePictures pictures = browsePictures(settings_);
    const Samples samples{QString::fromStdString(formatDate(dayNumber(2000, 12, 28), pictures.date)),
                          QString::fromStdString(formatTime(timeOf(23, 59, 0), pictures.time)),
                          QStringLiteral("99999999")};
    std::vector<PagedListModel::Column> columns =
        mail ? mailColumns(samples) : messageColumns(Mem.ForumType == TypeNewsgroup, samples);
    const bool sameColumns = model_->columnCount() == static_cast<int>(columns.size());
    resetting_ = true;
    model_->setList(session_->list(), columns);
    resetting_ = false;
    if (!sameColumns) {
        const int slot = mail ? BrowseMailMessages : Mem.ForumType == TypeNewsgroup ? BrowseNewsgroupMessages : BrowseForumMessages;
        ColumnMemory::applyWidths(list_->horizontalHeader(), slot, [&] { PagedListModel::applyWidths(list_, columns); });
    }
    changingTabs_ = true;
    for (int i = 0; i < tabs_->count(); ++i) {
        if (tabs_->tabData(i).toInt() == session_->view()) tabs_->setCurrentIndex(i);
    }
    const int search = tabs_->count() - 1;
    tabs_->setTabVisible(search, session_->hasSearchResult() || session_->view() == tabs_->tabData(search).toInt());
    tabs_->setTabEnabled(search, tabs_->isTabVisible(search));
    changingTabs_ = false;
    updateTitle();
    updateStrip();
    if (select >= 0 && select < model_->rowCount()) {
        list_->goToRow(static_cast<int>(select));
        if (currentRow() != select) onCurrentRowChanged(static_cast<int>(select));
    } else {
        list_->setCurrentIndex({});
        onCurrentRowChanged(-1);
    }
    frame::toolbarTargetChanged();
}

void BrowseWindow::selectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    if (currentRow() == row) {
        onCurrentRowChanged(row);
        return;
    }
    list_->goToRow(row);
}

int BrowseWindow::currentRow() const { return list_->currentIndex().isValid() ? list_->currentIndex().row() : -1; }

void BrowseWindow::onCurrentRowChanged(int row) {
    if (session_->list() && session_->list()->outOfStep()) {
        // Another user changed the view's records: read the list again.
        QMetaObject::invokeMethod(this, [this] { refresh(); }, Qt::QueuedConnection);
    }
    session_->select(row);
    if (session_->mail()) emit BrowseLink::instance().mailContextPublished();
    else emit BrowseLink::instance().contextPublished();
    showText();
    frame::toolbarTargetChanged();
}

void BrowseWindow::showText() {
    if (session_->selected() == 0) {
        text_->clear();
        return;
    }
    session_->loadText();
    const FoundText& found = foundText();
    const bool here = found.number != 0 && found.number == session_->selected();
    text_->setFoundText(here ? QString::fromStdString(found.text) : QString(), found.matchCase);
    text_->show(&session_->text(), session_->hitWords());
}

void BrowseWindow::updateTitle() {
    const std::string error = session_->listError();
    setWindowTitle(QString::fromStdString(session_->title()));
    if (!error.empty()) setToolTip(QString::fromStdString(error));
}

void BrowseWindow::updateStrip() {
    const bool stepping = session_->hasFilterValue();
    const BYTE v = session_->view();
    const bool choosing = stepping || v == session_->keyWordView() || v == session_->topicView();
    previousValue_->setVisible(stepping);
    nextValue_->setVisible(stepping);
    chooseValue_->setVisible(choosing);
    const std::string value = session_->filterText();
    QString label;
    if (choosing)
        label = valueName(session_->mail(), v) + " " +
                (value.empty() ? QStringLiteral("(all)") : QString::fromStdString(value));
    filterLabel_->setText(label);
    updateBookmark();
}

int BrowseWindow::placeSlot() const { return session_->mail() ? ChildSlotMailBrowse : ChildSlotMessageBrowse; }

void BrowseWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        // After the frame has sized the new sub-window.
        QMetaObject::invokeMethod(this, [this] { placeChild(this, placeSlot()); }, Qt::QueuedConnection);
    }
    QWidget::showEvent(event);
}

void BrowseWindow::closeEvent(QCloseEvent* event) {
    rememberChild(this, placeSlot());
    QWidget::closeEvent(event);
}

}  // namespace pm
