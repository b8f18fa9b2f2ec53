#include "editors/folder_editor_dialog.h"

#include <utility>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editors/access_panel_view.h"
#include "editors/limits_panel_view.h"
#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"
#include "platform/prompter.h"

namespace vantor {

namespace {

// Room for the longest group a user types.
constexpr char GroupEditSample[] = "255.255.255.255:65535";
constexpr int TextEditMinimumChars = 40;

// The keyboard mnemonic of each control (0: none); one letter per dialog.
char16_t Mnemonic(FolderControl control) {
    switch (control) {
        case FolderControl::NameLabel:
            return u'n';
        case FolderControl::BrowseButton:
            return u'B';
        case FolderControl::DescriptionLabel:
            return u'D';
        case FolderControl::Unicast:
            return u'U';
        case FolderControl::Multicast:
            return u'M';
        case FolderControl::GroupLabel:
            return u'G';
        case FolderControl::Playlist:
            return u'w';
        case FolderControl::Alphabetical:
            return u'h';
        case FolderControl::Random:
            return u'R';
        default:
            return 0;
    }
}

constexpr std::pair<FolderControl, FolderControl> LabelledEdits[] = {
    {FolderControl::NameLabel, FolderControl::NameEdit},
    {FolderControl::DescriptionLabel, FolderControl::DescriptionEdit},
    {FolderControl::GroupLabel, FolderControl::GroupEdit},
};

std::size_t Index(FolderControl control) {
    return static_cast<std::size_t>(control);
}

}  // namespace

QString BrowseWithFileDialog(QWidget* parent, const QString& title, const QString& startPath) {
    return QFileDialog::getExistingDirectory(parent, title, startPath);
}

FolderEditorDialog::FolderEditorDialog(FolderEditorModel& model, Prompter& prompter,
                                       FolderBrowser browser, QWidget* parent)
    : EditorDialog(prompter, FolderEditorModel::kErrorCaption, parent),
      model_(model),
      browser_(std::move(browser)) {
    BuildWidgets();
    BuildLayout();
    SetTabOrder();
    SetOpeningMessage(model_.OnOpen());
    Refresh();
    ConnectWidgets();
}

QWidget* FolderEditorDialog::Widget(FolderControl control) const {
    return control < FolderControl::Count ? folderWidgets_[Index(control)] : nullptr;
}

QWidget* FolderEditorDialog::Widget(AccessControl control) const {
    return accessView_->Widget(control);
}

QWidget* FolderEditorDialog::Widget(LimitsControl control) const {
    return limitsView_->Widget(control);
}

void FolderEditorDialog::BuildWidgets() {
    auto folder = [this](FolderControl control, QWidget* widget) {
        folderWidgets_[Index(control)] = widget;
    };
    folder(FolderControl::NameLabel, new QLabel(this));
    folder(FolderControl::NameEdit, new QLineEdit(this));
    folder(FolderControl::BrowseButton, new QPushButton(this));
    auto* path = new QLineEdit(this);
    if (FolderEditorModel::ReadOnly(FolderControl::PathEdit)) {
        ShowAsReadOnly(*path);  // only the browser fills it
    }
    folder(FolderControl::PathEdit, path);
    folder(FolderControl::DescriptionLabel, new QLabel(this));
    folder(FolderControl::DescriptionEdit, new QLineEdit(this));
    folder(FolderControl::Unicast, new QCheckBox(this));
    folder(FolderControl::Multicast, new QCheckBox(this));
    folder(FolderControl::GroupLabel, new QLabel(this));
    folder(FolderControl::GroupEdit, new QLineEdit(this));
    folder(FolderControl::Playlist, new QCheckBox(this));
    folder(FolderControl::OrderLabel, new QLabel(this));
    folder(FolderControl::Alphabetical, new QRadioButton(this));
    folder(FolderControl::Random, new QRadioButton(this));
    buttons_ = AddOkCancel(folderWidgets_[Index(FolderControl::OkButton)],
                           folderWidgets_[Index(FolderControl::CancelButton)]);

    accessView_ = new AccessPanelView(model_.Access(), this);
    limitsView_ = new LimitsPanelView(model_.Limits(), this);

    // Labels take their keyboard shortcut to the edit they name.
    for (const auto& [label, edit] : LabelledEdits) {
        static_cast<QLabel*>(Widget(label))->setBuddy(Widget(edit));
    }
    for (FolderControl edit : {FolderControl::NameEdit, FolderControl::DescriptionEdit}) {
        Widget(edit)->setMinimumWidth(fontMetrics().averageCharWidth() * TextEditMinimumChars);
    }
    auto* groupEdit = static_cast<QLineEdit*>(Widget(FolderControl::GroupEdit));
    groupEdit->setFixedWidth(EditWidthFor(*groupEdit, GroupEditSample));
}

void FolderEditorDialog::BuildLayout() {
    auto* main = new QVBoxLayout(this);

    // What is published, and under which name.
    auto* names = new QGridLayout;
    names->setColumnStretch(1, 1);
    names->addWidget(Widget(FolderControl::NameLabel), 0, 0);
    names->addWidget(Widget(FolderControl::NameEdit), 0, 1);
    names->addWidget(Widget(FolderControl::BrowseButton), 1, 0);
    names->addWidget(Widget(FolderControl::PathEdit), 1, 1);
    names->addWidget(Widget(FolderControl::DescriptionLabel), 2, 0);
    names->addWidget(Widget(FolderControl::DescriptionEdit), 2, 1);
    main->addLayout(names);

    // How it is delivered: each option with its own settings to its right.
    auto* delivery = new QGridLayout;
    delivery->setColumnStretch(4, 1);
    delivery->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 2);
    delivery->addWidget(Widget(FolderControl::Unicast), 0, 0);
    delivery->addLayout(
        IndentedRow(*Widget(FolderControl::Unicast), Widget(AccessControl::PlayerOption)), 1, 0);
    delivery->addWidget(Widget(FolderControl::Multicast), 2, 0);
    delivery->addWidget(Widget(FolderControl::GroupLabel), 2, 2);
    delivery->addWidget(Widget(FolderControl::GroupEdit), 2, 3, Qt::AlignLeft);
    delivery->addWidget(Widget(FolderControl::Playlist), 3, 0);
    delivery->addWidget(Widget(FolderControl::OrderLabel), 3, 2);
    auto* order = new QHBoxLayout;
    order->addWidget(Widget(FolderControl::Alphabetical));
    order->addWidget(Widget(FolderControl::Random));
    order->addStretch(1);
    delivery->addLayout(order, 3, 3);
    main->addLayout(delivery);

