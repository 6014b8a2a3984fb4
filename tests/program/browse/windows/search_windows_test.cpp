// The search and indexing windows offscreen on the sample forum: the index
// start window with a run that is stopped and resumed, the professional
// search building AND/OR/NOT, phrase, Soundex and approximate searches and
// handing its result to the browse, the word list's deletion marks applied
// by the next run, and the ignore list's forms. Screenshots of each.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

#include "browse/windows/browse_window.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/text_pane.h"
#include "common/globals.h"
#include "common/job.h"
#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "frame_test_support.h"
#include "support/sample_databases.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "wordindex/index_run.h"
#include "wordindex/phrase_check.h"
#include "tables/identifiers/next_id_check.h"
#include "tables/windows/next_id_check_window.h"
#include "tables/services/library_services.h"
#include "frame/command_table.h"
#include "tables/rebuild/rebuild_run.h"
#include "wordindex/windows/auto_index_window.h"
#include "wordindex/windows/index_setup_wizard.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/config/settings.h"
#include "common/word_definition.h"
#include "wordindex/windows/professional_search_window.h"
#include "wordindex/windows/search_word_dialog.h"
#include "wordindex/windows/stop_list_window.h"
#include "wordindex/windows/word_list_window.h"
#include "wordindex/word_list_edits.h"

namespace pm::test {

using frame::CommandId;

namespace {

template <typename F>
bool waitFor(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 20000) QCoreApplication::processEvents();
    return done();
}

void indexActive(int indexType = 2) {
    IndexRunOptions options;
    options.indexType = indexType;
    options.batchSize = 100;
    IndexRun run(Mem.ForumNumber, Mem.ForumType, options);
    QCOMPARE(runToEnd(run), JobStatus::Done);
}

QStringList foundWords(ProfessionalSearchWindow& s) {
    QStringList out;
    for (int i = 0; i < s.foundList()->topLevelItemCount(); ++i) out << s.foundList()->topLevelItem(i)->text(1);
    return out;
}

void selectFound(ProfessionalSearchWindow& s, const QString& word) {
    s.foundList()->clearSelection();
    for (int i = 0; i < s.foundList()->topLevelItemCount(); ++i)
        if (s.foundList()->topLevelItem(i)->text(1) == word) s.foundList()->topLevelItem(i)->setSelected(true);
}

std::set<ULONG> browseNumbers(BrowseWindow& w) {
    std::set<ULONG> out;
    const int column = w.model()->columnCount() - (w.session().mail() ? 1 : 2);
    for (int r = 0; r < w.model()->rowCount(); ++r) out.insert(w.model()->index(r, column).data().toUInt());
    return out;
}

SearchWordOptions exact() { return {}; }

}  // namespace

class SearchWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void autoIndexStopsAndResumesARun();
    void professionalSearchHandsItsResultToTheBrowse();
    void searchWordDialogFindsBySoundexAndApproximately();
    void wordListMarksLeaveTheIndexWithTheNextRun();
    void stopListFormsAddUpdateAndDelete();
    void setupWizardSavesADefinitionAndDeletesTheIndexes();
    void nextIdCheckRunsInTheRebuildWindow();
};

void SearchWindowsTest::autoIndexStopsAndResumesARun() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    for (CommandId id : {CommandId::BuildWordIndex, CommandId::IndexedWords, CommandId::NonIndexedWords})
        QVERIFY(frame.action(id)->isEnabled());
    frame.runCommand(CommandId::BuildWordIndex);
    settle();
    auto* w = qobject_cast<AutoIndexWindow*>(frame.windows().widgetOf("AutoIndex"));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Indexing of Forum database [Test Forum]"));
    QCOMPARE(w->recommendationText(), QStringLiteral("Full indexing needed!"));
    QVERIFY(!w->partialButton()->isEnabled());
    screenshot(w, "autoindex-start");

    // A full run, one message a step, stopped after a few messages.
    w->setBatchSize(1);
    QSignalSpy ended(w, &AutoIndexWindow::runFinished);
    w->startRun(1);
    QVERIFY(w->progressWindow());
    w->progressWindow()->setRefreshInterval(0);
    QVERIFY(waitFor([&] { return reportCounter(w->progressWindow()->job().report(), "messages") >= 3; }));
    QVERIFY(IndexingInProgress);
    QVERIFY(w->windowTitle().startsWith(QStringLiteral(" PRO Word Indexing [Test Forum]")));
    screenshot(w, "autoindex-running");
    w->progressWindow()->requestCancel();
    QVERIFY(waitFor([&] { return ended.count() == 1; }));
    QCOMPARE(ended.takeFirst().at(0).toBool(), false);
    QVERIFY(!IndexingInProgress);
    QCOMPARE(w->lastRun()->state(), IndexRun::State::Stopped);
    QCOMPARE(w->recommendationText(), QStringLiteral("Partial indexing recommended!"));
    QVERIFY(w->partialButton()->isEnabled());

    // The partial run finishes what the stopped one left.
    w->startRun(2);
    QVERIFY(waitFor([&] { return ended.count() == 1; }));
    QCOMPARE(ended.takeFirst().at(0).toBool(), true);
    QCOMPARE(w->recommendationText(), QStringLiteral("No indexing needed!"));
    QCOMPARE(w->lastRun()->indexedCount(), 8u);
    w->recount();
    QCOMPARE(w->recommendationText(), QStringLiteral("No indexing needed!"));
    frame.windows().closeAll();
    settle();
}

