#pragma once
// BrowseBatch: the predefined import procedures ("Predefined Import
// Procedures ["), with the buttons that add, update and delete them through
// the import definition editor.
#include <QWidget>

#include "common/types.h"

class QGroupBox;
class QPushButton;
class QTreeWidget;

namespace pm {

class ImportDefinitionEditor;

class ImportDefinitionsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "BrowseBatch";

    explicit ImportDefinitionsWindow(QWidget* parent = nullptr);

    // Reads the definitions again, keeping the highlighted one when it is there.
    void refresh();
    // The identifier of the highlighted definition (0 when none).
    ULONG highlighted() const;
    // Highlights definition `id`; false when it is not listed.
    bool highlight(ULONG id);

    // Opens the editor for `request` (InsertRecord, ChangeRecord,
    // DeleteRecord) on the highlighted definition; the list follows once it
    // is accepted. nullptr when there is nothing to change or delete.
    ImportDefinitionEditor* openEditor(LONG request);

    QTreeWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* deleteButton() const { return delete_; }

private:
    void updateButtons();

    QGroupBox* box_;
    QTreeWidget* list_;
    QPushButton* add_;
    QPushButton* update_;
    QPushButton* delete_;
    QPushButton* close_;
};

}  // namespace pm
