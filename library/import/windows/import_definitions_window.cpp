#include "import/windows/import_definitions_window.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "common/globals.h"
#include "import/definitions/import_definitions.h"
#include "import/driver/format_table.h"
#include "import/windows/import_definition_editor.h"
#include "tables/config/browse_columns.h"
#include "tables/windows/column_memory.h"

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

ImportDefinitionsWindow::ImportDefinitionsWindow(QWidget* parent)
    : RecordListWindow(QStringLiteral("Predefined Import Procedures"), QStringLiteral("import definition"),
                       {QStringLiteral("Description"), QStringLiteral("File type"), QStringLiteral("Import from"),
                        QStringLiteral("ID")},
                       parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Import Procedures"));
    setProperty("helpTopic", QStringLiteral("~Import_Procedures"));
    list()->header()->setStretchLastSection(false);
    list()->header()->setSectionResizeMode(PathColumn, QHeaderView::Stretch);
    list()->setColumnWidth(DescriptionColumn, 260);
    list()->setColumnWidth(FormatColumn, 150);
    ColumnMemory::attach(list()->header(), BrowseImportDefinitions);
    resize(720, 360);
    refresh();
}

void ImportDefinitionsWindow::fill() {
    for (const BATRecord& d : listImportDefinitions()) {
        const FormatEntry* f = formatByNumber(d.FILETYPE);
        addRow(d.ID, {QString::fromStdString(d.DESCRIPTION.str()),
                      f ? QString::fromUtf8(f->name) : QString::number(d.FILETYPE),
                      QString::fromStdString(d.IMPPATH.str()) + " (" + methodText(d.SELMETHOD) + ")",
                      QString::number(d.ID)});
    }
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
    follow(editor, [editor] { return editor->saved().record.ID; });
    return editor;
}

}  // namespace pm
