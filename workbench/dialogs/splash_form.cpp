#include "workbench/dialogs/splash_form.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "workbench/core/session/app_info.h"
#include "workbench/resources/resources_init.h"

namespace sondar {

namespace {
// Used only when the picture is missing, so the window is not an empty frame.
constexpr QSize kFallbackSize(480, 300);
}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    initResources();
    picture_.load(QStringLiteral(":/images/splash.jpg"));
    setFixedSize(picture_.isNull() ? kFallbackSize : picture_.size() / picture_.devicePixelRatio());
    setAttribute(Qt::WA_OpaquePaintEvent);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // A coarse timer may fire up to 5% early; the minimum must really be the minimum.
    minimumTime_.setTimerType(Qt::PreciseTimer);
    minimumTime_.setSingleShot(true);
    connect(&minimumTime_, &QTimer::timeout, this, [this] {
        canClose_ = true;
        Q_EMIT readyToClose();
    });
    minimumTime_.start(kMinimumShowMs);
}

void TSplashForm::showAndPaint() {
    show();
    repaint();
    QCoreApplication::processEvents();
}

void TSplashForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(rect(), picture_);
        return;
    }
    painter.fillRect(rect(), QColor(0x12, 0x34, 0x5e));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(32);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(rect(), Qt::AlignCenter, appinfo::applicationTitle());
}

}  // namespace sondar
