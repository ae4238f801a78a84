#include "workbench/dialogs/basic_auth_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace sondar {

namespace {

// An asterisk per character, whatever the platform style's own mask character is.
class AsteriskPasswordStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TBasicAuthDialog::TBasicAuthDialog(QWidget* parent)
    : QDialog(parent),
      userName_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      okButton_(new QPushButton(tr("OK"), this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(tr("Basic Authentication Data"));

    userName_->setObjectName(QStringLiteral("UserName"));
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    auto* maskStyle = new AsteriskPasswordStyle;
    maskStyle->setParent(password_);
    password_->setStyle(maskStyle);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    okButton_->setDefault(true);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(tr("&Username:"), userName_);
    form->addRow(tr("&Password:"), password_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(okButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    setMinimumWidth(340);
    resize(360, sizeHint().height());
    userName_->setFocus();
}

QString TBasicAuthDialog::userName() const {
    return userName_->text();
}

QString TBasicAuthDialog::password() const {
    return password_->text();
}

void TBasicAuthDialog::clear() {
    userName_->clear();
    password_->clear();
    userName_->setFocus();
}

}  // namespace sondar
