#include "wordindex/windows/professional_search_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/job_progress_window.h"
#include "wordindex/index_settings.h"
#include "wordindex/search_collector.h"
#include "wordindex/windows/search_word_dialog.h"
#include "wordindex/word_finder.h"

namespace pm {

namespace {

// A list that takes found words dragged from `source` and hands them on.
class DropList : public QTreeWidget {
public:
    DropList(QTreeWidget* source, std::function<void()> onDrop, QWidget* parent)
        : QTreeWidget(parent), source_(source), onDrop_(std::move(onDrop)) {
        setAcceptDrops(true);
        setDropIndicatorShown(false);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (e->source() == source_) e->acceptProposedAction();
        else e->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (e->source() == source_) e->acceptProposedAction();
        else e->ignore();
    }
    void dropEvent(QDropEvent* e) override {
        if (e->source() != source_) return e->ignore();
        e->acceptProposedAction();
        onDrop_();
    }

private:
    QTreeWidget* source_;
    std::function<void()> onDrop_;
};

QTreeWidget* makeList(QTreeWidget* list, const QStringList& headers) {
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->header()->setStretchLastSection(true);
    return list;
}

int selectedRow(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->indexOfTopLevelItem(items.front());
}

// Runs `job` in a progress window of its own until it is final or paused;
// the window is handed back for its job's results.
std::unique_ptr<JobProgressWindow> runInWindow(std::unique_ptr<Job> job, QWidget* parent) {
    auto window = std::make_unique<JobProgressWindow>(std::move(job), parent);
    window->setWindowFlag(Qt::Dialog);
    window->setWindowModality(Qt::WindowModal);
    window->setCloseWhenFinished(false);
    QEventLoop loop;
    QObject::connect(window.get(), &JobProgressWindow::finished, &loop, &QEventLoop::quit);
    window->show();
    window->start();
    if (window->running()) loop.exec();
    window->hide();
    return window;
}

}  // namespace

ProfessionalSearchWindow::ProfessionalSearchWindow(ResultHandler onResult, QWidget* parent)
    : QWidget(parent), onResult_(std::move(onResult)) {
    setWindowTitle(QStringLiteral(" Professional Search"));
    setProperty("helpTopic", QStringLiteral("~Professional_Search"));
    auto* layout = new QVBoxLayout(this);

    auto* step1 = new QGroupBox(QStringLiteral(" STEP 1 - Input Search Words"), this);
    auto* s1 = new QGridLayout(step1);
    found_ = makeList(new QTreeWidget(step1), {QStringLiteral("Hits"), QStringLiteral("Word")});
    found_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    found_->setDragEnabled(true);
    found_->setDragDropMode(QAbstractItemView::DragOnly);
    s1->addWidget(found_, 0, 0, 4, 1);
    auto* insert = new QPushButton(QStringLiteral("Insert"), step1);
    auto* selectAll = new QPushButton(QStringLiteral("SelectAll"), step1);
    auto* deleteFound = new QPushButton(QStringLiteral("Delete"), step1);
    s1->addWidget(insert, 0, 1);
    s1->addWidget(selectAll, 1, 1);
    s1->addWidget(deleteFound, 2, 1);
    layout->addWidget(step1);

    auto* step2 = new QGroupBox(QStringLiteral(" STEP 2 - Build Search Expression"), this);
    auto* s2 = new QGridLayout(step2);
    auto* toAnd = new QPushButton(QStringLiteral("AND ---->"), step2);
    auto* toOr = new QPushButton(QStringLiteral("OR ---->"), step2);
    and_ = makeList(new DropList(found_, [this] { addToAnd(); }, step2),
                    {QStringLiteral("Cond."), QStringLiteral("Word"), QStringLiteral("Hits")});
    or_ = makeList(new DropList(found_, [this] { addToOr(); }, step2), {QStringLiteral("Word"), QStringLiteral("Hits")});
    s2->addWidget(toAnd, 0, 0);
    s2->addWidget(new QLabel(QStringLiteral("Must Contain ALL of These:"), step2), 0, 1);
    s2->addWidget(and_, 1, 1);
    s2->addWidget(toOr, 2, 0);
    s2->addWidget(new QLabel(QStringLiteral("Must Contain One or More of These:"), step2), 2, 1);
    s2->addWidget(or_, 3, 1);
    auto* listButtons = new QHBoxLayout;
    auto* notButton = new QPushButton(QStringLiteral("NOT"), step2);
    auto* deleteEntryButton = new QPushButton(QStringLiteral("Delete"), step2);
    auto* deleteAllButton = new QPushButton(QStringLiteral("DeleteAll"), step2);
    for (QPushButton* b : {notButton, deleteEntryButton, deleteAllButton}) listButtons->addWidget(b);
    s2->addLayout(listButtons, 4, 1);
    layout->addWidget(step2);

    auto* step3 = new QGroupBox(QStringLiteral(" STEP 3 - Get the Messages"), this);
    auto* s3 = new QHBoxLayout(step3);
    get_ = new QPushButton(QStringLiteral("Get Msgs"), step3);
    nextBlock_ = new QPushButton(QStringLiteral("Next Block"), step3);
    nextBlock_->setEnabled(false);
    count_ = new QLabel(QStringLiteral("Messages Found: 0"), step3);
    s3->addWidget(get_);
    s3->addWidget(nextBlock_);
    s3->addStretch();
    s3->addWidget(count_);
    layout->addWidget(step3);

    connect(insert, &QPushButton::clicked, this, &ProfessionalSearchWindow::insert);
    connect(selectAll, &QPushButton::clicked, this, &ProfessionalSearchWindow::selectAllFound);
    connect(deleteFound, &QPushButton::clicked, this, &ProfessionalSearchWindow::deleteFound);
    connect(toAnd, &QPushButton::clicked, this, &ProfessionalSearchWindow::addToAnd);
    connect(toOr, &QPushButton::clicked, this, &ProfessionalSearchWindow::addToOr);
    connect(notButton, &QPushButton::clicked, this, &ProfessionalSearchWindow::toggleNot);
    connect(deleteEntryButton, &QPushButton::clicked, this, &ProfessionalSearchWindow::deleteEntry);
    connect(deleteAllButton, &QPushButton::clicked, this, &ProfessionalSearchWindow::deleteAll);
    connect(get_, &QPushButton::clicked, this, &ProfessionalSearchWindow::getMessages);
    connect(nextBlock_, &QPushButton::clicked, this, &ProfessionalSearchWindow::nextBlock);

    opened_ = tables_.open(Mem.ForumType);
    if (!opened_) {
        message("Search Not Available", "Search Could not be initialized.|Try Again Later.", Icon::Hand);
        for (QPushButton* b : findChildren<QPushButton*>()) b->setEnabled(false);
    }
}

ProfessionalSearchWindow::~ProfessionalSearchWindow() = default;

void ProfessionalSearchWindow::insert() {
    SearchWordDialog dialog(this);
    const bool next = dialogChooser_ ? dialogChooser_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!next) return;
    findWords(dialog.text(), dialog.options());
}

