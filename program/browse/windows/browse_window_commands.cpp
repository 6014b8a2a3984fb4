// The browse window's commands: status marks, narrowing values, the
// frame's buttons and commands, the bookmark, the thread tree and the
// search result.
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

#include "browse/text_find.h"
#include "browse/windows/browse_link.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/lookup_dialog.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "browse/windows/text_pane.h"
#include "browse/windows/thread_tree_window.h"
#include "common/globals.h"
#include "common/user_interface.h"
#include "frame/command_table.h"
#include "frame/main_frame.h"
#include "sets/copy_msg.h"
#include "sets/windows/set_operations_window.h"
#include "tables/services/library_services.h"
#include "wordindex/windows/professional_search_window.h"

namespace pm {

using frame::ToolbarButton;

QMenu* BrowseWindow::statusMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto& items = statusMenuItems(session_->databaseType());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && i % 3 == 0) menu->addSeparator();
        QAction* a = menu->addAction(QString::fromUtf8(items[i].text));
        a->setData(static_cast<int>(i + 1));
    }
    return menu;
}

void BrowseWindow::setStatus(int preset) {
    if (session_->selected() == 0) return;
    const StatusResult result = session_->setStatus(preset, [this] {
        QMenu* menu = statusMenu();
        int item = 0;
        if (menuChooser_) {
            item = menuChooser_(menu);
        } else {
            QAction* chosen = menu->exec(QCursor::pos());
            item = chosen ? chosen->data().toInt() : 0;
        }
        menu->close();
        return item;
    });
    if (!result.written) return;
    model_->refresh();
    list_->viewport()->update();
}

bool BrowseWindow::handleStatusKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool other = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (other) return false;
    int preset = 0;
    if (key == Qt::Key_Delete || (shift && key == Qt::Key_D)) preset = ChoiceDeleteMessage;
    else if (shift && key == Qt::Key_K) preset = ChoiceKeepMessage;
    else if (shift && key == Qt::Key_N) preset = ChoiceNormalMessage;
    if (preset == 0) return false;
    setStatus(preset);
    return true;
}

