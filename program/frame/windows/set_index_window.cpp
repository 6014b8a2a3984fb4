#include "frame/windows/set_index_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/catalog_list.h"

namespace pm::frame {

SetIndexWindow::SetIndexWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QString(" Word Index Status [%1]").arg(QString::fromStdString(Mem.Description)));
    indexed_ = new QLabel;
    auto_ = new QLabel;
    toggle_ = new QPushButton;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(indexed_);
    layout->addWidget(auto_);
    layout->addSpacing(8);
    layout->addWidget(toggle_);
    layout->addStretch();
    connect(toggle_, &QPushButton::clicked, this, &SetIndexWindow::toggle);
    refresh();
    resize(440, 150);
}

QString SetIndexWindow::indexedLine() const { return indexed_->text(); }
QString SetIndexWindow::autoLine() const { return auto_->text(); }

void SetIndexWindow::refresh() {
    indexed_->setText(activeDatabaseIsWordIndexed() ? QStringLiteral("The database is word indexed")
                                                    : QStringLiteral("The database is not word indexed"));
    CatalogEntry e;
    const bool found = readCatalogEntry(Mem.ForumNumber, e);
    toggle_->setEnabled(found);
    if (found && e.indexType == 1) {
        auto_->setText(QStringLiteral("Auto indexing (in Task Manager) is activated"));
        toggle_->setText(QStringLiteral(" Deactivate auto word indexing (in Task Manager)"));
    } else {
        auto_->setText(QStringLiteral("Auto indexing (in Task Manager) is deactivated"));
        toggle_->setText(QStringLiteral(" Activate auto word indexing (in Task Manager)"));
    }
}

void SetIndexWindow::toggle() {
    BYTE value = 0;
    toggleAutoIndexing(Mem.ForumNumber, value);
    refresh();
}

}  // namespace pm::frame
