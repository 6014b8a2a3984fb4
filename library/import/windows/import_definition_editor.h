#pragma once
// The import definition editor: the import wizard's steps as one form for
// a predefined import procedure, with its description. Opened to add
// (" Add New Import definition"), change (" Update Import definition") or
// delete (" Delete Import definition", the choices shown read-only) a
// definition; the accept button saves through the definition store and
// closes, a refused or conflicting save keeps the editor open.
#include <QDialog>

#include "common/types.h"
#include "import/definitions/import_definitions.h"

class QLineEdit;
class QPushButton;

namespace pm {

class ImportWizard;

class ImportDefinitionEditor : public QDialog {
    Q_OBJECT
public:
    // `request` is InsertRecord, ChangeRecord or DeleteRecord; `definition`
    // the one to change or delete (ignored for an insert).
    ImportDefinitionEditor(LONG request, const ImportDefinition& definition, QWidget* parent = nullptr);

    QLineEdit* description() const { return description_; }
    ImportWizard* choices() const { return choices_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Saves (or deletes) and closes; false when it stays open.
    bool acceptDefinition();
    // The definition as saved (its identifier set after an insert).
    const ImportDefinition& saved() const { return saved_; }

private:
    LONG request_;
    ImportDefinition kept_;   // as read, for the concurrent-change check
    ImportDefinition saved_;
    QLineEdit* description_;
    ImportWizard* choices_;
    QPushButton* accept_;
    QPushButton* cancel_;
};

// The import request a stored definition describes, for showing it (not
// completed: a mailbox that has gone is shown as none).
ImportRequest requestForEditing(const ImportDefinition& definition);

}  // namespace pm
