#pragma once
// A window that lists stored records by identifier under a titled box
// ("TITLE [count]") with the buttons that add, update and delete them
// through an editor dialog (the import procedures, the scheduled tasks).
// A subclass fills the rows and opens its editor; the list follows an
// accepted editor and keeps the highlighted record.
#include <QDialog>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "common/types.h"

class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QTreeWidget;

namespace pm {

class RecordListWindow : public QWidget {
    Q_OBJECT
public:
    // `what` names one record in the button tips ("Add a new " + what ...).
    RecordListWindow(const QString& title, const QString& what, const QStringList& headers, QWidget* parent = nullptr);

    // Reads the records again, keeping the highlighted one when it is there.
    void refresh();
    // The identifier of the highlighted record (0 when none).
    ULONG highlighted() const;
    // Highlights record `id`; false when it is not listed.
    bool highlight(ULONG id);

    QTreeWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* deleteButton() const { return delete_; }

protected:
    // Adds a row per record (addRow); called by refresh().
    virtual void fill() = 0;
    // Opens the editor for `request` (InsertRecord, ChangeRecord, DeleteRecord).
    virtual void edit(LONG request) = 0;

    void addRow(ULONG id, const QStringList& texts);
    // Opens `editor` (deleted when it closes); once accepted the list is read
    // again and the record `savedId` gives is highlighted.
    void follow(QDialog* editor, std::function<ULONG()> savedId);
    // The row of buttons, for a subclass's own controls.
    QHBoxLayout* buttonRow() const { return buttons_; }

private:
    void updateButtons();

    QString title_;
    QGroupBox* box_;
    QTreeWidget* list_;
    QHBoxLayout* buttons_;
    QPushButton* add_;
    QPushButton* update_;
    QPushButton* delete_;
    QPushButton* close_;
};

// The editor's texts for `request` on a record called `what` ("Task"):
// the title " Add New Task", " Update Task" or " Delete Task", and the accept
// button's " Accept new Task", " Accept update of Task" or " Confirm
// deletion of Task".
QString recordEditorTitle(LONG request, const QString& what);
QString recordEditorAcceptText(LONG request, const QString& what);
// The row of an editor's buttons, made here: `accept` (the default button,
// `acceptText`) runs `onAccept`, `cancel` rejects `editor`.
QHBoxLayout* recordEditorButtons(QDialog* editor, const QString& acceptText, QPushButton*& accept,
                                 QPushButton*& cancel, const std::function<void()>& onAccept);

}  // namespace pm
