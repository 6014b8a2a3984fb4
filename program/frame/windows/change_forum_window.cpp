#include "frame/windows/change_forum_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTabBar>
#include <QVBoxLayout>

#include "common/globals.h"
#include "frame/frame_settings.h"
#include "frame/windows/child_window.h"
#include "frame/windows/rename_database_form.h"
#include "tables/catalog/catalog_edits.h"

namespace pm::frame {

namespace {

// The locator delay is kept in tenths of a second.
int locatorDelayMs(FrameSettings& settings) {
    const LONG tenths = settings.value(ItemLocatorDelay);
    return tenths > 0 ? static_cast<int>(tenths) * 100 : 1500;
}

QColor statusColour(FrameSettings& settings, int item, LONG fallback) {
    const LONG v = settings.value(item);
    return colourFromRgbValue(v != 0 ? v : fallback);
}

}  // namespace

ChangeForumWindow::ChangeForumWindow(FrameSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    orders_ = new QTabBar;
    orders_->addTab(QStringLiteral("By Name"));
    orders_->addTab(QStringLiteral("By Directory"));
    model_ = new CatalogModel({CatalogColumn::Name, CatalogColumn::Type, CatalogColumn::Directory,
                               CatalogColumn::MessageCount, CatalogColumn::CountValid, CatalogColumn::ImportAllowed},
                              this);
    model_->setStatusColours(statusColour(settings, ItemKeepColour, 0x800000), statusColour(settings, ItemDeleteColour, 255));
    list_ = new CatalogView(model_);
    list_->setToolTip(QStringLiteral("Right click to change import status"));
    list_->setLocatorDelay(locatorDelayMs(settings));
    list_->setColumnWidth(0, 300);
    list_->setColumnWidth(1, 90);
    list_->setColumnWidth(2, 70);
    list_->setColumnWidth(3, 80);
    list_->setColumnWidth(4, 70);
    ColumnWidths widths{};
    if (settings.columns(ColumnsChangeForum, widths)) list_->applyColumnWidths(widths);
    list_->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(orders_);
    layout->addWidget(list_);
    resize(760, 420);

    connect(list_, &CatalogView::chosen, this, &ChangeForumWindow::choose);
    connect(orders_, &QTabBar::currentChanged, this, [this] { reload(); });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = list_->indexAt(pos);
        if (!index.isValid()) return;
        list_->highlightRow(index.row());
        popupMenu()->popup(list_->viewport()->mapToGlobal(pos));
    });

    model_->reload(CatalogOrder::ByName);
    list_->highlightDatabase(Mem.ForumNumber);
    updateTitle();
    setFocusProxy(list_);
}

void ChangeForumWindow::closeEvent(QCloseEvent* event) {
    settings_.storeColumns(ColumnsChangeForum, list_->columnWidths(), std::min(5, model_->columnCount()));
    QWidget::closeEvent(event);
}

void ChangeForumWindow::updateTitle() {
    setWindowTitle(QString(" Database Selection [%1]").arg(catalogCount()));
}

void ChangeForumWindow::reload() {
    list_->reload(orders_->currentIndex() == 1 ? CatalogOrder::ByDirectory : CatalogOrder::ByName);
    updateTitle();
}

QMenu* ChangeForumWindow::popupMenu() {
    delete menu_;
    menu_ = new QMenu(this);
    menu_->addAction(QStringLiteral("Allow import"), this, [this] { setImport(true); });
    menu_->addAction(QStringLiteral("Disallow import"), this, [this] { setImport(false); });
    const CatalogEntry* e = list_->currentEntry();
    if (e && isUnknownDatabaseName(e->name, e->dirNumber)) {
        menu_->addSeparator();
        menu_->addAction(QStringLiteral("Change database name"), this, [this] { renameHighlighted(); });
    }
    return menu_;
}

void ChangeForumWindow::choose(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    if (!chooseDatabase(model_->entry(row).id)) {
        reload();  // it went meanwhile
        return;
    }
    GlobalResponse = RequestCompleted;
    closeChildWindow(this);
}

void ChangeForumWindow::setImport(bool allowed) {
    const CatalogEntry* e = list_->currentEntry();
    if (!e) return;
    bool changed = false;
    if (setImportAllowed(e->id, allowed, &changed) && changed) reload();
}

void ChangeForumWindow::setStatus(BYTE status) {
    const CatalogEntry* e = list_->currentEntry();
    if (!e) return;
    const ULONG id = e->id;
    if (!setDatabaseStatus(id, status)) return;
    reload();
    if (status == StatusDelete) {
        // Active and closed, so that the frame can offer to delete it.
        if (chooseDatabase(id)) {
            GlobalResponse = RequestCompleted;
            closeChildWindow(this);
        }
    }
}

RenameDatabaseForm* ChangeForumWindow::renameHighlighted() {
    const CatalogEntry* e = list_->currentEntry();
    if (!e) return nullptr;
    auto* form = new RenameDatabaseForm(e->id, QString::fromStdString(e->name), this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &QDialog::accepted, this, [this] { reload(); });
    form->open();
    return form;
}

bool ChangeForumWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool shift = key->modifiers() == Qt::ShiftModifier;
        if ((key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) || (shift && key->key() == Qt::Key_D)) {
            setStatus(StatusDelete);
            return true;
        }
        if (shift && key->key() == Qt::Key_K) {
            setStatus(StatusKeep);
            return true;
        }
        if (shift && key->key() == Qt::Key_N) {
            setStatus(StatusNormal);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChangeForumWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        GlobalResponse = RequestCancelled;
        closeChildWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pm::frame