void SearchWindowsTest::professionalSearchHandsItsResultToTheBrowse() {
    Installation inst;
    makeSampleForum();
    indexActive(1);
    closeAllTables();
    BrowseWindow browse(inst.settings);
    browse.resize(900, 500);
    browse.show();
    browse.openProfessionalSearch();
    auto* s = qobject_cast<ProfessionalSearchWindow*>(browse.professionalSearch());
    QVERIFY(s);
    QVERIFY(s->opened());

    // HELLO and NOT 103 must be there, and SECOND from the OR list.
    QVERIFY(s->findWords("hello 103 second", exact()));
    QCOMPARE(foundWords(*s), (QStringList{"HELLO", "103", "SECOND"}));
    selectFound(*s, "HELLO");
    s->addToAnd();
    selectFound(*s, "103");
    s->addToAnd();
    s->andList()->setCurrentItem(s->andList()->topLevelItem(1));
    s->toggleNot();
    QCOMPARE(s->andList()->topLevelItem(1)->text(0), QStringLiteral("NOT"));
    selectFound(*s, "SECOND");
    s->addToOr();
    QCOMPARE(s->orList()->topLevelItemCount(), 1);
    screenshot(s, "professional-search");

    QSignalSpy block(s, &ProfessionalSearchWindow::blockFinished);
    s->getMessages();
    QVERIFY(waitFor([&] { return block.count() == 1; }));
    QCOMPARE(s->foundCount()->text(), QStringLiteral("Messages Found: 4"));
    QCOMPARE(s->getButton()->text(), QStringLiteral("Search!"));
    // The browse shows the result as its search view, hit words marked.
    QCOMPARE(browse.session().view(), browse.session().searchView());
    QCOMPARE(browse.model()->rowCount(), 4);
    QCOMPARE(browseNumbers(browse), (std::set<ULONG>{100, 101, 102, 105}));
    browse.selectRow(0);
    settle();
    QVERIFY(!browse.textPane()->hits().empty());
    screenshot(&browse, "browse-search-result");

    // A phrase: only messages whose words follow one another. (From the
    // search view a new result would be cut to the messages it shows.)
    // Every check is shared with the helper thread, as in a large archive.
    PhraseCheck::setShareFrom(1);
    browse.viewTabs()->setCurrentIndex(0);
    s->deleteAll();
    QVERIFY(s->findWords("second line", [] {
        SearchWordOptions o;
        o.phrase = true;
        return o;
    }()));
    selectFound(*s, "SECOND");
    s->addToAnd();
    selectFound(*s, "LINE");
    s->addToAnd();
    s->getMessages();
    QVERIFY(waitFor([&] { return block.count() == 2; }));
    QCOMPARE(browseNumbers(browse), (std::set<ULONG>{100, 101, 102, 103, 105, 110, 111}));
    PhraseCheck::setShareFrom(kPhraseShareFrom);

    // Blocks: with a pause after every occurrence, "Search More?" answered
    // No pauses the search; "Next Block" gathers the next one.
    LONG pause = 1;
    QVERIFY(WSVars(2, 50, nullptr, nullptr, &pause));
    browse.viewTabs()->setCurrentIndex(0);
    s->deleteAll();
    selectFound(*s, "SECOND");
    s->addToOr();
    inst.ui.clear();
    inst.ui.answer(ButtonNo);
    s->getMessages();
    QVERIFY(waitFor([&] { return block.count() == 3; }));
    QVERIFY(inst.ui.sawCaption("Search More?"));
    QVERIFY(s->nextBlockButton()->isEnabled());
    const std::size_t first = s->lastResult().size();
    QVERIFY(first >= 1 && first < 7);
    inst.ui.answer(ButtonYes);  // and every further block
    for (int i = 0; i < 10; ++i) inst.ui.answer(ButtonYes);
    s->nextBlock();
    QVERIFY(waitFor([&] { return block.count() == 4; }));
    QCOMPARE(s->lastResult().size(), std::size_t{7});
    QCOMPARE(browse.model()->rowCount(), 7);
    pause = 10000;
    QVERIFY(WSVars(2, 50, nullptr, nullptr, &pause));
    s->close();
    browse.close();
    closeAllTables();
}

