#include "editors/delegate_editor_dialog.h"

#include <utility>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"

namespace vantor {
namespace {

constexpr char kPortSample[] = "-2147483648";

// The shared controls and the panels take most letters; protocol and port go without.
constexpr std::pair<DelegateControl, char16_t> kMnemonics[] = {
    {DelegateControl::RemoteAliasLabel, u'b'},
    {DelegateControl::AddressLabel, u'r'},
};

}  // namespace

DelegateEditorDialog::DelegateEditorDialog(DelegateEditorModel& model, Prompter& prompter,
                                           QWidget* parent)
    : BroadcastDialog(model.Settings(), prompter, parent), model_(model), widgets_(kMnemonics) {
    auto own = [this](DelegateControl control, QWidget* widget) { widgets_.Set(control, widget); };
    auto* box = new QGroupBox(this);
    own(DelegateControl::RemoteGroupBox, box);
    auto labelled = [&](DelegateControl labelControl, DelegateControl fieldControl,
                        QWidget* field) {
        auto* label = new QLabel(box);
        label->setBuddy(field);
        own(labelControl, label);
        own(fieldControl, field);
    };
    labelled(DelegateControl::RemoteAliasLabel, DelegateControl::RemoteAliasEdit,
             new QLineEdit(box));
    labelled(DelegateControl::AddressLabel, DelegateControl::AddressEdit, new QLineEdit(box));
    auto* protocols = new QComboBox(box);
    for (const std::u16string& item : DelegateEditorModel::ProtocolItems()) {
        protocols->addItem(ToQString(item));
    }
    labelled(DelegateControl::ProtocolLabel, DelegateControl::ProtocolList, protocols);
    auto* port = new QLineEdit(box);
    RestrictEntry(*port, DelegateEditorModel::Entry(DelegateControl::PortEdit));
    port->setFixedWidth(EditWidthFor(*port, kPortSample));
    labelled(DelegateControl::PortLabel, DelegateControl::PortEdit, port);

    auto* fields = new QGridLayout(box);
    fields->setColumnStretch(1, 1);
    fields->addWidget(Widget(DelegateControl::RemoteAliasLabel), 0, 0);
    fields->addWidget(Widget(DelegateControl::RemoteAliasEdit), 0, 1, 1, 3);
    fields->addWidget(Widget(DelegateControl::AddressLabel), 1, 0);
    fields->addWidget(Widget(DelegateControl::AddressEdit), 1, 1, 1, 3);
    fields->addWidget(Widget(DelegateControl::ProtocolLabel), 2, 0);
    fields->addWidget(protocols, 2, 1, Qt::AlignLeft);
    fields->addWidget(Widget(DelegateControl::PortLabel), 2, 2, Qt::AlignRight);
    fields->addWidget(port, 2, 3, Qt::AlignLeft);
    auto* remote = new QGridLayout;
    remote->addWidget(box, 0, 0);
    Assemble(nullptr, {}, remote,
             {Widget(DelegateControl::RemoteAliasEdit), Widget(DelegateControl::AddressEdit),
              protocols, port});

    SetOpeningMessage(model_.OnOpen());
    Refresh();

    auto edit = [](QWidget* widget) { return static_cast<QLineEdit*>(widget); };
    connect(edit(Widget(DelegateControl::RemoteAliasEdit)), &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { model_.SetRemoteAliasText(ToModelText(text)); }));
    connect(edit(Widget(DelegateControl::AddressEdit)), &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { model_.SetAddressText(ToModelText(text)); }));
    connect(port, &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { model_.SetPortText(ToModelText(text)); }));
    connect(protocols, &QComboBox::currentIndexChanged, this,
            Handle([this](int index) { model_.OnProtocolSelected(index); }));
}

QComboBox* DelegateEditorDialog::ProtocolList() const {
    return static_cast<QComboBox*>(Widget(DelegateControl::ProtocolList));
}

void DelegateEditorDialog::RefreshOwn() {
    widgets_.Apply(model_);
    const QSignalBlocker quiet(ProtocolList());
    ProtocolList()->setCurrentIndex(model_.SelectedProtocol());
}

bool EditDelegateBroadcast(DelegateEditorMode mode, DelegateForm& form,
                           MulticastTable& multicastTable, const Catalogue& catalogue,
                           const AuthMethod& defaultAuthMethod, BroadcastSubDialogs subDialogs,
                           Prompter& prompter, QWidget* parent) {
    DelegateEditorModel model(mode, form, multicastTable, catalogue, defaultAuthMethod,
                              std::move(subDialogs));
    DelegateEditorDialog dialog(model, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    form = model.Form();
    return true;
}

}  // namespace vantor
