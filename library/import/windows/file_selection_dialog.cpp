#include "import/windows/file_selection_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/user_interface.h"
#include "import/driver/import_request.h"
#include "import/driver/source_list.h"

namespace pm {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LoadedRole = Qt::UserRole + 1;
constexpr int ExtensionWidth = 12;  // an extension entry holds 12 characters

QString nearestDirectory(const std::string& path) {
    QFileInfo info(QString::fromStdString(path));
    QString dir = path.empty() ? QDir::homePath() : info.absoluteFilePath();
    while (!dir.isEmpty() && !QFileInfo(dir).isDir()) {
        const QString up = QFileInfo(dir).absolutePath();
        if (up == dir) break;
        dir = up;
    }
    return QFileInfo(dir).isDir() ? QDir::cleanPath(dir) : QDir::homePath();
}

QIcon folderIcon(bool open) {
    return QApplication::style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon);
}

}  // namespace

FileSelectionDialog::FileSelectionDialog(BYTE method, const std::string& path, const std::string& masks,
                                         const std::vector<std::string>& files, QWidget* parent)
    : QDialog(parent), method_(method), marked_(files) {
    setObjectName(QStringLiteral("FileSelection"));
    setProperty("helpTopic", QStringLiteral("~File_Selection"));
    setModal(true);

    tree_ = new QTreeWidget;
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    current_ = new QLabel;
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    current_->setWordWrap(true);

    auto* treeBox = new QGroupBox(method == SelectFiles ? QStringLiteral(" Select directory ")
                                                        : QStringLiteral(" Select top directory "));
    auto* treeLayout = new QVBoxLayout(treeBox);
    treeLayout->addWidget(tree_, 1);
    auto* currentBox = new QGroupBox(method == SelectDirectoryTree ? QStringLiteral(" Currently selected top directory ")
                                                                   : QStringLiteral(" Currently selected directory "));
    auto* currentLayout = new QVBoxLayout(currentBox);
    currentLayout->addWidget(current_);
    treeLayout->addWidget(currentBox);

    QWidget* right = nullptr;
    if (method == SelectFiles) {
        fileMask_ = new QLineEdit(QString::fromStdString(masks.empty() ? "*.*" : masks));
        fileMask_->setToolTip(QStringLiteral("Only files matching the mask will be shown"));
        fileList_ = new QListWidget;
        fileList_->setToolTip(QStringLiteral("File(s) selected for import"));
        auto* box = new QGroupBox(QStringLiteral(" File(s)"));
        auto* l = new QVBoxLayout(box);
        l->addWidget(new QLabel(QStringLiteral("Only files matching the mask will be shown")));
        l->addWidget(fileMask_);
        l->addWidget(fileList_, 1);
        right = box;
        connect(fileMask_, &QLineEdit::editingFinished, this, [this] { listFiles(); });
    } else {
        extensions_ = new QListWidget;
        for (const std::string& m : splitList(masks)) addExtension(QString::fromStdString(m));
        extensionEntry_ = new QLineEdit;
        extensionEntry_->setMaxLength(ExtensionWidth);
        extensionEntry_->setPlaceholderText(QStringLiteral("*.MBX"));
        auto* add = new QPushButton(QStringLiteral("&Add"));
        auto* remove = new QPushButton(QStringLiteral("&Remove"));
        auto* box = new QGroupBox(QStringLiteral(" Select file extensions "));
        auto* l = new QVBoxLayout(box);
        l->addWidget(extensions_, 1);
        auto* row = new QHBoxLayout;
        row->addWidget(extensionEntry_, 1);
        row->addWidget(add);
        row->addWidget(remove);
        l->addLayout(row);
        right = box;
        const auto addTyped = [this] {
            addExtension(extensionEntry_->text());
            extensionEntry_->clear();
        };
        connect(add, &QPushButton::clicked, this, addTyped);
        connect(extensionEntry_, &QLineEdit::returnPressed, this, addTyped);
        connect(remove, &QPushButton::clicked, this, [this] { delete extensions_->currentItem(); });
    }

    save_ = new QPushButton(QStringLiteral("Save selection"));
    exit_ = new QPushButton(QStringLiteral("Exit without saving"));
    save_->setAutoDefault(false);
    exit_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(exit_);
    connect(save_, &QPushButton::clicked, this, &FileSelectionDialog::saveSelection);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(treeBox, 1);
    columns->addWidget(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    resize(720, 460);

    // The roots: the file system and the home directory.
    addDirectory(nullptr, QStringLiteral("/"), QStringLiteral("/"))
        ->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon));
    addDirectory(nullptr, QDir::homePath(), QDir::homePath())
        ->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DirHomeIcon));
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        loadChildren(item);
        if (item->parent()) item->setIcon(0, folderIcon(true));
    });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* item) {
        if (item->parent()) item->setIcon(0, folderIcon(false));
    });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) showDirectory(item->data(0, PathRole).toString());
    });
    chooseDirectory(nearestDirectory(path).toStdString());
}

