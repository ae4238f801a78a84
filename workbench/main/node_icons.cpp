#include "workbench/main/node_icons.h"

#include <array>

#include <QPainter>
#include <QPixmap>

namespace sondar {

namespace {

struct IconStyle {
    QColor fill;
    QChar letter;
    bool round;
};

// One colour and letter per kind (operations a triangle): structures and messages square,
// fields round.
IconStyle styleOf(NodeKind kind) {
    switch (kind) {
        case NodeKind::Root:
            return {QColor(0x2b, 0x4c, 0x7e), QLatin1Char('W'), false};
        case NodeKind::Operation:
            return {QColor(0x1f, 0x7a, 0x8c), QChar(), false};
        case NodeKind::InputMessage:
            return {QColor(0x3c, 0x9d, 0x4e), QLatin1Char('I'), false};
        case NodeKind::OutputMessage:
            return {QColor(0xc8, 0x6b, 0x1d), QLatin1Char('O'), false};
        case NodeKind::Structure:
            return {QColor(0x6b, 0x4f, 0xa8), QLatin1Char('S'), false};
        case NodeKind::SimpleField:
            return {QColor(0x33, 0x6e, 0xc9), QLatin1Char('F'), true};
        case NodeKind::Value:
            return {QColor(0xe8, 0xb9, 0x2e), QLatin1Char('='), true};
        case NodeKind::Type:
            return {QColor(0x8a, 0x8f, 0x98), QLatin1Char('T'), true};
        case NodeKind::AttributeField:
            return {QColor(0xb0, 0x3a, 0x5b), QLatin1Char('@'), true};
    }
    return {Qt::gray, QLatin1Char('?'), true};
}

QIcon drawIcon(NodeKind kind) {
    const IconStyle style = styleOf(kind);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(style.fill.darker(130), 1.5));
    painter.setBrush(style.fill);
    const QRectF box(3, 3, 26, 26);
    if (style.round)
        painter.drawEllipse(box);
    else
        painter.drawRoundedRect(box, 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(17);
    painter.setFont(font);
    painter.setPen(Qt::white);
    if (style.letter.isNull()) {
        // Operations are what can be invoked: a "play" triangle.
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        const QPointF triangle[3] = {{12, 9}, {12, 23}, {23, 16}};
        painter.drawPolygon(triangle, 3);
    } else {
        painter.drawText(box, Qt::AlignCenter, QString(style.letter));
    }
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

QIcon nodeIcon(NodeKind kind) {
    static const std::array<QIcon, 9> icons = [] {
        std::array<QIcon, 9> drawn;
        for (int k = 0; k < 9; ++k)
            drawn[static_cast<std::size_t>(k)] = drawIcon(static_cast<NodeKind>(k));
        return drawn;
    }();
    const int k = static_cast<int>(kind);
    return k >= 0 && k < 9 ? icons[static_cast<std::size_t>(k)] : QIcon();
}

}  // namespace sondar
