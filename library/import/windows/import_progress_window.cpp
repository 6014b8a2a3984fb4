#include "import/windows/import_progress_window.h"

namespace pm {

ImportProgressWindow::ImportProgressWindow(ImportRequest request, ImportOptions options, QWidget* parent)
    : JobProgressWindow(std::make_unique<ImportRun>(std::move(request), std::move(options)), parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setProperty("helpTopic", QStringLiteral("~Import_Processing"));
}

}  // namespace pm
