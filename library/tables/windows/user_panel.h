#pragma once
// UserPanel: the preferences window. It reads every settings item when it
// opens and shows them on eight tab sheets; OK writes all of them back and
// saves every settings block (a failure is reported, the window still
// closes); Esc or Cancel closes without saving.
#include <QColor>
#include <QWidget>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "tables/config/preferences.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTimeEdit;

namespace pm {

class DatabaseChoiceField;

class UserPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "UserPanel";

    // An import file type the defaults offer: its format number and name.
    using FileTypes = std::vector<std::pair<int, std::string>>;

    explicit UserPanel(FileTypes fileTypes, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The preferences as the window shows them now.
    Preferences shown() const;

    // OK: writes every item and saves the blocks, then closes. Returns what
    // writePreferences returned.
    bool accept();

    // The widgets, for the tests.
    DatabaseChoiceField* defaultDatabase() const { return defaultDatabase_; }
    DatabaseChoiceField* defaultMailDatabase() const { return defaultMailDatabase_; }
    QComboBox* messageTab() const { return messageTab_; }
    QComboBox* mailTab() const { return mailTab_; }
    QComboBox* fileType() const { return fileType_; }
    QLineEdit* importPath() const { return importPath_; }
    QLineEdit* directory(int item) const;  // 17, 18 or 44
    QPushButton* colourButton(int item) const;
    QFontComboBox* fontName(int item) const;  // 33-36
    QSpinBox* fontSize(int item) const;
    QComboBox* treeFormat() const { return treeFormat_; }
    QButtonGroup* treeOpening() const { return treeOpening_; }
    QCheckBox* treeOnTop() const { return treeOnTop_; }
    QCheckBox* exitAfterTasks() const { return exitAfterTasks_; }
    QTimeEdit* restrictFrom() const { return restrictFrom_; }
    QTimeEdit* restrictTo() const { return restrictTo_; }
    QCheckBox* tasksDeactivated() const { return tasksOff_; }
    QSlider* speed(int index) const { return speeds_.at(static_cast<std::size_t>(index)); }  // 0-4: items 26-30
    QButtonGroup* showTime() const { return showTime_; }
    QDoubleSpinBox* locatorDelay() const { return locatorDelay_; }
    QCheckBox* toolTips() const { return toolTips_; }
    QButtonGroup* dateFormat() const { return dateFormat_; }
    QButtonGroup* timeFormat() const { return timeFormat_; }
    QPushButton* resetPlaces() const { return resetPlaces_; }
    QCheckBox* openMaximized() const { return openMaximized_; }

    // Sets the colour of a colour button (the colour picker does so too).
    void setColour(int item, const QColor& colour);

protected:
    void keyPressEvent(class QKeyEvent* event) override;

private:
    QWidget* defaultsPage();
    QWidget* directoriesPage();
    QWidget* coloursPage();
    QWidget* fontsPage();
    QWidget* threadTreePage();
    QWidget* tasksPage();
    QWidget* optimizePage();
    QWidget* miscellaneousPage();
    void showPreferences(const Preferences& p);
    void updateSamples();

    FileTypes fileTypes_;
    Preferences read_;  // as the window opened
    bool resetPlacesAsked_ = false;

    QTabWidget* tabs_;
    QPushButton* ok_;
    QPushButton* cancel_;
    DatabaseChoiceField* defaultDatabase_ = nullptr;
    DatabaseChoiceField* defaultMailDatabase_ = nullptr;
    QComboBox* messageTab_ = nullptr;
    QComboBox* mailTab_ = nullptr;
    QComboBox* fileType_ = nullptr;
    QLineEdit* importPath_ = nullptr;
    std::array<QLineEdit*, 3> directories_{};
    std::array<QPushButton*, 9> colours_{};
    std::array<QColor, 9> colourValues_;
    std::array<QFontComboBox*, 4> fontNames_{};
    std::array<QSpinBox*, 4> fontSizes_{};
    std::vector<QWidget*> listSamples_, entrySamples_, textSamples_, treeSamples_;
    QComboBox* treeFormat_ = nullptr;
    QButtonGroup* treeOpening_ = nullptr;
    QCheckBox* treeOnTop_ = nullptr;
    QCheckBox* exitAfterTasks_ = nullptr;
    QTimeEdit* restrictFrom_ = nullptr;
    QTimeEdit* restrictTo_ = nullptr;
    QCheckBox* tasksOff_ = nullptr;
    std::array<QSlider*, 5> speeds_{};
    QButtonGroup* showTime_ = nullptr;
    QDoubleSpinBox* locatorDelay_ = nullptr;
    QCheckBox* toolTips_ = nullptr;
    QButtonGroup* dateFormat_ = nullptr;
    QButtonGroup* timeFormat_ = nullptr;
    QPushButton* resetPlaces_ = nullptr;
    QCheckBox* openMaximized_ = nullptr;
};

}  // namespace pm
