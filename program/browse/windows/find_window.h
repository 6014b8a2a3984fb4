#pragma once
// FindText and MailFind: the " Standard Search" beside the message or mail
// browse. "Next" looks for the text from the message the browse shows on,
// in the browse's order and view, one slice per timer tick; the browse moves
// to the message found, and "Next" goes on from there. At the end of the
// view the end is announced and the next "Next" starts over at the view's
// first message in the search direction (unless the browse moved since). "Options" shows where to look,
// the direction, the case and word choices and the date range. Closing the
// window stops a search that runs.
//
// The browse hears of the search through the frame: search started, found
// in the subject, found in the text, end of the view, and the window
// closed (EventFindStarted ... EventFindClosed); the message found and the
// text travel in the published found text.
#include <QWidget>
#include <memory>

#include "browse/browse_tables.h"
#include "browse/text_find.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace pm {

class FindWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindWindow(QWidget* parent = nullptr);
    ~FindWindow() override;

    // "FindText" beside the message browse, "MailFind" beside the mail browse.
    QString windowName() const;
    QLineEdit* textField() const { return text_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* optionsButton() const { return options_; }
    QWidget* optionsPanel() const { return panel_; }
    QLabel* statusLine() const { return status_; }

    // The window's fields as find options.
    FindOptions findOptions() const;
    void setFindOptions(const FindOptions& options);

    // "Next": starts a search (false when refused or one runs).
    bool findNext();
    // Whether a search runs; the last search's result.
    bool running() const;
    ULONG found() const { return found_; }
    FindMatch match() const { return match_; }
    // Runs the timer's slices until the search ends (tests).
    void finish();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void tick();
    void ended();
    ULONG browseMessage() const;

    std::unique_ptr<BrowseTables> tables_;
    std::unique_ptr<TextFind> job_;
    QTimer* timer_;
    QLineEdit* text_;
    QPushButton* next_;
    QPushButton* options_;
    QWidget* panel_;
    QRadioButton* both_;
    QRadioButton* headingOnly_;
    QRadioButton* newest_;
    QRadioButton* oldest_;
    QCheckBox* case_;
    QCheckBox* word_;
    QDateEdit* from_;
    QDateEdit* to_;
    QLabel* status_;
    QProgressBar* progress_;
    ULONG found_ = 0;
    FindMatch match_ = FindMatch::None;
    ULONG startedAt_ = 0;  // the browse's message when the last search started
    bool wrap_ = false;    // the last search reached the end of the view
    ULONG endAt_ = 0;      // the browse's message then
};

}  // namespace pm
