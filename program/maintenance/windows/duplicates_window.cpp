#include "maintenance/windows/duplicates_window.h"

#include "common/globals.h"
#include "common/user_interface.h"
#include "maintenance/duplicate_run.h"

namespace pm {

namespace {

QString membersOf(BYTE type) {
    switch (type) {
        case TypeMail: return QStringLiteral("mail partners");
        case TypeNewsgroup: return QStringLiteral("newsgroup participants");
        default: return QStringLiteral("forum members");
    }
}

}  // namespace

DuplicatesWindow::DuplicatesWindow(QWidget* parent)
    : RunWindow((quiet() ? QStringLiteral(" Scheduled Duplicate Merging [") : QStringLiteral(" Duplicate Merging [")) +
                    QString::fromStdString(Mem.Description) + "]",
                tr("Merges the %1 that share an address (letter case aside) into one:\n"
                   "their messages go to the one that stays.")
                    .arg(membersOf(Mem.ForumType)),
                tr("Start the duplicate elimination process"), parent) {}

RunWindow::Run DuplicatesWindow::makeRun() {
    auto job = std::make_unique<DuplicateRun>();
    CounterLabels labels = job->counterLabels();
    return {std::move(job), std::move(labels)};
}

}  // namespace pm