    // Who may play it, and how much of the server it may take. The panels' broadcast-only
    // controls stay hidden and unplaced.
    main->addWidget(accessView_);
    main->addWidget(limitsView_);

    main->addStretch(1);
    main->addWidget(buttons_);
}

void FolderEditorDialog::SetTabOrder() {
    ChainTabOrder({
        Widget(FolderControl::NameEdit),
        Widget(FolderControl::BrowseButton),
        Widget(FolderControl::PathEdit),
        Widget(FolderControl::DescriptionEdit),
        Widget(FolderControl::Unicast),
        Widget(AccessControl::PlayerOption),
        Widget(FolderControl::Multicast),
        Widget(FolderControl::GroupEdit),
        Widget(FolderControl::Playlist),
        Widget(FolderControl::Alphabetical),
        Widget(FolderControl::Random),
        Widget(AccessControl::InheritRadio),
        Widget(AccessControl::AnonymousRadio),
        Widget(AccessControl::InternalRadio),
        Widget(AccessControl::SessionRadio),
        Widget(AccessControl::BasicUsers),
        Widget(AccessControl::MediumUsers),
        Widget(AccessControl::AdvancedUsers),
        Widget(LimitsControl::TotalConnectionsCheck),
        Widget(LimitsControl::TotalConnectionsEdit),
        Widget(LimitsControl::ConnectionsPerUserCheck),
        Widget(LimitsControl::ConnectionsPerUserEdit),
        Widget(LimitsControl::ThroughputCheck),
        Widget(LimitsControl::ThroughputEdit),
        Widget(FolderControl::OkButton),
        Widget(FolderControl::CancelButton),
    });
    Widget(FolderControl::NameEdit)->setFocus();
}

