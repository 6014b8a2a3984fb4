#pragma once
// BrowseMsgNmbr and BrowseMail: the list of message headers of the active
// database in one of its views, and below it the selected message's text.
//
// A thin view over a BrowseSession: the tabs choose the view, the strip
// above the list shows the narrowing value with its previous / choose /
// next buttons, the list is a paged model (rows read as they come into
// sight), the selection is published for the windows that follow it (the
// thread tree). Status marks come from the pop-up menu, the Message Status
// command and the keys Delete or Shift+D, Shift+K and Shift+N. The frame's
// navigation buttons move the selection and step the narrowing value.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_session.h"
#include "browse/browse_tables.h"
#include "browse/lookup_lists.h"
#include "frame/frame_events.h"
#include "sets/windows/set_operations_window.h"

class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QToolButton;

namespace pm::frame {
class FrameSettings;
}

namespace pm {

class PagedListModel;
class PagedTableView;
class TextPane;

class BrowseWindow : public QWidget, public frame::ToolbarTarget {
    Q_OBJECT
public:
    // The browse of the active database: the mail browse for a mail
    // database, the message browse otherwise. Opens in the view of the
    // default tab setting (item 38, mail 39).
    explicit BrowseWindow(frame::FrameSettings& settings, QWidget* parent = nullptr);
    ~BrowseWindow() override;

    // "BrowseMail" or "BrowseMsgNmbr".
    QString windowName() const;
    BrowseSession& session() { return *session_; }
    PagedTableView* list() const { return list_; }
    PagedListModel* model() const { return model_; }
    TextPane* textPane() const { return text_; }
    QTabBar* viewTabs() const { return tabs_; }
    QLabel* filterLabel() const { return filterLabel_; }
    QToolButton* bookmarkButton() const { return bookmark_; }

    // Shows `view` as its tab does (views 7 and 8 without a chosen word or
    // topic ask for one first).
    void showView(BYTE view);
    // Selects the list's row `row` and shows its text.
    void selectRow(int row);
    int currentRow() const;

    // The status pop-up menu (built afresh) and the marking it leads to:
    // `preset` 0 asks with the menu, 1-3 are the keys' message items.
    QMenu* statusMenu();
    void setStatus(int preset);
    // Chooses the narrowing value from its look-up list; steps it.
    void chooseFilterValue();
    void stepFilterValue(int direction);
    // Opens (or brings up) the thread tree.
    void showThreadTree();
    // Export Messages, Print Messages, Classify Message Sets: the set
    // operations window on the selected message, with `operation` chosen.
    void openSetOperations(SetOperation operation);
    // Copy to Clip-board: the plain copy of the selected message.
    void copyToClipboard();
    // Sets the bookmark on the selected message, or goes back to it.
    void toggleBookmark();
    ULONG bookmark() const { return bookmark_id_; }
    // Shows the message, in the view when it holds it, else in the thread view.
    void showMessage(ULONG number);
    // Selects message (mail) `number` when the view holds it; false when not.
    bool selectMessage(ULONG number);
    // Opens (or brings up) the window `name` that follows this browse (the
    // standard search, Attach Topics) through the frame; nullptr without
    // a frame or when it cannot open.
    QWidget* openFollower(const QString& name);
    // A professional search's result handed to the browse (see
    // BrowseSession::takeSearchResult); tells the user when nothing of the
    // search view was found. False when no message remained.
    bool showSearchResult(const std::vector<ULONG>& found, const std::vector<std::string>& words);
    // Reads the list again (another window changed the database).
    void refresh();
    // Opens (or brings up) the " Professional Search" over this browse's
    // database; each block it finds becomes the search result view.
    void openProfessionalSearch();
    QWidget* professionalSearch() const { return search_; }
    // Shows the messages person `person` sent (the person browse's
    // "Show messages for this sender").
    void showSenderMessages(ULONG person);

    // Test seams: how the pop-up menu and the look-up lists answer.
    void setMenuChooser(std::function<int(QMenu*)> chooser) { menuChooser_ = std::move(chooser); }
    void setLookupChooser(std::function<ULONG(LookupKind)> chooser) { lookupChooser_ = std::move(chooser); }

    bool toolbarButtonEnabled(frame::ToolbarButton button) const override;
    void pressButton(frame::ToolbarButton button);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The standard search's news (EventFindStarted ... EventFindClosed).
    void takeFindNews(int code);
    void buildLayout();
    void buildTabs();
    void applySettings();
    // After the session's list changed: the model, the row to select, the
    // title, the strip and the toolbar.
    void showList(std::int64_t select);
    void onCurrentRowChanged(int row);
    void showText();
    void updateTitle();
    void updateStrip();
    void updateBookmark();
    ULONG lookup(LookupKind kind);
    bool handleStatusKey(int key, Qt::KeyboardModifiers modifiers);
    int placeSlot() const;

    frame::FrameSettings& settings_;
    std::unique_ptr<BrowseTables> tables_;
    std::unique_ptr<BrowseSession> session_;
    QTabBar* tabs_ = nullptr;
    QLabel* filterLabel_ = nullptr;
    QToolButton* previousValue_ = nullptr;
    QToolButton* chooseValue_ = nullptr;
    QToolButton* nextValue_ = nullptr;
    QToolButton* bookmark_ = nullptr;
    QToolButton* treeButton_ = nullptr;
    QToolButton* statusButton_ = nullptr;
    QSplitter* splitter_ = nullptr;
    PagedTableView* list_ = nullptr;
    PagedListModel* model_ = nullptr;
    TextPane* text_ = nullptr;
    ULONG bookmark_id_ = 0;
    bool changingTabs_ = false;
    bool resetting_ = false;
    bool placed_ = false;
    std::function<int(QMenu*)> menuChooser_;
    std::function<ULONG(LookupKind)> lookupChooser_;
    QPointer<QWidget> standaloneTree_;
    QPointer<SetOperationsWindow> standaloneSets_;
    QPointer<QWidget> search_;
    BYTE viewBeforeSearch_ = 0;  // the view the first block of the search was taken from
};

}  // namespace pm
