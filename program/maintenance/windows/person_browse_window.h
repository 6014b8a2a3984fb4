#pragma once
// BrowsePerson: the persons of the active database (forum members, mail
// partners or newsgroup participants) by last name or by address, with
// their name form, their aliases (ShowAlias), their messages in the
// message browse, and the manual merge (MergePersons), to which persons
// are dragged from the list.
#include <QDialog>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "common/types.h"

class QTabBar;
class QToolButton;
class QPushButton;

namespace pm {

class JobProgressWindow;
class MaintenanceTables;
class PagedList;
class PagedListModel;
class PagedTableView;

// The mime type persons are dragged as (their ids, one a line).
inline constexpr const char* PersonMimeType = "application/x-postmoor-person";

// The merge list: takes dropped persons.
class MergeList : public QTreeWidget {
    Q_OBJECT
public:
    explicit MergeList(QWidget* parent = nullptr);
    // Whether `data` holds dragged persons; takes them (personDropped).
    static bool canTake(const QMimeData* data);
    void take(const QMimeData* data);

signals:
    void personDropped(ULONG id);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// MergePersons: the persons to merge, one of them ("Keep") the survivor.
class MergePersonsWindow : public QDialog {
    Q_OBJECT
public:
    explicit MergePersonsWindow(QWidget* parent = nullptr);

    MergeList* list() const { return list_; }
    QPushButton* keepButton() const { return keep_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* mergeButton() const { return merge_; }
    JobProgressWindow* progress() const { return progress_; }

    // A dropped person: ignored when listed already; the first is kept.
    void addPerson(ULONG id);
    // "Keep highlighted person", "Remove highlighted person fron merge".
    void keepHighlighted();
    void removeHighlighted();
    // "Merge selected persons": runs the merge of the Merge rows into the
    // Keep row.
    void mergeSelected();

signals:
    void merged();

private:
    void paintRows();

    MergeList* list_ = nullptr;
    QPushButton* keep_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* merge_ = nullptr;
    JobProgressWindow* progress_ = nullptr;
};

class PersonBrowseWindow : public QWidget {
    Q_OBJECT
public:
    // `showMessages` opens the message browse on the person's messages.
    explicit PersonBrowseWindow(std::function<void(ULONG)> showMessages, QWidget* parent = nullptr);
    ~PersonBrowseWindow() override;

    QTabBar* tabs() const { return tabs_; }
    // The list (a paged view: rows are read as they come into sight).
    PagedTableView* table() const { return table_; }
    PagedListModel* model() const { return model_; }
    QToolButton* aliasButton() const { return alias_; }
    QToolButton* mergeButton() const { return merge_; }
    QToolButton* messagesButton() const { return messages_; }
    QToolButton* nameButton() const { return name_; }
    MergePersonsWindow* mergeWindow() const { return mergeWindow_; }

    // Reads the persons again in the order of the current tab.
    void reload();
    // The id of the highlighted person (0 none); selects the row of `id`.
    ULONG current() const;
    void select(ULONG id);

    // The buttons. The dialogs run modally unless `modal` is false (tests
    // drive them and close them themselves); the created dialog is returned.
    QDialog* editName(bool modal = true);
    QDialog* showAliases(bool modal = true);
    MergePersonsWindow* openMerge();
    // "Show messages for this sender": false (after "No messages from
    // address") when the person sent none.
    bool showMessages();

private:
    std::unique_ptr<MaintenanceTables> tables_;
    std::function<void(ULONG)> showMessages_;
    QTabBar* tabs_ = nullptr;
    std::unique_ptr<PagedList> list_;
    PagedListModel* model_ = nullptr;
    PagedTableView* table_ = nullptr;
    QToolButton* alias_ = nullptr;
    QToolButton* merge_ = nullptr;
    QToolButton* messages_ = nullptr;
    QToolButton* name_ = nullptr;
    MergePersonsWindow* mergeWindow_ = nullptr;
};

}  // namespace pm
