#include "workbench/dialogs/about_box.h"

#include <utility>

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "workbench/core/session/app_info.h"
#include "workbench/resources/resources_init.h"

namespace sondar {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent),
      versionLabel_(new QLabel(tr("Version Info"), this)),
      addressLabel_(new QLabel(this)),
      okButton_(new QPushButton(tr("OK"), this)),
      openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    initResources();
    setWindowTitle(tr("About"));

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/about.jpg")));
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setAlignment(Qt::AlignCenter);

    // Scaled for the screen's pixel density, so the icon stays sharp on high-density displays.
    const qreal density = devicePixelRatioF();
    QPixmap iconPixmap =
        QPixmap(QStringLiteral(":/images/sondar.png"))
            .scaled(QSize(48, 48) * density, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    iconPixmap.setDevicePixelRatio(density);
    auto* icon = new QLabel(this);
    icon->setPixmap(iconPixmap);

    auto* product = new QLabel(appinfo::applicationTitle(), this);
    product->setObjectName(QStringLiteral("ProductLabel"));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.6);
    productFont.setBold(true);
    product->setFont(productFont);

    auto* subtitle = new QLabel(tr("Workbench for SOAP web services"), this);

    versionLabel_->setObjectName(QStringLiteral("VersionLabel"));
    versionLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QString address = appinfo::makerWebAddress();
    addressLabel_->setObjectName(QStringLiteral("AddressLabel"));
    addressLabel_->setTextFormat(Qt::RichText);
    addressLabel_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                               .arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
    addressLabel_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
    addressLabel_->setToolTip(tr("Open in the web browser"));
    // As wide as the address, so the whole label is the link.
    addressLabel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(addressLabel_, &QLabel::linkActivated, this,
            [this](const QString& link) { openUrl_(QUrl(link)); });

    okButton_->setObjectName(QStringLiteral("OKBtn"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* title = new QHBoxLayout;
    title->setSpacing(10);
    title->addWidget(icon);
    title->addWidget(product, 1);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addLayout(title);
    text->addSpacing(4);
    text->addWidget(subtitle);
    text->addWidget(versionLabel_);
    text->addStretch(1);
    text->addWidget(addressLabel_);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(picture, 0, Qt::AlignTop);
    body->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(okButton_, QDialogButtonBox::AcceptRole);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::setUrlOpener(std::function<void(const QUrl&)> opener) {
    openUrl_ = std::move(opener);
}

void TAboutBox::showEvent(QShowEvent* event) {
    versionLabel_->setText(appinfo::productVersion() + tr(" : File Version ") +
                           appinfo::fileVersion());
    QDialog::showEvent(event);
}

}  // namespace sondar
