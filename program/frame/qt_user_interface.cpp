#include "frame/qt_user_interface.h"

#include <QApplication>
#include <QPushButton>

namespace pm::frame {

namespace {

struct ButtonPair {
    Button engine;
    QMessageBox::StandardButton qt;
};

constexpr ButtonPair kButtons[] = {
    {ButtonOk, QMessageBox::Ok},         {ButtonYes, QMessageBox::Yes},
    {ButtonNo, QMessageBox::No},         {ButtonAbort, QMessageBox::Abort},
    {ButtonRetry, QMessageBox::Retry},   {ButtonIgnore, QMessageBox::Ignore},
    {ButtonCancel, QMessageBox::Cancel}, {ButtonHelp, QMessageBox::Help},
};

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information: return QMessageBox::Information;
        case Icon::Exclamation: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Hand: return QMessageBox::Critical;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString messageBoxText(const std::string& text) {
    std::vector<std::string> lines = messageLines(text);
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    QStringList out;
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out.join('\n');
}

Button engineButton(int standardButton) {
    for (const ButtonPair& b : kButtons)
        if (b.qt == standardButton) return b.engine;
    return ButtonNone;
}

std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest& request, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromStdString(request.caption));
    box->setText(messageBoxText(request.text));
    box->setIcon(qtIcon(request.icon));
    QMessageBox::StandardButtons buttons;
    for (const ButtonPair& b : kButtons)
        if (request.buttons & b.engine) buttons |= b.qt;
    if (!buttons) buttons = QMessageBox::Ok;
    box->setStandardButtons(buttons);
    for (const ButtonPair& b : kButtons)
        if (b.engine == request.defaultButton && (buttons & b.qt)) box->setDefaultButton(b.qt);
    // Esc answers like the safest choice the box offers.
    for (QMessageBox::StandardButton escape : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok})
        if (buttons & escape) {
            box->setEscapeButton(escape);
            break;
        }
    return box;
}

Button QtUserInterface::message(const MessageRequest& request) {
    auto box = buildMessageBox(request, QApplication::activeWindow());
    const int result = box->exec();
    Button answer = engineButton(result);
    if (answer == ButtonNone) answer = engineButton(box->standardButton(box->escapeButton()));
    return answer == ButtonNone ? request.defaultButton : answer;
}

void QtUserInterface::beep() { QApplication::beep(); }

void QtUserInterface::progress(const ProgressReport& report) {
    if (!statusLine_) return;
    QString line = QString::fromStdString(report.title);
    if (!report.lines.empty()) line += (line.isEmpty() ? "" : ": ") + QString::fromStdString(report.lines.front());
    if (report.percent >= 0) line += QString(" (%1%)").arg(report.percent);
    statusLine_(line);
}

}  // namespace pm::frame
