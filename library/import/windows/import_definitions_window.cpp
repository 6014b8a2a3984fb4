#include "import/windows/import_definitions_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/windows/host_window.h"
#include "import/definitions/import_definitions.h"
#include "import/driver/format_table.h"
#include "import/windows/import_definition_editor.h"

namespace pm {

namespace {

enum Column { DescriptionColumn, FormatColumn, PathColumn, IdColumn };

QString methodText(BYTE method) {
    switch (method) {
        case SelectDirectoryTree: return QStringLiteral("directory tree");
        case SelectDirectory: return QStringLiteral("directory");
        default: return QStringLiteral("files");
    }
}

}  // namespace

ImportDefinitionsWindow::ImportDefinitionsWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Import Procedures"));
    setProperty("helpTopic", QStringLiteral("~Import_Procedures"));

    list_ = new QTreeWidget;
    list_->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("File type"), QStringLiteral("Import from"),
                            QStringLiteral("ID")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(PathColumn, QHeaderView::Stretch);
    list_->setColumnWidth(DescriptionColumn, 260);
    list_->setColumnWidth(FormatColumn, 150);
    box_ = new QGroupBox;
    auto* boxLayout = new QVBoxLayout(box_);
    boxLayout->addWidget(list_);

    add_ = new QPushButton(QStringLiteral("&Add"));
    add_->setToolTip(QStringLiteral("Add a new import definition"));
    update_ = new QPushButton(QStringLiteral("&Update"));
    update_->setToolTip(QStringLiteral("Update highlighted import definition"));
    delete_ = new QPushButton(QStringLiteral("&Delete"));
    delete_->setToolTip(QStringLiteral("Delete highlighted import definition"));
    close_ = new QPushButton(QStringLiteral("&Close"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add_, update_, delete_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close_);
    connect(add_, &QPushButton::clicked, this, [this] { openEditor(InsertRecord); });
    connect(update_, &QPushButton::clicked, this, [this] { openEditor(ChangeRecord); });
    connect(delete_, &QPushButton::clicked, this, [this] { openEditor(DeleteRecord); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { openEditor(ChangeRecord); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box_, 1);
    layout->addLayout(buttons);
    resize(720, 360);
    setFocusProxy(list_);
    refresh();
}

void ImportDefinitionsWindow::refresh() {
    const ULONG keep = highlighted();
    list_->clear();
    const std::vector<BATRecord> definitions = listImportDefinitions();
    for (const BATRecord& d : definitions) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(DescriptionColumn, QString::fromStdString(d.DESCRIPTION.str()));
        const FormatEntry* f = formatByNumber(d.FILETYPE);
        item->setText(FormatColumn, f ? QString::fromUtf8(f->name) : QString::number(d.FILETYPE));
        item->setText(PathColumn, QString::fromStdString(d.IMPPATH.str()) + " (" + methodText(d.SELMETHOD) + ")");
        item->setText(IdColumn, QString::number(d.ID));
        item->setData(0, Qt::UserRole, static_cast<uint>(d.ID));
    }
    box_->setTitle(QStringLiteral("Predefined Import Procedures [%1]").arg(definitions.size()));
    if (!highlight(keep) && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    updateButtons();
}

ULONG ImportDefinitionsWindow::highlighted() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, Qt::UserRole).toUInt() : 0;
}

bool ImportDefinitionsWindow::highlight(ULONG id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->data(0, Qt::UserRole).toUInt() != id) continue;
        list_->setCurrentItem(list_->topLevelItem(i));
        return true;
    }
    return false;
}

ImportDefinitionEditor* ImportDefinitionsWindow::openEditor(LONG request) {
    ImportDefinition definition;
    if (request != InsertRecord) {
        std::optional<ImportDefinition> read = readImportDefinition(highlighted());
        if (!read) {
            refresh();  // gone meanwhile
            return nullptr;
        }
        definition = *read;
    }
    auto* editor = new ImportDefinitionEditor(request, definition, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::accepted, this, [this, editor] {
        refresh();
        highlight(editor->saved().record.ID);
    });
    editor->open();
    return editor;
}

void ImportDefinitionsWindow::updateButtons() {
    const bool any = highlighted() != 0;
    update_->setEnabled(any);
    delete_->setEnabled(any);
}

}  // namespace pm
