#include "import/windows/import_definition_editor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/record_list_window.h"
#include "import/windows/import_wizard.h"

namespace pm {

ImportRequest requestForEditing(const ImportDefinition& definition) {
    ImportRequest r;
    importRequestFromDefinition(definition.record, definition.fileEntries, r);
    // An empty file list stops the building before the format is set.
    if (r.format == 0) setRequestFormat(r, definition.record.FILETYPE);
    if (r.selectionMethod != SelectFiles) {
        r.masks.clear();
        for (const std::string& entry : definition.fileEntries)
            if (!entry.empty()) r.masks += (r.masks.empty() ? "" : ";") + entry;
    }
    return r;
}

ImportDefinitionEditor::ImportDefinitionEditor(LONG request, const ImportDefinition& definition, QWidget* parent)
    : QDialog(parent), request_(request), kept_(definition), saved_(definition) {
    setObjectName(QStringLiteral("ImportDefinitionEditor"));
    setProperty("helpTopic", QStringLiteral("~Import_Definition"));
    const QString what = QStringLiteral("Import definition");
    setWindowTitle(recordEditorTitle(request, what));

    description_ = new QLineEdit;
    description_->setMaxLength(static_cast<int>(decltype(BATRecord::DESCRIPTION)::width));
    choices_ = new ImportWizard(JobLauncher{});
    choices_->useAsEditor(request == DeleteRecord);
    if (request != InsertRecord) {
        description_->setText(QString::fromStdString(definition.record.DESCRIPTION.str()));
        choices_->setRequest(requestForEditing(definition));
    }
    description_->setReadOnly(request == DeleteRecord);

    QHBoxLayout* buttons = recordEditorButtons(this, recordEditorAcceptText(request, what), accept_, cancel_,
                                               [this] { acceptDefinition(); });
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Description:"), description_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(choices_, 1);
    layout->addLayout(buttons);
    resize(660, 560);
}

bool ImportDefinitionEditor::acceptDefinition() {
    if (request_ == DeleteRecord) {
        if (!deleteImportDefinition(kept_.record.ID).deleted) return false;
        accept();
        return true;
    }
    const ImportRequest r = choices_->request();
    if (const DefinitionCheck path = checkDefinitionPath(r.importPath); !path.ok()) {
        message(path.caption, path.text, Icon::Exclamation);
        choices_->showPage(ImportWizard::SourcePage);
        return false;
    }
    ImportDefinition d = definitionFromRequest(r, description_->text().trimmed().toStdString());
    if (request_ == ChangeRecord) {
        d.record.ID = kept_.record.ID;
        d.record.TYPE = kept_.record.TYPE;
    }
    switch (saveImportDefinition(d, request_ == ChangeRecord ? &kept_ : nullptr)) {
        case SaveOutcome::Saved:
            saved_ = d;
            accept();
            return true;
        case SaveOutcome::Refused:
            // The check named the fault; the source step holds most of them.
            if (!description_->text().trimmed().isEmpty()) choices_->showPage(ImportWizard::SourcePage);
            else description_->setFocus();
            return false;
        case SaveOutcome::Conflict:
        case SaveOutcome::Failed:
            return false;
    }
    return false;
}

}  // namespace pm
