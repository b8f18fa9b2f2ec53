#include "ui/qt_view_style.h"

#include <QAbstractItemView>
#include <QPalette>

namespace vantor {

void KeepSelectionVisibleWhenInactive(QAbstractItemView& view) {
    QPalette palette = view.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view.setPalette(palette);
}

}  // namespace vantor
