// The frame's menus, toolbar and the enabled state of its commands.
#include <QAction>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "common/globals.h"
#include "frame/main_frame.h"

namespace pm::frame {

namespace {

struct ToolbarEntry {
    CommandId id;
    QStyle::StandardPixmap icon;
};

// The toolbar repeats the main commands; the classify pop-up follows "count"
// and "purge".
constexpr ToolbarEntry kToolbarBefore[] = {
    {CommandId::ImportWizard, QStyle::SP_DialogOpenButton},
    {CommandId::ChangeActiveDatabase, QStyle::SP_DriveHDIcon},
    {CommandId::Preferences, QStyle::SP_FileDialogDetailedView},
    {CommandId::ScheduleTasks, QStyle::SP_BrowserReload},
    {CommandId::BrowsePersons, QStyle::SP_DirHomeIcon},
    {CommandId::MergeDuplicatePersons, QStyle::SP_FileDialogToParent},
    {CommandId::ExportAddressBook, QStyle::SP_DialogSaveButton},
    {CommandId::CountMessages, QStyle::SP_FileDialogInfoView},
    {CommandId::PurgeDeletedMessages, QStyle::SP_TrashIcon},
};
constexpr ToolbarEntry kToolbarAfter[] = {
    {CommandId::ExportMessages, QStyle::SP_DriveFDIcon},
    {CommandId::PrintMessages, QStyle::SP_ComputerIcon},
    {CommandId::CopyToClipboard, QStyle::SP_FileIcon},
    {CommandId::IndexedWords, QStyle::SP_FileDialogListView},
    {CommandId::BuildWordIndex, QStyle::SP_FileDialogNewFolder},
    {CommandId::StandardSearch, QStyle::SP_FileDialogContentsView},
    {CommandId::ProfessionalSearch, QStyle::SP_DirLinkIcon},
    {CommandId::Exit, QStyle::SP_DialogCloseButton},
};

struct NavigationEntry {
    ToolbarButton button;
    const char* text;
    QStyle::StandardPixmap icon;
};

constexpr NavigationEntry kNavigation[] = {
    {ToolbarButton::FirstPage, "First Page", QStyle::SP_MediaSkipBackward},
    {ToolbarButton::PriorPage, "Prior Page", QStyle::SP_MediaSeekBackward},
    {ToolbarButton::PriorRecord, "Prior Record", QStyle::SP_ArrowUp},
    {ToolbarButton::NextRecord, "Next Record", QStyle::SP_ArrowDown},
    {ToolbarButton::NextPage, "Next Page", QStyle::SP_MediaSeekForward},
    {ToolbarButton::LastPage, "Last Page", QStyle::SP_MediaSkipForward},
    {ToolbarButton::PreviousFilterValue, "Previous Filter Value", QStyle::SP_ArrowLeft},
    {ToolbarButton::ChooseFilterValue, "Choose Filter Value", QStyle::SP_FileDialogStart},
    {ToolbarButton::NextFilterValue, "Next Filter Value", QStyle::SP_ArrowRight},
};

// The classify pop-up of the toolbar: its items and the commands they run.
struct ClassifyEntry {
    const char* text;
    CommandId id;
};
constexpr ClassifyEntry kClassify[] = {
    {"Topics", CommandId::Topics},
    {"Attach Topics", CommandId::AttachTopics},
    {"Classify Message sets", CommandId::ClassifyMessageSets},
};

}  // namespace

QIcon toolbarIcon(const QIcon& source) {
    // The style's own icons are grey already, so its disabled ones hardly
    // differ: a disabled button is drawn faint and colourless instead.
    QIcon icon;
    for (int side : {16, 20, 24, 32, 40}) {
        const QPixmap normal = source.pixmap(QSize(side, side));
        if (normal.isNull()) continue;
        icon.addPixmap(normal, QIcon::Normal);
        QImage grey = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) * 3 / 10);
            }
        }
        QPixmap disabled = QPixmap::fromImage(grey);
        disabled.setDevicePixelRatio(normal.devicePixelRatio());
        icon.addPixmap(disabled, QIcon::Disabled);
    }
    return icon;
}

