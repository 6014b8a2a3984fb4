#pragma once
// BrowseBatch: the predefined import procedures ("Predefined Import
// Procedures ["), with the buttons that add, update and delete them through
// the import definition editor.
#include "common/windows/record_list_window.h"

namespace pm {

class ImportDefinitionEditor;

class ImportDefinitionsWindow : public RecordListWindow {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "BrowseBatch";

    explicit ImportDefinitionsWindow(QWidget* parent = nullptr);

    // Opens the editor for `request` (InsertRecord, ChangeRecord,
    // DeleteRecord) on the highlighted definition; the list follows once it
    // is accepted. nullptr when there is nothing to change or delete.
    ImportDefinitionEditor* openEditor(LONG request);

protected:
    void fill() override;
    void edit(LONG request) override { openEditor(request); }
};

}  // namespace pm
