#pragma once
// The selection list of the database look-up (ForumLup): all databases or
// those of one type, in name or directory order, with "Add a new Forum"
// when forums are listed, "Allow import|Disallow import" on a right click,
// Enter or a double click to choose and Esc to cancel.
#include <QDialog>
#include <functional>
#include <string>

#include "tables/catalog/forum_lookup.h"
#include "tables/windows/catalog_view.h"

class QLabel;
class QMenu;
class QPushButton;
class QTabBar;

namespace pm {

class DatabaseSelectionDialog : public QDialog {
    Q_OBJECT
public:
    // `mode` 1 lists only databases of `type` (1 forum, 2 mail); any other
    // mode lists all. The list opens on (or near) `startName`.
    DatabaseSelectionDialog(int mode, BYTE type, const std::string& startName, QWidget* parent = nullptr);

    CatalogView* list() const { return list_; }
    QTabBar* orders() const { return orders_; }
    QPushButton* addButton() const { return add_; }
    QLabel* listTitle() const { return title_; }

    // The database chosen (valid after the dialog was accepted).
    ULONG chosenId() const { return chosen_.id; }
    const std::string& chosenName() const { return chosen_.name; }
    BYTE chosenType() const { return chosen_.type; }

    // Asks for the name of a new forum; the default shows an input box.
    using NameAsker = std::function<QString(QWidget* parent, const QString& suggestion)>;
    void setNameAsker(NameAsker asker) { askName_ = std::move(asker); }

    // The pop-up of a right click on the highlighted row (not shown).
    QMenu* importMenu();
    // Adds a forum database with an asked name; true when one was added.
    bool addForum();
    // Sets or clears the import flag of the highlighted database.
    void setImport(bool allowed);

private:
    void choose(int row);
    void reload();

    int mode_;
    BYTE type_;
    CatalogModel* model_;
    CatalogView* list_;
    QTabBar* orders_;
    QLabel* title_;
    QPushButton* add_;
    QMenu* menu_ = nullptr;
    CatalogEntry chosen_;
    QString startName_;
    NameAsker askName_;
};

// The look-up of a database by a typed name: exactly one match is taken
// without asking (unless `showList`); otherwise the selection list opens.
// Returns Chosen with id, name and type of the database, or ShowList with
// id 0 when the person cancelled the list.
ForumLookup lookUpDatabase(const std::string& typed, int mode, BYTE type, bool showList,
                           QWidget* parent = nullptr);

}  // namespace pm
