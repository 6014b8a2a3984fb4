#pragma once
// RedirectMeny: the redirection wizard. Its pages: what redirection is;
// the newsgroup databases with the target each is redirected to, the
// target databases ("Newsgroups redirected to " the chosen one) and "Add
// Target Newsgroup Database"; and the start of the run that moves the
// stored messages ("MergeRedirection") and the purge after it
// ("PurgeRedir"). Opening it keeps the state before the person's changes.
#include <QWidget>
#include <functional>

#include "common/types.h"
#include "common/windows/job_launcher.h"
#include "merge/redirection_settings.h"

class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace pm {

class RedirectWizard : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "RedirectMeny";
    static constexpr const char* RunWindowName = "MergeRedirection";
    static constexpr const char* PurgeWindowName = "PurgeRedir";

    enum Page { IntroductionPage, SettingsPage, StartPage, PageCount };

    explicit RedirectWizard(JobLauncher launch, QWidget* parent = nullptr);

    int page() const;
    void showPage(int page);

    QTableWidget* newsgroups() const { return newsgroups_; }
    QListWidget* targets() const { return targets_; }
    QLabel* redirectedTitle() const { return redirectedTitle_; }
    QListWidget* redirected() const { return redirected_; }
    QPushButton* addTargetButton() const { return addTarget_; }
    QPushButton* redirectButton() const { return redirect_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* outcome() const { return outcome_; }

    // Asks for the name of a new target database; the default shows an input box.
    using NameAsker = std::function<QString(QWidget* parent)>;
    void setNameAsker(NameAsker asker) { askName_ = std::move(asker); }

    // "Add Target Newsgroup Database": true when one was added.
    bool addTarget();
    // Redirects the highlighted newsgroup to the highlighted target (or
    // removes its redirection); true when it was stored.
    bool redirectHighlighted(bool toTarget);
    // Reads the catalog again.
    void reload();
    // Starts the run; the purge follows it when it completes.
    bool start();

signals:
    // The run and the purge after it ended; `completed` when both were Done.
    void redirectionFinished(bool completed);

private:
    void showRedirectedTo();
    void updateButtons();
    void purge(std::vector<RedirectionJob> jobs);

    JobLauncher launch_;
    NameAsker askName_;
    bool running_ = false;
    QStackedWidget* pages_;
    QTableWidget* newsgroups_;
    QListWidget* targets_;
    QLabel* redirectedTitle_;
    QListWidget* redirected_;
    QPushButton* addTarget_;
    QPushButton* redirect_;
    QPushButton* remove_;
    QLabel* outcome_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* start_;
    QPushButton* cancel_;
};

}  // namespace pm