bool ProfessionalSearchWindow::findWords(const QString& typed, const SearchWordOptions& options) {
    if (!opened_) return false;
    const std::optional<SearchWordRequest> request = prepareSearchWords(typed.toStdString(), options);
    if (!request) return false;
    std::vector<FoundWord> all;
    for (const std::string& word : request->words) {
        const SearchWordOptions& o = request->options;
        auto window = runInWindow(std::make_unique<WordFinder>(word, o.matchType(), o.wholeWord, o.degree), this);
        if (window->job().status() != JobStatus::Done) return false;
        const auto& found = static_cast<const WordFinder&>(window->job()).found();
        if (found.empty() && request->options.phrase) {
            message("No matches", "One of the words in the phrase was not found in any document.|Word: " + word);
            return false;
        }
        all.insert(all.end(), found.begin(), found.end());
    }
    // A phrase search keeps the phrase for the message check of step 3.
    phrase_ = request->options.phrase ? request->phrase : std::vector<PhraseWord>{};
    builder_.addFoundWords(all);
    showLists();
    return true;
}

void ProfessionalSearchWindow::takeFoundSelection() {
    auto& words = builder_.foundWords();
    for (int i = 0; i < found_->topLevelItemCount() && i < static_cast<int>(words.size()); ++i)
        words[static_cast<std::size_t>(i)].selected = found_->topLevelItem(i)->isSelected();
}

