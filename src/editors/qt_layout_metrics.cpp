#include "editors/qt_layout_metrics.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

namespace vantor {

QHBoxLayout* IndentedRow(const QWidget& above, QWidget* widget) {
    const QStyle* style = above.style();
    const int indent =
        qobject_cast<const QRadioButton*>(&above) != nullptr
            ? style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &above) +
                  style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &above)
            : style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &above) +
                  style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &above);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(indent, 0, 0, 0);
    row->addWidget(widget);
    return row;
}

int EditWidthFor(const QLineEdit& edit, const char* sample) {
    // The frame and text margins of an edit come to well under two average characters.
    return edit.fontMetrics().horizontalAdvance(QString::fromLatin1(sample)) +
           2 * edit.fontMetrics().averageCharWidth() + 8;
}

void ChainTabOrder(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

}  // namespace vantor
