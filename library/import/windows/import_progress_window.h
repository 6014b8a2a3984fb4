#pragma once
// The progress window of an import run ("ImportIt"): it drives the run with
// a zero-interval timer, one slice per tick, and shows the status lines,
// the counters and a progress bar. Cancel (or closing the window) asks the
// run to stop; the run itself asks the person when stopping would leave the
// counts wrong.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "import/driver/import_run.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace pm {

class ImportProgressWindow : public QWidget {
    Q_OBJECT

public:
    // The window name the window manager registers it under, and its group.
    static constexpr const char* WindowName = "ImportIt";
    static constexpr const char* WindowGroup = "ImportGroup";

    // Prepares the run (nothing is opened until start()).
    explicit ImportProgressWindow(ImportRequest request, ImportOptions options = {}, QWidget* parent = nullptr);
    ~ImportProgressWindow() override;

    // Starts driving the run. Does nothing once started.
    void start();
    // Whether the run is still going.
    bool running() const;
    const ImportRun& run() const { return *run_; }
    // When set (the default) the window closes itself after finished().
    void setCloseWhenFinished(bool on) { closeWhenFinished_ = on; }

signals:
    // The run ended: `completed` when it stored everything (the frame's
    // completion event), false when it failed or was stopped (abort event).
    void finished(bool completed);

public slots:
    // The Cancel button: stops the run between slices (the run may ask first).
    void requestCancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void tick();

private:
    void refresh();
    void finish();

    std::unique_ptr<ImportRun> run_;
    QTimer timer_;
    QElapsedTimer sinceRefresh_;
    ImportState shownState_ = ImportState::Initialise;
    bool started_ = false;
    bool finishedSent_ = false;
    bool closeWhenFinished_ = true;

    QLabel* status_ = nullptr;
    QLabel* lines_[3] = {};
    QLabel* imported_ = nullptr;
    QLabel* skipped_ = nullptr;
    QLabel* workRecords_ = nullptr;
    QLabel* headerRecords_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pm
