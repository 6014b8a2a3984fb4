#include "tables/windows/instruction_pane.h"

#include <QPlainTextEdit>

#include "tables/menu_text.h"

namespace pm {

QWidget* instructionPane(std::initializer_list<int> numbers, int maximumHeight) {
    QString text;
    for (int n : numbers) {
        if (!text.isEmpty()) text += QStringLiteral("\n\n");
        text += QString::fromStdString(GetMenuText(n)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    auto* pane = new QPlainTextEdit(text);
    pane->setReadOnly(true);
    pane->setFocusPolicy(Qt::NoFocus);
    pane->setObjectName(QStringLiteral("instructions"));
    if (maximumHeight > 0) pane->setMaximumHeight(maximumHeight);
    return pane;
}

}  // namespace pm
