#include "gui/service/TReport_Dlog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vantrel::gui {

TReport_Dlog::TReport_Dlog(const QString& caption, const QString& title, const QString& names, QWidget* parent)
    : QDialog(parent) {
    setObjectName("Report_Dlog");
    setWindowTitle(caption);
    setMinimumSize(400, 300);
    auto* layout = new QVBoxLayout(this);
    auto* titleLabel = new QLabel(title, this);
    titleLabel->setObjectName("Title_Lbl");
    layout->addWidget(titleLabel);
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName("Names_Memo");
    memo->setReadOnly(true);
    memo->setPlainText(QString(names).remove('\r'));
    layout->addWidget(memo, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace vantrel::gui