QAction* MainFrame::makeAction(const CommandEntry& entry) {
    auto* a = new QAction(QString::fromUtf8(entry.text), this);
    a->setStatusTip(QString::fromUtf8(entry.tip));
    a->setToolTip(QString::fromUtf8(entry.tip));
    const CommandId id = entry.id;
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = a;
    return a;
}

void MainFrame::buildMenus() {
    std::map<QString, QMenu*> menus;
    std::map<QString, QMenu*> submenus;
    for (const CommandEntry& entry : commandTable()) {
        const QString menuName = QString::fromUtf8(entry.menu);
        QMenu*& menu = menus[menuName];
        if (!menu) {
            menu = menuBar()->addMenu(menuName);
            if (menuName == QLatin1String("persons")) personsMenu_ = menu;
            if (menuName == QLatin1String("&Window")) {
                windowMenu_ = menu;
                menu->setToolTipsVisible(true);
                menu->menuAction()->setStatusTip(QString::fromUtf8(WindowMenuTip));
            }
        }
        QMenu* target = menu;
        if (entry.submenu) {
            QMenu*& sub = submenus[QString::fromUtf8(entry.submenu)];
            if (!sub) {
                sub = menu->addMenu(QString::fromUtf8(entry.submenu));
                submenus_.push_back(sub);
                if (QLatin1String(entry.submenu) == QLatin1String("&Task Manager"))
                    sub->menuAction()->setStatusTip(QString::fromUtf8(TaskManagerTip));
            }
            target = sub;
        }
        if (entry.id == CommandId::Exit || entry.id == CommandId::PrintSetup || entry.id == CommandId::About)
            target->addSeparator();
        target->addAction(makeAction(entry));
    }
    // The window menu also lists the open windows.
    windowMenu_->addSeparator();
    QAction* listStart = windowMenu_->actions().last();
    connect(windowMenu_, &QMenu::aboutToShow, this, [this, listStart] {
        const QList<QAction*> all = windowMenu_->actions();
        for (int i = static_cast<int>(all.indexOf(listStart)) + 1; i < all.size(); ++i) {
            windowMenu_->removeAction(all[i]);
            all[i]->deleteLater();
        }
        int n = 0;
        for (QMdiSubWindow* sub : area_->subWindowList()) {
            QAction* a = windowMenu_->addAction(QString("&%1 %2").arg(++n).arg(sub->windowTitle().trimmed()));
            a->setCheckable(true);
            a->setChecked(sub == area_->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub] { area_->setActiveSubWindow(sub); });
        }
    });
    applyPersonsMenu(TypeForum);
}

void MainFrame::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Commands"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(20, 20));
    auto add = [this](const ToolbarEntry& e) {
        QAction* a = actions_.at(e.id);
        a->setIcon(toolbarIcon(style()->standardIcon(e.icon)));
        toolBar_->addAction(a);
    };
    for (const ToolbarEntry& e : kToolbarBefore) add(e);

    auto* classify = new QToolButton;
    classify->setText(QStringLiteral("Classify"));
    classify->setToolTip(QStringLiteral("Topics and classification of messages"));
    classify->setIcon(toolbarIcon(style()->standardIcon(QStyle::SP_DirIcon)));
    classify->setPopupMode(QToolButton::InstantPopup);
    auto* popup = new QMenu(classify);
    for (const ClassifyEntry& c : kClassify) {
        const CommandId id = c.id;
        QAction* item = popup->addAction(QString::fromUtf8(c.text), this, [this, id] { runCommand(id); });
        classifyItems_.emplace_back(id, item);
    }
    classify->setMenu(popup);
    classifyButton_ = toolBar_->addWidget(classify);

    for (const ToolbarEntry& e : kToolbarAfter) add(e);
    toolBar_->addSeparator();
    for (const NavigationEntry& n : kNavigation) {
        if (n.button == ToolbarButton::PreviousFilterValue) toolBar_->addSeparator();
        auto* a = new QAction(toolbarIcon(style()->standardIcon(n.icon)), QString::fromUtf8(n.text), this);
        a->setToolTip(QString::fromUtf8(n.text));
        a->setStatusTip(QString::fromUtf8(n.text));
        const ToolbarButton button = n.button;
        connect(a, &QAction::triggered, this, [this, button] { pressToolbarButton(button); });
        navigation_[button] = a;
        toolBar_->addAction(a);
    }
}

