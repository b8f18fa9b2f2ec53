#include "editors/limits_panel_view.h"

#include <utility>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"

namespace vantor {

namespace {

// Room for a 32-bit limit.
constexpr char LimitEditSample[] = "-2147483648";

constexpr LimitPair AllPairs[] = {LimitPair::TotalConnections, LimitPair::ConnectionsPerUser,
                                  LimitPair::Throughput, LimitPair::PlayTime};

// Letters that no editor's own controls take; a dialog can change them with SetMnemonic.
constexpr std::pair<LimitsControl, char16_t> DefaultMnemonics[] = {
    {LimitsControl::TotalConnectionsCheck, u'c'},
    {LimitsControl::ConnectionsPerUserCheck, u'L'},
    {LimitsControl::ThroughputCheck, u'x'},
    {LimitsControl::PlayTimeCheck, u'y'},
};

}  // namespace

LimitsPanelView::LimitsPanelView(LimitsPanel& panel, QWidget* parent)
    : QWidget(parent), panel_(panel), widgets_(DefaultMnemonics) {
    BuildWidgets();
    BuildLayout();
    Refresh();
    ConnectWidgets();
}

void LimitsPanelView::SetMnemonic(LimitsControl control, char16_t letter) {
    widgets_.SetMnemonic(control, letter);
    Refresh();
}

void LimitsPanelView::BuildWidgets() {
    auto add = [this](LimitsControl control, QWidget* widget) { widgets_.Set(control, widget); };
    auto* box = new QGroupBox(this);
    add(LimitsControl::GroupBox, box);
    playTimeRow_ = new QWidget(this);
    for (LimitPair pair : AllPairs) {
        QWidget* owner = pair == LimitPair::PlayTime ? playTimeRow_ : box;
        add(LimitsPanel::CheckBoxOf(pair), new QCheckBox(owner));
        auto* edit = new QLineEdit(owner);
        RestrictEntry(*edit, LimitsPanel::DigitsOnly(LimitsPanel::EditOf(pair))
                                 ? EditEntry::Digits
                                 : EditEntry::AnyText);
        edit->setFixedWidth(EditWidthFor(*edit, LimitEditSample));
        add(LimitsPanel::EditOf(pair), edit);
    }
    add(LimitsControl::ConnectionsPerUserSecondLine, new QLabel(box));
    add(LimitsControl::MinutesLabel, new QLabel(playTimeRow_));
}

void LimitsPanelView::BuildLayout() {
    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->addWidget(Widget(LimitsControl::GroupBox));

    auto* pairs = new QGridLayout(Widget(LimitsControl::GroupBox));
    pairs->setColumnStretch(0, 1);
    pairs->addWidget(Widget(LimitsControl::TotalConnectionsCheck), 0, 0);
    pairs->addWidget(Widget(LimitsControl::TotalConnectionsEdit), 0, 1);
    pairs->addWidget(Widget(LimitsControl::ConnectionsPerUserCheck), 1, 0);
    pairs->addWidget(Widget(LimitsControl::ConnectionsPerUserEdit), 1, 1, 2, 1, Qt::AlignVCenter);
    pairs->addLayout(IndentedRow(*Widget(LimitsControl::ConnectionsPerUserCheck),
                                 Widget(LimitsControl::ConnectionsPerUserSecondLine)),
                     2, 0);
    pairs->addWidget(Widget(LimitsControl::ThroughputCheck), 3, 0);
    pairs->addWidget(Widget(LimitsControl::ThroughputEdit), 3, 1);

    auto* playTime = new QHBoxLayout(playTimeRow_);
    playTime->setContentsMargins(0, 0, 0, 0);
    playTime->addWidget(Widget(LimitsControl::PlayTimeCheck));
    playTime->addWidget(Widget(LimitsControl::PlayTimeEdit));
    playTime->addWidget(Widget(LimitsControl::MinutesLabel));
    playTime->addStretch(1);
}

void LimitsPanelView::ConnectWidgets() {
    for (LimitPair pair : AllPairs) {
        connect(static_cast<QAbstractButton*>(Widget(LimitsPanel::CheckBoxOf(pair))),
                &QAbstractButton::clicked, this, [this, pair](bool checked) {
                    panel_.OnPairToggled(pair, checked);
                    Refresh();
                    emit edited();
                });
        connect(static_cast<QLineEdit*>(Widget(LimitsPanel::EditOf(pair))), &QLineEdit::textEdited,
                this, [this, pair](const QString& text) {
                    panel_.SetEditText(pair, ToModelText(text));
                    Refresh();
                    emit edited();
                });
    }
}

QString LimitsPanelView::AccessibleNameOf(LimitPair pair) const {
    QString name = DisplayedText(*Widget(LimitsPanel::CheckBoxOf(pair)));
    if (pair == LimitPair::ConnectionsPerUser) {
        name +=
            QLatin1Char(' ') + DisplayedText(*Widget(LimitsControl::ConnectionsPerUserSecondLine));
    }
    return name;
}

void LimitsPanelView::Refresh() {
    widgets_.Apply(panel_);
    for (LimitPair pair : AllPairs) {
        Widget(LimitsPanel::EditOf(pair))->setAccessibleName(AccessibleNameOf(pair));
    }
    Widget(LimitsControl::PlayTimeEdit)
        ->setAccessibleDescription(DisplayedText(*Widget(LimitsControl::MinutesLabel)));
    playTimeRow_->setVisible(panel_.State(LimitsControl::PlayTimeCheck).visible);
}

}  // namespace vantor
