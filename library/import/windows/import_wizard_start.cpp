// The import wizard's last step: the request from the fields, the checks,
// the saved definition and the start of the import.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include "common/user_interface.h"
#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "import/driver/format_table.h"
#include "import/driver/import_run.h"
#include "import/windows/import_wizard.h"
#include "tables/windows/database_choice_field.h"

namespace pm {

ImportRequest ImportWizard::request() const {
    ImportRequest r;
    setRequestFormat(r, format());
    r.importPath = path_->text().trimmed().toStdString();
    r.selectionMethod = method();
    if (r.selectionMethod == SelectFiles) {
        r.masks.clear();
        for (int i = 0; i < files_->count(); ++i) r.selectedFiles.push_back(files_->item(i)->text().toStdString());
    } else {
        r.masks = masks_->text().trimmed().toStdString();
    }
    r.importMail = mail_->isEnabled() && mail_->isChecked() ? 1 : 0;
    r.importForum = forum_->isEnabled() && forum_->isChecked() ? 1 : 0;
    r.importNewsgroup = newsgroup_->isEnabled() && newsgroup_->isChecked() ? 1 : 0;
    r.messageFilter = filter_->isChecked() ? FilterCreateDatabasesOnly : 0;
    r.allowReimport = reimport_->isChecked() ? 1 : 0;
    r.mailTopic = r.importMail ? static_cast<LONG>(topic_->currentData().toUInt()) : 0;
    r.mailbox = r.importMail ? static_cast<LONG>(mailbox_->databaseId()) : 0;
    r.targetDatabase = r.importForum ? static_cast<LONG>(target_->databaseId()) : 0;
    return r;
}

void ImportWizard::setRequest(const ImportRequest& r) {
    chooseFormat(r.format != 0 ? r.format : DefaultFormatNumber);
    chooseMethod(r.selectionMethod);
    masks_->setText(QString::fromStdString(r.masks));
    setSource(r.importPath, r.masks, r.selectedFiles);
    // The kinds the format allows, as stored.
    mail_->setChecked(mail_->isEnabled() && r.importMail != 0);
    forum_->setChecked(forum_->isEnabled() && r.importForum != 0);
    newsgroup_->setChecked(newsgroup_->isEnabled() && r.importNewsgroup != 0);
    mailbox_->setDatabase(static_cast<ULONG>(r.mailbox));
    target_->setDatabase(static_cast<ULONG>(r.targetDatabase));
    filter_->setChecked(r.messageFilter == FilterCreateDatabasesOnly);
    reimport_->setChecked(r.allowReimport != 0);
    loadTopics();
    const int topic = topic_->findData(static_cast<uint>(r.mailTopic));
    topic_->setCurrentIndex(topic >= 0 ? topic : 0);
    updateButtons();
}

void ImportWizard::useAsEditor(bool readOnly) {
    start_->hide();
    cancel_->hide();
    saveDefinition_->setChecked(false);
    saveDefinition_->hide();
    for (QWidget* page : {pages_->widget(FormatPage), pages_->widget(KindsPage), pages_->widget(SourcePage),
                          pages_->widget(OptionsPage)})
        page->setEnabled(!readOnly);
}

bool ImportWizard::checkChoices() {
    const ImportRequest r = request();
    if (!formatImportable(r.format)) {
        message("Import Error", "Files of the type " + r.formatName + " cannot be imported by this version.",
                Icon::Exclamation);
        showPage(FormatPage);
        return false;
    }
    if (!r.importMail && !r.importForum && !r.importNewsgroup) {
        message("Warning!", "No message type selected", Icon::Exclamation);
        showPage(KindsPage);
        return false;
    }
    if (r.importPath.empty()) {
        showPage(SourcePage);
        path_->setFocus();
        return false;
    }
    if (r.selectionMethod != SelectFiles && splitList(r.masks).empty()) {
        message("Warning!", "No file extension(s) specified", Icon::Exclamation);
        showPage(SourcePage);
        return false;
    }
    if (r.selectionMethod == SelectFiles && r.selectedFiles.empty()) {
        message("Warning!", "No file(s) selected", Icon::Exclamation);
        showPage(SourcePage);
        return false;
    }
    return true;
}

bool ImportWizard::start() {
    if (!checkChoices()) return false;
    ImportRequest r = request();
    switch (completeImportRequest(r)) {
        case RequestProblem::None: break;
        case RequestProblem::MailboxMissing:
            message("Mail Database Missing", "Please choose the mail database the mail is to be imported to.",
                    Icon::Exclamation);
            showPage(KindsPage);
            return false;
        case RequestProblem::TargetMissing:
            message("Database Missing", "The database the forum messages are to be imported to no longer exists.",
                    Icon::Exclamation);
            showPage(KindsPage);
            return false;
        default: return false;
    }
    // A failed save has been reported; the import runs all the same.
    if (saveDefinition_->isChecked() && saveDefinitionTo_) saveDefinitionTo_(r);
    JobProgressWindow* window = launch_(QString::fromLatin1(ProgressWindowName), std::make_unique<ImportRun>(r));
    if (!window) return false;
    emit importStarted(window);
    closeHostWindow(this);
    return true;
}

}  // namespace pm
