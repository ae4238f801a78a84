// The in-place choice list: at most one pick-only list laid over the tree next to a node, for
// enumerations and for structures that offer derived types.
#pragma once

#include <functional>

#include <QComboBox>
#include <QPointer>
#include <QRect>

#include "workbench/core/editing/tree_editor.h"

class QComboBox;
class QWidget;

namespace sondar {

class InPlaceChoiceList {
  public:
    using Chosen = std::function<void(const QString&)>;

    // Shows the list in `viewport`, its top at the node text's top, 10 pixels right of it.
    void show(QWidget* viewport, const QRect& textRect, const ChoiceList& choices, Chosen chosen);
    // Destroys the list, if any.
    void remove();
    QComboBox* widget() const { return combo_; }

  private:
    QPointer<QComboBox> combo_;
};

}  // namespace sondar