void ProfessionalSearchWindow::selectAllFound() {
    builder_.selectAll();
    showLists();
}

void ProfessionalSearchWindow::deleteFound() {
    takeFoundSelection();
    if (builder_.deleteSelectedFound()) showLists();
}

void ProfessionalSearchWindow::addToOr() {
    takeFoundSelection();
    if (builder_.addSelectedToOr()) showLists();
}

void ProfessionalSearchWindow::addToAnd() {
    takeFoundSelection();
    if (builder_.addSelectedToAnd()) showLists();
}

void ProfessionalSearchWindow::toggleNot() {
    const int row = selectedRow(and_);
    if (builder_.toggleNot(row)) {
        showLists();
        and_->setCurrentItem(and_->topLevelItem(row));
    }
}

void ProfessionalSearchWindow::deleteEntry() {
    if (builder_.deleteEntry(selectedRow(and_), selectedRow(or_))) showLists();
}

void ProfessionalSearchWindow::deleteAll() {
    builder_.deleteAll();
    showLists();
}

void ProfessionalSearchWindow::showLists() {
    found_->clear();
    for (const FoundWord& w : builder_.foundWords()) {
        auto* item = new QTreeWidgetItem(found_, {QString::number(w.hits), QString::fromStdString(w.word)});
        item->setSelected(w.selected);
    }
    and_->clear();
    for (const ExpressionEntry& e : builder_.expression().andList)
        new QTreeWidgetItem(and_, {QString::fromStdString(e.condition), QString::fromStdString(e.word),
                                   QString::number(e.count)});
    or_->clear();
    for (const ExpressionEntry& e : builder_.expression().orList)
        new QTreeWidgetItem(or_, {QString::fromStdString(e.word), QString::number(e.count)});
}

SearchCollector* ProfessionalSearchWindow::collector() const {
    return collecting_ ? static_cast<SearchCollector*>(&collecting_->job()) : nullptr;
}

void ProfessionalSearchWindow::getMessages() {
    if (!opened_ || !builder_.readyToSearch()) return;
    if (collecting_ && collecting_->running() && collector()->state() != SearchCollector::State::Paused) return;
    delete collecting_;
    auto job = std::make_unique<SearchCollector>(builder_.expression(), Mem.ForumType, searchPauseSetting(), phrase_);
    collecting_ = new JobProgressWindow(std::move(job), this);
    collecting_->setWindowFlag(Qt::Dialog);
    collecting_->setCloseWhenFinished(false);
    collecting_->setCounterLabel("Found", QStringLiteral("Messages Found:"));
    connect(collecting_, &JobProgressWindow::paused, this, &ProfessionalSearchWindow::onCollectorStopped);
    connect(collecting_, &JobProgressWindow::finished, this, &ProfessionalSearchWindow::onCollectorStopped);
    nextBlock_->setEnabled(false);
    get_->setText(QStringLiteral("Get Msgs"));
    handedOver_ = false;
    collecting_->show();
    collecting_->start();
}

void ProfessionalSearchWindow::nextBlock() {
    SearchCollector* c = collector();
    if (!c || c->state() != SearchCollector::State::Paused) return;
    if (!c->nextBlock()) {
        nextBlock_->setEnabled(false);
        get_->setText(QStringLiteral("Search!"));
        return;
    }
    nextBlock_->setEnabled(false);
    collecting_->show();
    collecting_->resume();
}

void ProfessionalSearchWindow::onCollectorStopped() {
    SearchCollector* c = collector();
    collecting_->hide();
    const bool paused = c->state() == SearchCollector::State::Paused;
    nextBlock_->setEnabled(paused && c->morePending());
    if (!paused || !c->morePending()) get_->setText(QStringLiteral("Search!"));
    lastResult_ = c->messagesNewestFirst();
    count_->setText(QStringLiteral("Messages Found: %1").arg(lastResult_.size()));
    if (!lastResult_.empty() && onResult_) {
        const std::vector<std::string> words(c->hitWords().begin(), c->hitWords().end());
        onResult_(lastResult_, words, handedOver_);
        handedOver_ = true;
    }
    emit blockFinished();
}

}  // namespace pm
