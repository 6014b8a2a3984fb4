#pragma once
// AutoIndex: the start of an indexing run for the active database. It shows
// what the quick check recommends (full, partial or no indexing), lets the
// person recount first, and runs the chosen run in the job progress window
// (" PRO Word Indexing [name]"), which takes the window's place until the run
// ends; then the recommendation is shown again. While the run lasts the
// frame's message and indexing commands are disabled (IndexingInProgress).
#include <QWidget>
#include <memory>

#include "common/types.h"

class QLabel;
class QPushButton;
class QStackedLayout;

namespace pm {

class JobProgressWindow;
class IndexRun;

class AutoIndexWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "AutoIndex";

    // For the active database; nullptr-like empty state when its catalog
    // record cannot be read ("Disk Error" shown, every button but Cancel off).
    explicit AutoIndexWindow(QWidget* parent = nullptr);
    ~AutoIndexWindow() override;

    BYTE recommendation() const { return recommendation_; }
    QString recommendationText() const;
    QPushButton* fullButton() const { return full_; }
    QPushButton* partialButton() const { return partial_; }
    QPushButton* recountButton() const { return recount_; }
    // The progress window of the run under way (nullptr when none).
    JobProgressWindow* progressWindow() const { return progress_; }
    // The run that ran last (nullptr before the first).
    const IndexRun* lastRun() const;

    // The buttons: a run of type 1 (full) or 2 (partial); the full recount.
    void startRun(int indexType);
    void recount();
    // Test seam: messages per step of the runs started from here (0: the
    // indexing speed setting).
    void setBatchSize(int messages) { batchSize_ = messages; }

signals:
    // A run ended; `completed` when it reached its end.
    void runFinished(bool completed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool readCatalog(ULONG& position, ULONG& count);
    void check(bool quick);
    void showRecommendation();
    void onRunFinished(bool completed);

    BYTE recommendation_ = 99;
    bool readable_ = true;
    bool closeAfterRun_ = false;  // closed while a run was winding down
    int batchSize_ = 0;
    QStackedLayout* pages_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* advice_ = nullptr;
    QPushButton* full_ = nullptr;
    QPushButton* partial_ = nullptr;
    QPushButton* recount_ = nullptr;
    QPushButton* cancel_ = nullptr;
    JobProgressWindow* progress_ = nullptr;
    std::unique_ptr<JobProgressWindow> finishedProgress_;
};

}  // namespace pm