void MainFrame::applyPersonsMenu(BYTE databaseType) {
    const PersonsMenuTexts& t = personsMenuTexts(databaseType);
    personsMenu_->setTitle(QString::fromUtf8(t.title));
    QAction* browse = actions_.at(CommandId::BrowsePersons);
    browse->setText(QString::fromUtf8(t.browseItem));
    browse->setStatusTip(QString::fromUtf8(t.browseTip));
    browse->setToolTip(QString::fromUtf8(t.browseButtonTip));
    QAction* merge = actions_.at(CommandId::MergeDuplicatePersons);
    merge->setText(QString::fromUtf8(t.mergeItem));
    merge->setStatusTip(QString::fromUtf8(t.mergeTip));
    merge->setToolTip(QString::fromUtf8(t.mergeButtonTip));
}

QAction* MainFrame::action(CommandId id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* MainFrame::navigationAction(ToolbarButton button) const {
    auto it = navigation_.find(button);
    return it == navigation_.end() ? nullptr : it->second;
}

QString MainFrame::messageBrowseName() const {
    return Mem.ForumType == TypeMail ? QStringLiteral("BrowseMail") : QStringLiteral("BrowseMsgNmbr");
}

bool MainFrame::commandAvailable(const CommandEntry& entry) const {
    switch (entry.kind) {
        case CommandKind::OpenWindow: return factories_.has(QString::fromUtf8(entry.window));
        case CommandKind::OpenMessageBrowse: return factories_.has(messageBrowseName());
        case CommandKind::PassToBrowse:
            return factories_.has(messageBrowseName()) &&
                   factories_.handles(messageBrowseName(), static_cast<int>(entry.id));
        case CommandKind::FrameAction: return true;
    }
    return false;
}

bool MainFrame::toolMode() const {
    for (const QString& name : windows_->openNames())
        if (const WindowEntry* w = windowEntry(name); w && w->tool != ToolKind::None) return true;
    return false;
}

bool MainFrame::taskWindowMode() const {
    for (const QString& name : windows_->openNames())
        if (const WindowEntry* w = windowEntry(name); w && w->tool == ToolKind::TaskTool) return true;
    return false;
}

void MainFrame::updateCommandStates() {
    const bool tool = toolMode();
    const bool task = taskWindowMode();
    const bool database = hasActiveDatabase();
    for (const CommandEntry& entry : commandTable()) {
        bool on = commandAvailable(entry);
        if (commandsLocked_) {
            on = false;
        } else if (tool) {
            on = on && (entry.id == CommandId::Exit || (task && (entry.flags & TaskCommand)));
        } else {
            if ((entry.flags & NeedsDatabase) && !database) on = false;
            if ((entry.flags & MessageCommand) && indexingLocked_) on = false;
        }
        actions_.at(entry.id)->setEnabled(on);
    }
    // Submenus and the classify pop-up follow their items.
    for (QMenu* menu : submenus_) {
        bool any = false;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isEnabled()) any = true;
        menu->menuAction()->setEnabled(any);
    }
    bool anyClassify = false;
    for (auto& [id, item] : classifyItems_) {
        item->setEnabled(actions_.at(id)->isEnabled());
        anyClassify = anyClassify || item->isEnabled();
    }
    classifyButton_->setEnabled(anyClassify);
    toolBar_->setEnabled(!toolbarDisabled_);
    updateNavigation();
}

void MainFrame::updateNavigation() {
    QWidget* active = area_->activeSubWindow() ? area_->activeSubWindow()->widget() : nullptr;
    auto* target = dynamic_cast<ToolbarTarget*>(active);
    for (auto& [button, a] : navigation_)
        a->setEnabled(target && !commandsLocked_ && target->toolbarButtonEnabled(button));
}

}  // namespace pm::frame