void FolderEditorDialog::ConnectWidgets() {
    auto checkBox = [](QWidget* widget) { return static_cast<QAbstractButton*>(widget); };
    auto edit = [](QWidget* widget) { return static_cast<QLineEdit*>(widget); };
    // Every handler ends with the widgets brought in line with the model again.
    auto handle = [this](auto handler) {
        return [this, handler](auto&&... arguments) {
            handler(arguments...);
            Refresh();
        };
    };

    connect(edit(Widget(FolderControl::NameEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetNameText(ToModelText(text)); }));
    connect(edit(Widget(FolderControl::DescriptionEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetDescriptionText(ToModelText(text)); }));
    connect(edit(Widget(FolderControl::GroupEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetGroupText(ToModelText(text)); }));
    connect(checkBox(Widget(FolderControl::BrowseButton)), &QAbstractButton::clicked, this,
            handle([this](bool) {
                const QString picked = browser_(this, ToQString(FolderEditorModel::kBrowseTitle),
                                                ToQString(model_.BrowseStartPath()));
                model_.OnBrowseResult(ToModelText(picked));
            }));
    connect(checkBox(Widget(FolderControl::Unicast)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.OnUnicastClicked(checked); }));
    connect(checkBox(Widget(FolderControl::Multicast)), &QAbstractButton::clicked, this,
            [this](bool checked) {
                const std::u16string message = model_.OnMulticastClicked(checked);
                Refresh();
                ShowMessage(message);
            });
    connect(checkBox(Widget(FolderControl::Playlist)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.OnPlaylistClicked(checked); }));
    connect(checkBox(Widget(FolderControl::Alphabetical)), &QAbstractButton::clicked, this,
            handle([this](bool) { model_.OnOrderSelected(false); }));
    connect(checkBox(Widget(FolderControl::Random)), &QAbstractButton::clicked, this,
            handle([this](bool) { model_.OnOrderSelected(true); }));

    // The panels handle their own controls; the rest of the dialog follows what they changed.
    connect(accessView_, &AccessPanelView::edited, this, &FolderEditorDialog::Refresh);
    connect(limitsView_, &LimitsPanelView::edited, this, &FolderEditorDialog::Refresh);
}

void FolderEditorDialog::Refresh() {
    setWindowTitle(ToQString(model_.Title()));
    for (std::size_t i = 0; i < kFolderControlCount; ++i) {
        const auto control = static_cast<FolderControl>(i);
        ApplyControlState(*folderWidgets_[i], model_.State(control), Mnemonic(control));
    }
    // Edits are read out under the caption of their label; the path, which has none, under
    // what the browser asks for.
    for (const auto& [label, edit] : LabelledEdits) {
        Widget(edit)->setAccessibleName(DisplayedText(*Widget(label)));
    }
    Widget(FolderControl::PathEdit)->setAccessibleName(ToQString(FolderEditorModel::kBrowseTitle));
    accessView_->Refresh();
    limitsView_->Refresh();
}

std::u16string FolderEditorDialog::Ok() {
    return model_.OnOk();
}

void FolderEditorDialog::Cancel() {
    model_.OnCancel();
}

bool EditFolder(FolderEditorMode mode, FolderForm& form, MulticastTable& multicastTable,
                const Catalogue& catalogue, const AuthMethod& defaultAuthMethod, Prompter& prompter,
                const FolderBrowser& browser, QWidget* parent) {
    FolderEditorModel model(mode, form, multicastTable, catalogue, defaultAuthMethod);
    FolderEditorDialog dialog(model, prompter, browser, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    form = model.Form();
    return true;
}

}  // namespace vantor
