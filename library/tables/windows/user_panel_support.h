#pragma once
// Small pieces the preferences window is built from.
#include <QColor>
#include <QTime>

#include "common/types.h"

class QAbstractButton;
class QButtonGroup;
class QPushButton;

namespace pm {

// The stored RGB value (red in the low byte) of a colour; colourFromRgbValue
// (catalog_model.h) goes the other way.
LONG rgbValueOf(const QColor& colour);

// Shows `colour` on a colour button.
void paintColourButton(QPushButton* button, const QColor& colour);

// Checks the button of `group` with `id` (none when no button has it).
void checkButton(QButtonGroup* group, int id);

// Times of day kept in hundredths of a second since midnight.
QTime timeFromHundredths(LONG hundredths);
LONG hundredthsOf(const QTime& time);

}  // namespace pm
