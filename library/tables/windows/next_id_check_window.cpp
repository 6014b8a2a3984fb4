#include "tables/windows/next_id_check_window.h"

#include <QMdiSubWindow>

#include "tables/identifiers/next_id_check.h"

namespace pm {

NextIdCheckWindow::NextIdCheckWindow(QWidget* parent) : JobProgressWindow(std::make_unique<NextIdCheck>(), parent) {
    setCancelText(QStringLiteral("Abort"));
    setCounterLabel("Databases checked", QStringLiteral("Databases checked:"));
    // Every end is told, the aborted one included; then the window (and the
    // frame's window around it) closes.
    setCloseWhenFinished(false);
    connect(this, &JobProgressWindow::finished, this, [this](bool completed) {
        emit checkEnded(completed);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
        else close();
    });
}

const NextIdCheck& NextIdCheckWindow::check() const { return static_cast<const NextIdCheck&>(job()); }

}  // namespace pm
