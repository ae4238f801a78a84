#include "workbench/dialogs/friendly_name_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "workbench/core/seams/message_seam.h"

namespace sondar {

TFriendlyNameDlg::TFriendlyNameDlg(MessageSeam& messages, QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      name_(new QLineEdit(this)),
      okButton_(new QPushButton(tr("OK"), this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(tr("Favorites Name"));

    name_->setObjectName(QStringLiteral("FriendlyName"));
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    okButton_->setDefault(true);

    auto* prompt = new QLabel(tr("Enter Friendly Name for Web Service:"), this);
    prompt->setBuddy(name_);

    // The buttons are wired by hand rather than through the box's accepted(): OK must be able
    // to refuse the name and leave the dialog open.
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(okButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);
    connect(okButton_, &QPushButton::clicked, this, &TFriendlyNameDlg::tryAccept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(name_);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    setMinimumWidth(360);
    resize(400, sizeHint().height());
    // On opening, QDialog focuses the field as if tabbed into, which selects a suggested name
    // so that typing replaces it.
    name_->setFocus();
}

QString TFriendlyNameDlg::name() const {
    return name_->text();
}

void TFriendlyNameDlg::setName(const QString& name) {
    name_->setText(name);
}

void TFriendlyNameDlg::tryAccept() {
    const QString trimmed = name_->text().trimmed();
    name_->setText(trimmed);
    if (trimmed.isEmpty()) {
        messages_.showMessage(tr("Please enter a friendly name for this favorite."));
        name_->setFocus();
        return;
    }
    if (trimmed.contains(QLatin1Char('&'))) {
        messages_.showMessage(tr("Name cannot contain an \"&&\"."));
        name_->setFocus();
        return;
    }
    accept();
}

}  // namespace sondar
