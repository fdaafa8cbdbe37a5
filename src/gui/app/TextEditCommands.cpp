#include "gui/app/TextEditCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace vantrel::gui {

void RunTextEditCommand(ActionId id) {
    QWidget* focus = QApplication::focusWidget();
    auto run = [id](auto* editor) {
        if (id == ActionId::EditCut1) editor->cut();
        else if (id == ActionId::EditCopy1) editor->copy();
        else editor->paste();
    };
    if (auto* line = qobject_cast<QLineEdit*>(focus)) run(line);
    else if (auto* text = qobject_cast<QTextEdit*>(focus)) run(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) run(plain);
}

void UpdateTextEditCommands(QAction* cut, QAction* copy, QAction* paste) {
    QWidget* focus = QApplication::focusWidget();
    bool hasSelection = false, isText = false;
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        isText = true;
        hasSelection = line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        isText = true;
        hasSelection = text->textCursor().hasSelection();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        isText = true;
        hasSelection = plain->textCursor().hasSelection();
    }
    cut->setEnabled(hasSelection);
    copy->setEnabled(hasSelection);
    paste->setEnabled(isText && !QApplication::clipboard()->text().isEmpty());
}

}  // namespace vantrel::gui
