#pragma once
// The help: HTML pages shipped inside the program, one per topic, shown in
// one help window with a list of pages and a word search. Windows name
// their topic in the "helpTopic" property; F1 opens the topic of the window
// that has the focus. Escape or Close closes the help window.
#include <QString>
#include <QStringList>
#include <QWidget>

class QApplication;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QShowEvent;
class QListWidget;
class QTextBrowser;

namespace pm::frame {

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows `topic` ("~Change_Active_Database" or "Contents"); an unknown
    // topic shows the contents with a note. Returns whether it was known.
    bool showTopic(const QString& topic);
    // Lists the pages holding every word of `words` and shows the first;
    // when none holds them all, says so and lists every page again.
    // Returns the number of pages found.
    int search(const QString& words);
    // Puts the focus into the search field.
    void focusSearch();

    QString currentTopic() const { return current_; }
    // The note under the search field ("" when there is none).
    QString searchNote() const;
    QTextBrowser* browser() const { return browser_; }
    QListWidget* pages() const { return pages_; }

    // Every topic shipped, by file name without ".html".
    static QStringList topics();
    // Whether `topic` is shipped.
    static bool hasTopic(const QString& topic);
    // The page's title.
    static QString topicTitle(const QString& topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void listTopics(const QStringList& topics);

    QLineEdit* searchField_;
    QLabel* note_;
    QListWidget* pages_;
    QTextBrowser* browser_;
    QString current_;
};

// The topic for `widget`: the "helpTopic" of it or of its nearest parent
// that has one; "Contents" when none has.
QString helpTopicOf(const QWidget* widget);

// Opens the program's one help window at `topic`. While a modal window is
// open the help window belongs to it, so it can still be used.
HelpViewer* openHelp(const QString& topic);

// Makes F1 open the help at the topic of the focused window, everywhere in
// the application.
void installHelpKey(QApplication& application);

}  // namespace pm::frame
