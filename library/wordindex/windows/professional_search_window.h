#pragma once
// " Professional Search" (BUILDSEARCH): the three steps of a word search
// over the active database's word index.
//   STEP 1  "Insert" asks for search words (SearchWordDialog) and looks each
//           up in the word list in " Finding a Keyword" (cancellable); the
//           matching index words join the found words with their hits.
//   STEP 2  found words go to the AND list ("Must Contain ALL of These:",
//           with NOT) or the OR list ("Must Contain One or More of These:")
//           by the arrow buttons or by dragging them there.
//   STEP 3  "Get Msgs" gathers the messages block by block in a progress
//           window; after each block "Search More?" may pause the search,
//           and "Next Block" goes on. Each block's result is handed to the
//           caller (the browse), with the hit words.
// The window keeps the search tables open while it is open.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/types.h"
#include "wordindex/search_expression.h"
#include "wordindex/search_tables.h"
#include "wordindex/search_words.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace pm {

class JobProgressWindow;
class SearchCollector;
class SearchWordDialog;

class ProfessionalSearchWindow : public QWidget {
    Q_OBJECT
public:
    // Messages newest first (all found so far), the hit words, and whether
    // this is a later block of the search handed over before.
    using ResultHandler =
        std::function<void(const std::vector<ULONG>&, const std::vector<std::string>&, bool laterBlock)>;

    // Over the active database; check opened() afterwards ("Search Not
    // Available" has been shown when the word index cannot be opened).
    explicit ProfessionalSearchWindow(ResultHandler onResult, QWidget* parent = nullptr);
    ~ProfessionalSearchWindow() override;
    bool opened() const { return opened_; }

    // "Insert": asks with the search word window (or, for tests, takes the
    // dialog's choices as they are when `dialogChooser` is set).
    void insert();
    // Step 1 without the dialog: checks and finds `typed` with `options`.
    // False when the input was refused or a look-up failed or was stopped.
    bool findWords(const QString& typed, const SearchWordOptions& options);
    // The buttons of step 2.
    void selectAllFound();
    void deleteFound();
    void addToOr();
    void addToAnd();
    void toggleNot();
    void deleteEntry();
    void deleteAll();
    // "Get Msgs" and "Next Block".
    void getMessages();
    void nextBlock();

    ExpressionBuilder& builder() { return builder_; }
    QTreeWidget* foundList() const { return found_; }
    QTreeWidget* andList() const { return and_; }
    QTreeWidget* orList() const { return or_; }
    QPushButton* getButton() const { return get_; }
    QPushButton* nextBlockButton() const { return nextBlock_; }
    QLabel* foundCount() const { return count_; }
    JobProgressWindow* collectorWindow() const { return collecting_; }
    // The messages of the last search (newest first).
    const std::vector<ULONG>& lastResult() const { return lastResult_; }

    // Test seam: fills the dialog and answers it (true: "Next").
    void setDialogChooser(std::function<bool(SearchWordDialog&)> chooser) { dialogChooser_ = std::move(chooser); }

signals:
    // A block of the search ended (paused or done) and was handed over.
    void blockFinished();

private:
    void showLists();
    void takeFoundSelection();
    void onCollectorStopped();
    SearchCollector* collector() const;

    ResultHandler onResult_;
    bool opened_ = false;
    SearchTables tables_;
    ExpressionBuilder builder_;
    std::vector<PhraseWord> phrase_;  // the phrase of the last phrase search, else empty
    std::vector<ULONG> lastResult_;
    bool handedOver_ = false;  // a block of the current search went to the caller
    QTreeWidget* found_ = nullptr;
    QTreeWidget* and_ = nullptr;
    QTreeWidget* or_ = nullptr;
    QPushButton* get_ = nullptr;
    QPushButton* nextBlock_ = nullptr;
    QLabel* count_ = nullptr;
    JobProgressWindow* collecting_ = nullptr;
    std::function<bool(SearchWordDialog&)> dialogChooser_;
};

}  // namespace pm
