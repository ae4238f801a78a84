#include "workbench/main/choice_list.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>

namespace sondar {

void InPlaceChoiceList::show(QWidget* viewport, const QRect& textRect, const ChoiceList& choices,
                             Chosen chosen) {
    remove();
    auto* combo = new QComboBox(viewport);
    combo->setObjectName(QStringLiteral("InPlaceChoiceList"));
    combo->addItems(choices.items);
    combo->setMaxVisibleItems(8);
    combo->setCurrentIndex(choices.preselected);
    const QFontMetrics metrics(combo->font());
    int widest = 0;
    for (const QString& item : choices.items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    // Room for the drop-down arrow, which the platform's list draws inside its width.
    const int arrow = combo->sizeHint().width() - combo->minimumSizeHint().width() + 24;
    combo->setGeometry(textRect.right() + 10, textRect.top(), std::max(widest + 10, 115) + arrow,
                       combo->sizeHint().height());
    QObject::connect(combo, &QComboBox::activated, combo,
                     [combo, chosen = std::move(chosen)](int index) {
                         if (chosen)
                             chosen(combo->itemText(index));
                     });
    combo->show();
    combo->raise();
    combo->setFocus();
    combo_ = combo;
}

void InPlaceChoiceList::remove() {
    if (combo_) {
        combo_->hide();
        combo_->deleteLater();
    }
    combo_ = nullptr;
}

}  // namespace sondar
