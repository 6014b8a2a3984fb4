#include "tables/windows/user_panel_support.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>


namespace pm {

LONG rgbValueOf(const QColor& colour) {
    return static_cast<LONG>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

void paintColourButton(QPushButton* button, const QColor& colour) {
    if (!button) return;
    const QColor text = colour.lightness() < 128 ? Qt::white : Qt::black;
    button->setStyleSheet(QStringLiteral("background-color: %1; color: %2;").arg(colour.name(), text.name()));
}

void checkButton(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

QTime timeFromHundredths(LONG hundredths) {
    if (hundredths < 0 || hundredths >= 8640000) hundredths = 0;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(hundredths) * 10);
}

LONG hundredthsOf(const QTime& time) { return time.isValid() ? time.msecsSinceStartOfDay() / 10 : 0; }

}  // namespace pm
