#pragma once
// What a run window shows beside a counter's label.
#include <QLabel>
#include <QWidget>

namespace pm::test {

// The text of the label that follows the label `label` ("<none>" when
// there is no such label).
inline QString counterValue(QWidget* window, const QString& label) {
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (int i = 0; i + 1 < labels.size(); ++i)
        if (labels[i]->text() == label) return labels[i + 1]->text();
    return QStringLiteral("<none>");
}

}  // namespace pm::test
