#pragma once
// The file selection dialog of the import wizard and the import definition
// editor: a directory tree loaded one level at a time, and either the file
// extensions (directory-tree and one-directory methods) or a list of the
// matching files with marks (file selection method). "Save selection"
// keeps the choice, "Exit without saving" drops it; the dialog changes
// nothing on disk.
#include <QDialog>
#include <string>
#include <vector>

#include "common/types.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pm {

class FileSelectionDialog : public QDialog {
    Q_OBJECT
public:
    // Opens on `path` (a directory; the nearest existing one above it, or
    // the home directory). `masks` (";"-separated) fill the extension list
    // (methods 0 and 1) or the file mask (method 2, "*.*" when empty);
    // `files` are marked when they are in `path`.
    FileSelectionDialog(BYTE method, const std::string& path, const std::string& masks,
                        const std::vector<std::string>& files, QWidget* parent = nullptr);

    // The choice (valid after a saved selection).
    std::string path() const;
    std::string masks() const;                // ";"-separated
    std::vector<std::string> files() const;   // names in path(), in list order

    // Saves the selection when it is complete: warns and stays open when no
    // extension (methods 0, 1) or no file (method 2) is chosen.
    void saveSelection();

    // Makes `directory` the current one (loading the tree down to it).
    void chooseDirectory(const std::string& directory);
    // Adds an extension mask (methods 0 and 1); blanks are ignored.
    void addExtension(const QString& mask);
    // Sets the file mask and lists the matching files again (method 2).
    void setFileMask(const QString& mask);
    // Marks or unmarks the listed file `name` (method 2).
    bool markFile(const QString& name, bool marked);

    QTreeWidget* tree() const { return tree_; }
    QListWidget* extensions() const { return extensions_; }
    QListWidget* fileList() const { return fileList_; }
    QLabel* currentDirectory() const { return current_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* exitButton() const { return exit_; }

private:
    QTreeWidgetItem* addDirectory(QTreeWidgetItem* parent, const QString& path, const QString& text);
    void loadChildren(QTreeWidgetItem* item);
    void showDirectory(const QString& directory);
    void listFiles();
    void updateTitle();

    BYTE method_;
    QString directory_;
    std::vector<std::string> marked_;  // marks carried into the first listing of the start directory
    QTreeWidget* tree_ = nullptr;
    QLabel* current_ = nullptr;
    QListWidget* extensions_ = nullptr;
    QLineEdit* extensionEntry_ = nullptr;
    QLineEdit* fileMask_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace pm