bool BrowseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleStatusKey(key->key(), key->modifiers())) return true;
        if (key->key() == Qt::Key_F5) {
            refresh();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ULONG BrowseWindow::lookup(LookupKind kind) {
    if (lookupChooser_) return lookupChooser_(kind);
    return LookupDialog::choose(kind, this);
}

void BrowseWindow::chooseFilterValue() {
    const bool mail = session_->mail();
    std::int64_t select = -1;
    switch (session_->view()) {
        case ViewByThread:
            if (mail) {  // MailBySubject has no value
                return;
            } else {
                const ULONG id = lookup(LookupKind::Threads);
                if (id == 0) return;
                select = session_->narrowToThread(id);
            }
            break;
        case ViewBySection: {  // MailByPartner in the mail browse
            const ULONG id = lookup(mail ? LookupKind::Persons : LookupKind::Sections);
            if (id == 0) return;
            select = mail ? session_->narrowToPerson(BrowsePersonRole::Partner, id) : session_->narrowToSection(id);
            break;
        }
        case ViewBySender:
        case ViewByReceiver: {
            const ULONG id = lookup(LookupKind::Persons);
            if (id == 0) return;
            select = session_->narrowToPerson(
                session_->view() == ViewBySender ? BrowsePersonRole::Sender : BrowsePersonRole::Receiver, id);
            break;
        }
        default: {
            const BYTE v = session_->view();
            if (v == session_->keyWordView()) {
                // Cancelling clears the choice.
                select = session_->chooseWord(lookup(LookupKind::Words));
            } else if (v == session_->topicView()) {
                const ULONG id = lookup(LookupKind::Topics);
                select = id != 0 ? session_->chooseTopic(id) : session_->setView(1);
            } else {
                return;
            }
        }
    }
    showList(select);
}

void BrowseWindow::stepFilterValue(int direction) {
    std::int64_t select = -1;
    if (session_->stepFilter(direction, select)) showList(select);
    else beep();
}

void BrowseWindow::showMessage(ULONG number) {
    if (session_->mail() || number == 0) return;
    const BYTE before = session_->view();
    const std::int64_t row = session_->showInThreadView(number);
    if (session_->view() != before || row != currentRow()) {
        if (session_->view() != before) showList(row);
        else selectRow(static_cast<int>(row));
    }
}

void BrowseWindow::showThreadTree() {
    if (session_->mail()) return;
    if (frame::MainFrame* frame = frame::MainFrame::instance()) {
        frame->openWindow(QStringLiteral("ThreadTree"));
        return;
    }
    // Without a frame (tests) the tree is a window of its own.
    if (!standaloneTree_) {
        standaloneTree_ = new ThreadTreeWindow(settings_);
        standaloneTree_->setAttribute(Qt::WA_DeleteOnClose);
    }
    standaloneTree_->show();
    standaloneTree_->raise();
}

void BrowseWindow::openSetOperations(SetOperation operation) {
    if (session_->selected() == 0) return;
    if (frame::MainFrame* frame = frame::MainFrame::instance()) {
        SetOperationsWindow::presetOperation(operation);
        frame->openWindow(QStringLiteral("SetOperations"));
        if (auto* w = qobject_cast<SetOperationsWindow*>(frame->windows().widgetOf(QStringLiteral("SetOperations"))))
            w->setOperation(operation);
        return;
    }
    // Without a frame (tests) the window stands on its own.
    if (!standaloneSets_) {
        auto* w = new SetOperationsWindow(operation);
        w->setAttribute(Qt::WA_DeleteOnClose);
        connect(w, &SetOperationsWindow::finished, this, [this](bool, bool changed, bool) {
            if (changed) refresh();
        });
        standaloneSets_ = w;
    }
    standaloneSets_->setOperation(operation);
    standaloneSets_->show();
    standaloneSets_->raise();
}

void BrowseWindow::copyToClipboard() {
    if (session_->selected() == 0) return;
    const std::string copy = plainCopyOf(session_->selected());
    if (!copy.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(copy));
}

bool BrowseWindow::selectMessage(ULONG number) {
    const std::int64_t row = number == 0 ? -1 : session_->ordinalOf(number);
    if (row < 0) return false;
    selectRow(static_cast<int>(row));
    return true;
}

void BrowseWindow::takeFindNews(int code) {
    switch (code) {
        case EventFoundInHeading:
        case EventFoundInText:
            // Selecting shows the text, marked where the find published it.
            if (!selectMessage(foundText().number)) showText();
            return;
        case EventFindStarted:
        case EventFindEndReached:
        case EventFindClosed:
            // The mark of the last find no longer stands for anything.
            showText();
            return;
        default:
            return;
    }
}

QWidget* BrowseWindow::openFollower(const QString& name) {
    if (frame::MainFrame* frame = frame::MainFrame::instance()) {
        frame->openWindow(name);
        return frame->windows().widgetOf(name);
    }
    return nullptr;
}

void BrowseWindow::toggleBookmark() {
    if (bookmark_id_ == 0) {
        bookmark_id_ = session_->selected();
    } else {
        const ULONG back = bookmark_id_;
        bookmark_id_ = 0;
        const std::int64_t row = session_->ordinalOf(back);
        if (row >= 0) selectRow(static_cast<int>(row));
        else showMessage(back);
    }
    updateBookmark();
}

void BrowseWindow::updateBookmark() {
    const bool set = bookmark_id_ != 0;
    bookmark_->setIcon(style()->standardIcon(set ? QStyle::SP_MessageBoxWarning : QStyle::SP_DialogNoButton));
    bookmark_->setToolTip(set ? QStringLiteral("Reset to BookMark") : QStringLiteral("Set BookMark"));
    bookmark_->setEnabled(set || session_->selected() != 0);
}

bool BrowseWindow::showSearchResult(const std::vector<ULONG>& found, const std::vector<std::string>& words) {
    std::int64_t select = -1;
    const bool inSearchView = session_->view() == session_->searchView();
    if (session_->takeSearchResult(found, words, select)) {
        showList(select);
        return true;
    }
    if (inSearchView) {
        message("No Matches", "No Messages Match your Search Criteria. Sorry!", Icon::Information);
    } else {
        session_->rebuild();
        showList(session_->selectedOrdinal());
    }
    return false;
}

void BrowseWindow::refresh() { showList(session_->rebuild()); }

void BrowseWindow::openProfessionalSearch() {
    if (search_) {
        search_->raise();
        search_->activateWindow();
        return;
    }
    auto* search = new ProfessionalSearchWindow(
        [this](const std::vector<ULONG>& found, const std::vector<std::string>& words, bool laterBlock) {
            // A later block holds the earlier ones: it replaces the search
            // view rather than being cut to it.
            if (laterBlock && session_->view() == session_->searchView()) showView(viewBeforeSearch_);
            else if (!laterBlock) viewBeforeSearch_ = session_->view();
            showSearchResult(found, words);
        },
        this);
    if (!search->opened()) {
        delete search;
        return;
    }
    search->setWindowFlag(Qt::Window);
    search->setAttribute(Qt::WA_DeleteOnClose);
    search_ = search;
    search->show();
}

void BrowseWindow::showSenderMessages(ULONG person) {
    showList(session_->narrowToPerson(BrowsePersonRole::Sender, person));
}

bool BrowseWindow::toolbarButtonEnabled(ToolbarButton button) const {
    if (model_->rowCount() == 0) return false;
    switch (button) {
        case ToolbarButton::PreviousFilterValue:
        case ToolbarButton::ChooseFilterValue:
        case ToolbarButton::NextFilterValue: return session_->hasFilterValue();
        default: return true;
    }
}

void BrowseWindow::pressButton(ToolbarButton button) {
    const int rows = model_->rowCount();
    if (rows == 0) return;
    const int row = std::max(0, currentRow());
    const int page = std::max(1, list_->visibleRows() - 1);
    switch (button) {
        case ToolbarButton::FirstPage: selectRow(0); return;
        case ToolbarButton::LastPage: selectRow(rows - 1); return;
        case ToolbarButton::PriorPage: selectRow(std::max(0, row - page)); return;
        case ToolbarButton::NextPage: selectRow(std::min(rows - 1, row + page)); return;
        case ToolbarButton::PriorRecord: selectRow(std::max(0, row - 1)); return;
        case ToolbarButton::NextRecord: selectRow(std::min(rows - 1, row + 1)); return;
        case ToolbarButton::PreviousFilterValue:
            if (session_->hasFilterValue()) stepFilterValue(-1);
            return;
        case ToolbarButton::NextFilterValue:
            if (session_->hasFilterValue()) stepFilterValue(+1);
            return;
        case ToolbarButton::ChooseFilterValue:
            if (session_->hasFilterValue()) chooseFilterValue();
            return;
    }
}

bool BrowseWindow::event(QEvent* event) {
    if (event->type() == frame::FramePostedEvent::eventType()) {
        takeFindNews(static_cast<frame::FramePostedEvent*>(event)->code());
        return true;
    }
    if (event->type() == frame::ToolbarButtonEvent::eventType()) {
        pressButton(static_cast<frame::ToolbarButtonEvent*>(event)->button());
        return true;
    }
    if (event->type() == frame::CommandEvent::eventType()) {
        switch (static_cast<frame::CommandId>(static_cast<frame::CommandEvent*>(event)->command())) {
            case frame::CommandId::MessageStatus: setStatus(ChoiceAsk); break;
            case frame::CommandId::ShowThreadTree: showThreadTree(); break;
            case frame::CommandId::ProfessionalSearch: openProfessionalSearch(); break;
            case frame::CommandId::ExportMessages: openSetOperations(SetOperation::ExportNew); break;
            case frame::CommandId::PrintMessages: openSetOperations(SetOperation::Print); break;
            case frame::CommandId::ClassifyMessageSets: openSetOperations(SetOperation::AttachTopic); break;
            case frame::CommandId::CopyToClipboard: copyToClipboard(); break;
            case frame::CommandId::StandardSearch:
                openFollower(session_->mail() ? QStringLiteral("MailFind") : QStringLiteral("FindText"));
                break;
            case frame::CommandId::AttachTopics: openFollower(QStringLiteral("AttachTopics")); break;
            default: break;
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace pm
