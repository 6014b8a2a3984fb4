#pragma once
// BrowseBox: the list of mail databases behind "Mail Database Setup", from
// which the mail database form adds a new one or changes one.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "common/types.h"
#include "tables/windows/catalog_view.h"

class QPushButton;

namespace pm {
class MailDatabaseForm;
}

namespace pm::frame {

class FrameSettings;

class BrowseBoxWindow : public QWidget {
    Q_OBJECT
public:
    // `inserted` is told of every mail database the form adds.
    BrowseBoxWindow(FrameSettings& settings, std::function<void(ULONG)> inserted, QWidget* parent = nullptr);

    CatalogView* list() const { return list_; }
    QPushButton* insertButton() const { return insert_; }
    QPushButton* changeButton() const { return change_; }
    long mailCount() const { return count_; }
    ULONG nextDirectory() const { return nextDirectory_; }

    // Opens the form to add (GlobalRequest 1) or change (2) a mail database.
    MailDatabaseForm* insertDatabase();
    MailDatabaseForm* changeDatabase();

protected:
    // Keeps the column widths for the next time (saved with the settings at exit).
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateTitle();
    void findNextDirectory();

    FrameSettings& settings_;
    std::function<void(ULONG)> inserted_;
    CatalogModel* model_;
    CatalogView* list_;
    QPushButton* insert_;
    QPushButton* change_;
    long count_ = 0;
    ULONG nextDirectory_ = 1;
};

}  // namespace pm::frame