void SearchWindowsTest::searchWordDialogFindsBySoundexAndApproximately() {
    Installation inst;
    makeSampleForum();
    indexActive(1);
    closeAllTables();
    ProfessionalSearchWindow s(nullptr);
    QVERIFY(s.opened());
    // Soundex through the dialog: its controls follow the choice.
    s.setDialogChooser([](SearchWordDialog& d) {
        d.wordsEdit()->setText("riple");
        d.soundexBox()->setChecked(true);
        if (d.startsWithBox()->isEnabled() || d.approximateBox()->isEnabled() || d.wholeWordBox()->isEnabled())
            return false;
        screenshot(&d, "search-word-dialog");
        return true;
    });
    s.insert();
    QCOMPARE(foundWords(s), QStringList{"RIPPLE"});
    s.setDialogChooser([](SearchWordDialog& d) {
        d.wordsEdit()->setText("ripple*");  // a star leaves plain matching only
        if (d.soundexBox()->isEnabled() || d.phraseBox()->isEnabled()) return false;
        d.wordsEdit()->setText("riple");
        d.approximateBox()->setChecked(true);
        return d.degreeBox()->isEnabled() && !d.startsWithBox()->isEnabled();
    });
    s.deleteAll();
    s.builder().foundWords().clear();
    s.insert();
    QVERIFY(foundWords(s).contains("RIPPLE"));
    s.close();
    closeAllTables();
}

void SearchWindowsTest::wordListMarksLeaveTheIndexWithTheNextRun() {
    Installation inst;
    makeSampleForum();
    indexActive(1);
    closeAllTables();
    const LONG hello = *indexedWordId("hello");
    {
        WordListWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral(" Word List [Test Forum]"));
        QVERIFY(w.model()->rowCount() > 5);
        // Count order first: the most frequent word on top.
        QVERIFY(w.model()->row(0).count >= w.model()->row(1).count);
        w.byWordButton()->setChecked(true);
        w.locateField()->setText("hel");
        const int row = w.list()->currentIndex().row();
        QCOMPARE(w.model()->row(row).word, std::string("HELLO"));
        w.toggleMark();
        QCOMPARE(w.model()->index(row, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
        w.resize(400, 400);
        w.show();
        settle();
        screenshot(&w, "word-list");
        w.close();
    }
    QCOMPARE(loadDeletionMarks(), std::set<LONG>{hello});
    {
        WordListWindow again;
        QCOMPARE(again.marks(), std::set<LONG>{hello});
    }
    indexActive(2);
    QVERIFY(!indexedWordId("hello"));
    QVERIFY(loadDeletionMarks().empty());
    const auto stops = stopWords();
    QVERIFY(std::find(stops.begin(), stops.end(), "HELLO") != stops.end());
    closeAllTables();
}

void SearchWindowsTest::stopListFormsAddUpdateAndDelete() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    StopListWindow w;
    QCOMPARE(w.windowTitle(), QStringLiteral(" Ignore List [Test Forum]"));
    QString typed = "zebra";
    StopWordForm::Kind seen = StopWordForm::Kind::Delete;
    QString button;
    w.setFormChooser([&](StopWordForm& f) {
        seen = f.kind();
        button = f.acceptButton()->text();
        f.wordField()->setText(typed);
        return true;
    });
    w.addWord();
    QCOMPARE(button, QStringLiteral(" Accept New Non Index Word"));
    QCOMPARE(w.list()->currentItem()->text(), QStringLiteral("ZEBRA"));
    typed = "  ";  // a blank word is not stored
    w.addWord();
    QCOMPARE(w.list()->count(), 1);
    typed = "apple";
    w.addWord();
    typed = "zebras";
    w.list()->setCurrentRow(1);
    w.updateWord();
    QCOMPARE(seen, StopWordForm::Kind::Update);
    QCOMPARE(stopWords(), (std::vector<std::string>{"APPLE", "ZEBRAS"}));
    w.resize(320, 360);
    w.show();
    settle();
    screenshot(&w, "stop-list");
    w.list()->setCurrentRow(0);
    w.deleteWord();
    QCOMPARE(button, QStringLiteral(" Confirm deletion of Non Index Word"));
    QCOMPARE(stopWords(), std::vector<std::string>{"ZEBRAS"});
    // A word that is there already is refused by the file layer.
    typed = "zebras";
    inst.ui.clear();
    w.addWord();
    QVERIFY(!inst.ui.shown().empty());
    QCOMPARE(stopWords(), std::vector<std::string>{"ZEBRAS"});
    w.close();
    closeAllTables();
}

