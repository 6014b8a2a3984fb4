#include "import/windows/import_progress_window.h"

namespace pm {

ImportProgressWindow::ImportProgressWindow(ImportRequest request, ImportOptions options, QWidget* parent)
    : JobProgressWindow(std::make_unique<ImportRun>(std::move(request), std::move(options)), parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setCounterLabel("Imported", tr("Messages imported:"));
    setCounterLabel("Skipped", tr("Messages skipped:"));
    setCounterLabel("Work records", tr("Messages converted:"));
    setCounterLabel("Header records", tr("Messages in database:"));
}

}  // namespace pm
