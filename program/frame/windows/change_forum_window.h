#pragma once
// ChangeForum: the list of all databases from which the active database is
// chosen. Enter or a double click makes the highlighted database active and
// closes the window; a right click changes its import flag (and names a
// database the rebuild could not name); Delete, Shift+D, Shift+K and
// Shift+N set its status, Delete also making it active and closing.
#include <QPointer>
#include <QWidget>

#include "common/types.h"
#include "tables/windows/catalog_view.h"

class QMenu;
class QTabBar;

namespace pm::frame {

class FrameSettings;
class RenameDatabaseForm;

class ChangeForumWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChangeForumWindow(FrameSettings& settings, QWidget* parent = nullptr);

    CatalogView* list() const { return list_; }
    QTabBar* orders() const { return orders_; }

    // The pop-up for the highlighted row (built afresh, not shown).
    QMenu* popupMenu();
    // Makes the database of `row` active and closes the window.
    void choose(int row);
    // Allows or disallows import for the highlighted database.
    void setImport(bool allowed);
    // Sets the status of the highlighted database (Delete also chooses it).
    void setStatus(BYTE status);
    // Opens the name form for the highlighted database (open, not modal).
    RenameDatabaseForm* renameHighlighted();
    // Reads the catalog again.
    void reload();

protected:
    // Keeps the column widths for the next time (saved with the settings at exit).
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateTitle();

    FrameSettings& settings_;
    CatalogModel* model_;
    CatalogView* list_;
    QTabBar* orders_;
    QPointer<QMenu> menu_;
};

}  // namespace pm::frame
