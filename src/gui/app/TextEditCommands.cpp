#include "gui/app/TextEditCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <memory>

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

void FollowTextEditCommands(QObject& owner, QAction* cut, QAction* copy, QAction* paste) {
    auto update = [cut, copy, paste] { UpdateTextEditCommands(cut, copy, paste); };
    // Only the focused field's selection matters: the watch moves with the focus.
    auto selectionWatch = std::make_shared<QMetaObject::Connection>();
    QObject::connect(qApp, &QApplication::focusChanged, &owner,
                     [&owner, update, selectionWatch](QWidget*, QWidget* now) {
        QObject::disconnect(*selectionWatch);
        if (auto* line = qobject_cast<QLineEdit*>(now))
            *selectionWatch = QObject::connect(line, &QLineEdit::selectionChanged, &owner, update);
        else if (auto* text = qobject_cast<QTextEdit*>(now))
            *selectionWatch = QObject::connect(text, &QTextEdit::selectionChanged, &owner, update);
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(now))
            *selectionWatch = QObject::connect(plain, &QPlainTextEdit::selectionChanged, &owner, update);
        update();
    });
    QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, &owner, update);
    update();
}

}  // namespace vantrel::gui
