#pragma once
// SetOperations: export, print, classify or recode all messages related to
// the browse's current message. The person picks the operation, the set,
// an optional date range and, by operation, the layout and file names or
// the topic; Start runs the set operation job in the progress window below,
// whose Cancel aborts it between slices. The window stays open for further
// runs.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "common/windows/job_progress_window.h"
#include "sets/set_operation.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace pm {

class SetOperationsWindow : public QWidget {
    Q_OBJECT
public:
    // Makes the printer a print run uses; nullptr when the person cancelled.
    using PrinterFactory = std::function<std::unique_ptr<MessagePrinter>(QWidget* parent)>;

    // On the active database, around the current message of the shared
    // browse context; `operation` is chosen first.
    explicit SetOperationsWindow(SetOperation operation, QWidget* parent = nullptr);
    ~SetOperationsWindow() override;

    // The operation the next window the frame opens starts with (the
    // command that opened it).
    static void presetOperation(SetOperation operation);
    static SetOperation presetOperationValue();

    // Chooses the operation (the title follows).
    void setOperation(SetOperation operation);
    SetOperation operation() const;
    void setScope(SetScope scope);
    SetScope scope() const;
    // The message the sets are related to.
    ULONG currentMessage() const { return origin_.current; }
    // Replaces the print dialog (tests print to a PDF file).
    void setPrinterFactory(PrinterFactory factory) { printerFactory_ = std::move(factory); }

    QLabel* titleLabel() const { return title_; }
    QLabel* statusLabel() const { return status_; }
    QComboBox* layoutBox() const { return layout_; }
    QLineEdit* firstFileEdit() const { return firstFile_; }
    QLineEdit* secondFileEdit() const { return secondFile_; }
    QComboBox* topicBox() const { return topic_; }
    QCheckBox* dateFilterBox() const { return dateFilter_; }
    QDateEdit* fromDateEdit() const { return fromDate_; }
    QDateEdit* toDateEdit() const { return toDate_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* endButton() const { return end_; }
    JobProgressWindow* progress() const { return progress_; }

    // The Start button: checks the choices and runs the job.
    void startRun();

signals:
    // A run is final; `changed` when it attached or removed topics or
    // recoded statuses (the browse shows them anew); `wholeDatabase` when it
    // marked the whole database Delete (the frame is told).
    void finished(bool completed, bool changed, bool wholeDatabase);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void updateForOperation();
    void chooseLayout(int index);
    SetRequest request() const;

    BYTE type_;
    SetOrigin origin_;
    QLabel* title_ = nullptr;
    QLabel* current_ = nullptr;
    QButtonGroup* operations_ = nullptr;
    QButtonGroup* scopes_ = nullptr;
    QCheckBox* dateFilter_ = nullptr;
    QDateEdit* fromDate_ = nullptr;
    QDateEdit* toDate_ = nullptr;
    QGroupBox* exportBox_ = nullptr;
    QComboBox* layout_ = nullptr;
    QLineEdit* firstFile_ = nullptr;
    QLineEdit* secondFile_ = nullptr;
    QLabel* firstLabel_ = nullptr;
    QLabel* secondLabel_ = nullptr;
    QGroupBox* topicGroup_ = nullptr;
    QComboBox* topic_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* end_ = nullptr;
    QVBoxLayout* progressArea_ = nullptr;
    QPointer<JobProgressWindow> progress_;
    PrinterFactory printerFactory_;
    std::unique_ptr<MessagePrinter> printer_;
};

// The window's printer: the print dialog, then the chosen printer or PDF file.
std::unique_ptr<MessagePrinter> dialogPrinter(QWidget* parent);

}  // namespace pm