QTreeWidgetItem* FileSelectionDialog::addDirectory(QTreeWidgetItem* parent, const QString& path, const QString& text) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, text);
    item->setData(0, PathRole, path);
    item->setData(0, LoadedRole, false);
    item->setIcon(0, folderIcon(false));
    // Shown as openable until its level is loaded.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FileSelectionDialog::loadChildren(QTreeWidgetItem* item) {
    if (item->data(0, LoadedRole).toBool()) return;
    item->setData(0, LoadedRole, true);
    const QString path = item->data(0, PathRole).toString();
    const QDir dir(path);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) addDirectory(item, dir.filePath(name), name);
    item->setChildIndicatorPolicy(names.isEmpty() ? QTreeWidgetItem::DontShowIndicator
                                                  : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FileSelectionDialog::chooseDirectory(const std::string& directory) {
    const QString wanted = QDir::cleanPath(QString::fromStdString(directory));
    // The deepest root the directory lies in, then one level at a time.
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = tree_->topLevelItem(i);
        const QString r = root->data(0, PathRole).toString();
        const bool inside = wanted == r || wanted.startsWith(r.endsWith('/') ? r : r + '/');
        if (inside && (!item || r.size() > item->data(0, PathRole).toString().size())) item = root;
    }
    if (!item) return;
    while (item->data(0, PathRole).toString() != wanted) {
        loadChildren(item);
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            const QString c = item->child(i)->data(0, PathRole).toString();
            if (wanted == c || wanted.startsWith(c + '/')) next = item->child(i);
        }
        if (!next) break;
        item = next;
    }
    tree_->setCurrentItem(item);
    showDirectory(item->data(0, PathRole).toString());
}

void FileSelectionDialog::showDirectory(const QString& directory) {
    if (directory == directory_) return;
    const bool first = directory_.isEmpty();
    directory_ = directory;
    current_->setText(directory);
    if (!first) marked_.clear();  // the file names are relative to the directory they were marked in
    updateTitle();
    if (fileList_) listFiles();
}

void FileSelectionDialog::listFiles() {
    std::vector<std::string> keep = marked_;
    for (int i = 0; i < fileList_->count(); ++i)
        if (fileList_->item(i)->checkState() == Qt::Checked) keep.push_back(fileList_->item(i)->text().toStdString());
    fileList_->clear();
    for (const SourceFile& f : filesMatching(directory_.toStdString(), splitList(fileMask_->text().toStdString()))) {
        const QString name = QFileInfo(QString::fromStdString(f.name)).fileName();
        auto* item = new QListWidgetItem(name, fileList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool marked = std::find(keep.begin(), keep.end(), name.toStdString()) != keep.end();
        item->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(QStringLiteral("%1 bytes").arg(f.size));
    }
    marked_.clear();
}

void FileSelectionDialog::updateTitle() {
    const char* prefix = method_ == SelectDirectoryTree ? " Directory Tree Selection Dialog - "
                         : method_ == SelectDirectory   ? " Directory Selection Dialog - "
                                                        : " File Selection Dialog - ";
    setWindowTitle(QString::fromLatin1(prefix) + directory_);
}

void FileSelectionDialog::addExtension(const QString& mask) {
    const QString m = mask.trimmed().left(ExtensionWidth);
    if (m.isEmpty() || !extensions_) return;
    for (int i = 0; i < extensions_->count(); ++i)
        if (extensions_->item(i)->text().compare(m, Qt::CaseInsensitive) == 0) return;
    extensions_->addItem(m);
}

void FileSelectionDialog::setFileMask(const QString& mask) {
    if (!fileMask_) return;
    fileMask_->setText(mask);
    listFiles();
}

bool FileSelectionDialog::markFile(const QString& name, bool marked) {
    if (!fileList_) return false;
    for (int i = 0; i < fileList_->count(); ++i) {
        if (fileList_->item(i)->text() != name) continue;
        fileList_->item(i)->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
        return true;
    }
    return false;
}

std::string FileSelectionDialog::path() const { return directory_.toStdString(); }

std::string FileSelectionDialog::masks() const {
    std::string joined;
    if (extensions_) {
        for (int i = 0; i < extensions_->count(); ++i)
            joined += (joined.empty() ? "" : ";") + extensions_->item(i)->text().toStdString();
    } else if (fileMask_) {
        joined = fileMask_->text().trimmed().toStdString();
    }
    return joined;
}

std::vector<std::string> FileSelectionDialog::files() const {
    std::vector<std::string> names;
    if (!fileList_) return names;
    for (int i = 0; i < fileList_->count(); ++i)
        if (fileList_->item(i)->checkState() == Qt::Checked) names.push_back(fileList_->item(i)->text().toStdString());
    return names;
}

void FileSelectionDialog::saveSelection() {
    if (method_ != SelectFiles && masks().empty()) {
        message("Warning!", "No file extension(s) specified", Icon::Exclamation);
        return;
    }
    if (method_ == SelectFiles && files().empty()) {
        message("Warning!", "No file(s) selected", Icon::Exclamation);
        return;
    }
    accept();
}

}  // namespace pm