void SearchWindowsTest::setupWizardSavesADefinitionAndDeletesTheIndexes() {
    Installation inst;
    const ULONG forum = makeSampleForum();
    indexActive(1);
    closeAllTables();
    const WordDefinition before = currentWordDefinition();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(frame.action(CommandId::WordIndexSetupWizard)->isEnabled());
    frame.runCommand(CommandId::WordIndexSetupWizard);
    settle();
    auto* w = qobject_cast<IndexSetupWizard*>(frame.windows().widgetOf("SearchWz"));
    QVERIFY(w);
    QCOMPARE(w->setChooser()->currentText(), QStringLiteral("Current Selection"));

    // Nothing changed: nothing to save.
    QVERIFY(!w->saveWordDefinition());
    QVERIFY(inst.ui.sawCaption("No Changes"));
    // The toggle rule: Inside no takes End with it; End yes only with Inside yes.
    const int dash = '-';
    QCOMPARE(w->rows()[dash].inWord, BYTE{1});
    w->toggleCell(dash, 1);
    QCOMPARE(w->rows()[dash].inWord, BYTE{0});
    w->toggleCell('x', 1);
    QCOMPARE(w->rows()['x'].endWord, BYTE{1});
    w->toggleCell('x', 2);
    QCOMPARE(w->rows()['x'].endWord, BYTE{1});
    w->toggleCell('x', 1);
    w->toggleCell('x', 2);
    QCOMPARE(w->rows()['x'].endWord, BYTE{0});
    w->grid()->scrollToItem(w->grid()->item(dash, 3));
    screenshot(w, "searchwz-definition");

    // Declining the reindex keeps everything; consenting deletes the index.
    inst.ui.answer(ButtonYes);
    inst.ui.answer(ButtonNo);
    QVERIFY(!w->saveWordDefinition());
    QCOMPARE(currentWordDefinition(), before);
    inst.ui.answer(ButtonYes);
    inst.ui.answer(ButtonYes);
    QVERIFY(w->saveWordDefinition());
    QCOMPARE(currentWordDefinition().inWord[dash], BYTE{0});
    QVERIFY(!activeDatabaseIsWordIndexed());
    QCOMPARE(Mem.ForumNumber, forum);
    QCOMPARE(Mem.WordListIndexNeedsUpdate, 1);

    // The other pages: a pause below 1000 is raised to it.
    w->indexNumbersBox()->setChecked(false);
    w->autoStopBox(TypeMail)->setChecked(false);
    w->pauseBox()->setValue(5);
    w->accept();
    settle();
    QVERIFY(!frame.windows().widgetOf("SearchWz"));
    const auto stored = loadIndexSettings();
    QVERIFY(stored);
    QCOMPARE(stored->searchPause, 1000);
    QCOMPARE(stored->indexNumbers, BYTE{0});
    QCOMPARE(stored->mailAutoStop, BYTE{0});
    // The definition was stored: a fresh load gives it back.
    buildDefaultWordDefinition();
    QVERIFY(WSVars(1));
    QCOMPARE(currentWordDefinition().inWord[dash], BYTE{0});
    setCurrentWordDefinition(defaultWordDefinition());
    frame.windows().closeAll();
    settle();
}

void SearchWindowsTest::nextIdCheckRunsInTheRebuildWindow() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    {
        // Alone: the lines, then done with the counter above the highest id.
        NextIdCheckWindow w;
        QSignalSpy ended(&w, &NextIdCheckWindow::checkEnded);
        w.setRefreshInterval(0);
        w.show();
        w.start();
        QVERIFY(waitFor([&] { return ended.count() == 1; }));
        QCOMPARE(ended.takeFirst().at(0).toBool(), true);
        QCOMPARE(w.windowTitle(), QStringLiteral(" Next ID check"));
        const ProgressReport r = w.job().report();
        QCOMPARE(r.lines.at(0), std::string("Checking for highest ID number"));
        QCOMPARE(r.lines.at(1), std::string("Checking for highest existing ID ...OK!"));
        QVERIFY(w.check().nextNumber() > 120);
        w.show();
        screenshot(&w, "next-id-check");
    }
    // From the frame, as library service 215 with request 50: it closes when done.
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    GlobalRequest = NextIdCheckRequest;
    QCOMPARE(SemaFore(ServiceRebuild), 1);
    auto* w = qobject_cast<NextIdCheckWindow*>(frame.windows().widgetOf("RebuildIt"));
    QVERIFY(w);
    QVERIFY(waitFor([&] { return !frame.windows().widgetOf("RebuildIt"); }));
    frame.windows().closeAll();
    settle();
}

static RegisterTest<SearchWindowsTest> registeredSearchWindowsTest;

}  // namespace pm::test

#include "search_windows_test.moc"
