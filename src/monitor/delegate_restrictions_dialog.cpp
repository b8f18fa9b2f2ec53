#include "monitor/delegate_restrictions_dialog.h"

#include <memory>
#include <utility>

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "monitor/add_address_dialog.h"
#include "platform/prompter.h"

namespace vantor {

namespace {

constexpr DelegateAccessMode Lists[] = {DelegateAccessMode::ExceptionList,
                                        DelegateAccessMode::AllowedList};

std::size_t Index(DelegateAccessMode list) {
    return static_cast<std::size_t>(ListNumber(list) - 1);
}

RestrictionsControl ListControl(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList ? RestrictionsControl::ExceptionList
                                                     : RestrictionsControl::AllowedList;
}

RestrictionsControl RadioControl(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList ? RestrictionsControl::ExceptionRadio
                                                     : RestrictionsControl::AllowedRadio;
}

std::u16string_view RadioText(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList
               ? DelegateRestrictionsModel::kExceptionRadioText
               : DelegateRestrictionsModel::kAllowedRadioText;
}

QTreeWidget* NewList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(2);
    list->setHeaderLabels({ToQString(DelegateRestrictionsModel::kAccessColumnText),
                           ToQString(DelegateRestrictionsModel::kAddressColumnText)});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

}  // namespace

DelegateRestrictionsDialog::DelegateRestrictionsDialog(DelegateRestrictionsModel& model,
                                                       QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(ToQString(DelegateRestrictionsModel::kTitle));
    BuildWidgets();
    Refresh();
    FocusMode();
}

DelegateRestrictionsDialog::~DelegateRestrictionsDialog() {
    if (loader_.joinable()) {
        loader_.join();
    }
}

void DelegateRestrictionsDialog::FocusMode() {
    // A list that takes the focus selects its mode, so the dialog starts on the checked radio.
    Widget(model_.Mode() == DelegateAccessMode::ExceptionList ? RestrictionsControl::ExceptionRadio
                                                              : RestrictionsControl::AllowedRadio)
        ->setFocus();
}

void DelegateRestrictionsDialog::LoadInBackground(FileStore& files, Prompter& prompter) {
    if (loader_.joinable()) {
        return;
    }
    // Locating is cheap; reading and parsing are what may take long.
    loader_ = std::thread([this, &files, &prompter, path = model_.Path()] {
        auto snapshot = std::make_shared<RestrictionsSnapshot>(ReadRestrictionsFile(path, files));
        // Delivered on the dialog's thread; the destructor waits for this thread first, so the
        // call is either delivered or dropped with the dialog.
        QMetaObject::invokeMethod(
            this, [this, snapshot, &prompter] { OnLoaded(std::move(*snapshot), prompter); },
            Qt::QueuedConnection);
    });
}

void DelegateRestrictionsDialog::OnLoaded(RestrictionsSnapshot snapshot, Prompter& prompter) {
    if (!model_.OnLoaded(std::move(snapshot))) {
        reject();
        return;
    }
    Refresh();
    FocusMode();
    const std::u16string warning = model_.UnreadableMessage();
    if (!warning.empty()) {
        prompter.ShowMessage(warning, std::u16string(DelegateRestrictionsModel::kMessageCaption),
                             MessageIcon::Warning);
    }
}

QTreeWidget* DelegateRestrictionsDialog::List(DelegateAccessMode list) const {
    return static_cast<QTreeWidget*>(Widget(ListControl(list)));
}

void DelegateRestrictionsDialog::BuildWidgets() {
    auto set = [this](RestrictionsControl control, QWidget* widget) {
        widgets_.Set(control, widget);
    };
    auto* group = new QGroupBox(this);
    set(RestrictionsControl::ModeGroup, group);
    set(RestrictionsControl::ExceptionRadio, new QRadioButton(group));
    set(RestrictionsControl::ExceptionList, NewList(group));
    set(RestrictionsControl::AllowedRadio, new QRadioButton(group));
    set(RestrictionsControl::AllowedList, NewList(group));
    auto* buttons = new QDialogButtonBox(this);
    set(RestrictionsControl::AddButton, new QPushButton(this));
    set(RestrictionsControl::RemoveButton, new QPushButton(this));
    set(RestrictionsControl::OkButton, buttons->addButton(QDialogButtonBox::Ok));
    set(RestrictionsControl::CancelButton, buttons->addButton(QDialogButtonBox::Cancel));

    auto* grid = new QGridLayout(group);
    grid->addWidget(Widget(RestrictionsControl::ExceptionRadio), 0, 0, 1, 2);
    grid->addWidget(Widget(RestrictionsControl::ExceptionList), 1, 0);
    grid->addWidget(Widget(RestrictionsControl::AllowedRadio), 2, 0, 1, 2);
    grid->addWidget(Widget(RestrictionsControl::AllowedList), 3, 0);
    auto* addRemove = new QVBoxLayout;
    addRemove->addWidget(Widget(RestrictionsControl::AddButton));
    addRemove->addWidget(Widget(RestrictionsControl::RemoveButton));
    addRemove->addStretch(1);
    grid->addLayout(addRemove, 1, 1, 3, 1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(group, 1);
    main->addWidget(buttons);

    for (DelegateAccessMode mode : Lists) {
        auto* radio = static_cast<QRadioButton*>(Widget(RadioControl(mode)));
        // Each radio heads its own list, so each is a Tab stop of its own; the model keeps
        // the two exclusive.
        radio->setAutoExclusive(false);
        // A list is read out under the radio above it.
        List(mode)->setAccessibleName(ToQString(RadioText(mode)));
    }

    // Every handler ends with the widgets brought in line with the model again.
    auto handle = [this](auto handler) {
        return [this, handler](auto&&...) {
            handler();
            Refresh();
        };
    };
    connect(static_cast<QAbstractButton*>(Widget(RestrictionsControl::ExceptionRadio)),
            &QAbstractButton::clicked, this,
            handle([this] { model_.OnModeSelected(DelegateAccessMode::ExceptionList); }));
    connect(static_cast<QAbstractButton*>(Widget(RestrictionsControl::AllowedRadio)),
            &QAbstractButton::clicked, this,
            handle([this] { model_.OnModeSelected(DelegateAccessMode::AllowedList); }));
    connect(static_cast<QAbstractButton*>(Widget(RestrictionsControl::AddButton)),
            &QAbstractButton::clicked, this, handle([this] { model_.OnAdd(); }));
    connect(static_cast<QAbstractButton*>(Widget(RestrictionsControl::RemoveButton)),
            &QAbstractButton::clicked, this, handle([this] { model_.OnRemove(); }));
    connect(buttons, &QDialogButtonBox::accepted, this, &DelegateRestrictionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DelegateRestrictionsDialog::reject);
    for (DelegateAccessMode mode : Lists) {
        QTreeWidget* list = List(mode);
        list->installEventFilter(this);
        connect(list, &QTreeWidget::itemSelectionChanged, this, handle([this, list, mode] {
                    const QModelIndexList rows = list->selectionModel()->selectedRows();
                    model_.OnRowSelected(mode, rows.isEmpty()
                                                   ? std::nullopt
                                                   : std::optional<std::size_t>(rows[0].row()));
                }));
    }
}

void DelegateRestrictionsDialog::Refresh() {
    widgets_.Apply(model_);
    for (DelegateAccessMode list : Lists) {
        FillList(list);
    }
}

void DelegateRestrictionsDialog::FillList(DelegateAccessMode mode) {
    QTreeWidget* list = List(mode);
    // Rebuilding, or moving the selection to the model's, is not the user's selecting.
    const QSignalBlocker blocker(list);
    const std::vector<RestrictionsRow>& rows = model_.Rows(mode);
    if (rows != shown_[Index(mode)]) {
        list->clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(rows.size()));
        for (const RestrictionsRow& row : rows) {
            items.append(new QTreeWidgetItem({ToQString(row.access), ToQString(row.address)}));
        }
        list->addTopLevelItems(items);
        shown_[Index(mode)] = rows;
    }
    const std::optional<std::size_t> selected = model_.Selected(mode);
    QTreeWidgetItem* item = selected ? list->topLevelItem(static_cast<int>(*selected)) : nullptr;
    if (item == nullptr) {
        list->clearSelection();
    } else if (!item->isSelected()) {
        list->setCurrentItem(item);
    }
    list->viewport()->update();
}

void DelegateRestrictionsDialog::SizeColumns() {
    for (DelegateAccessMode mode : Lists) {
        QTreeWidget* list = List(mode);
        const int width = list->viewport()->width();
        list->setColumnWidth(0, width / 4 + 3);
        list->setColumnWidth(1, 3 * width / 4 - 3);
    }
}

bool DelegateRestrictionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (DelegateAccessMode mode : Lists) {
            if (watched == List(mode)) {
                model_.OnModeSelected(mode);
                Refresh();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DelegateRestrictionsDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void DelegateRestrictionsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SizeColumns();
}

void DelegateRestrictionsDialog::accept() {
    if (model_.OnOk()) {
        QDialog::accept();
    } else {
        // A file changed meanwhile may have brought other rows.
        Refresh();
    }
}

bool EditDelegateRestrictions(QWidget* parent, Prompter& prompter, FileStore& files,
                              const RestrictionsLocator& locate, AutomationFactory& automation) {
    // The address dialog is owned by whichever window is active when "+" is clicked.
    DelegateRestrictionsModel model(files, locate, prompter, [](std::u16string& address) {
        return RunAddAddressDialog(QApplication::activeWindow(), address);
    });
    return RunDelegateRestrictions(
        model,
        [parent, &files, &prompter](DelegateRestrictionsModel& shown) {
            DelegateRestrictionsDialog dialog(shown, parent);
            dialog.LoadInBackground(files, prompter);
            return dialog.exec() == QDialog::Accepted;
        },
        automation);
}

SubDialog<int> DelegateRestrictionsSubDialog(QWidget* parent, Prompter& prompter, FileStore& files,
                                             InstallationEnvironment& environment,
                                             AutomationFactory& automation) {
    return [parent, &prompter, &files, &environment, &automation](int& selector) {
        return EditDelegateRestrictions(parent, prompter, files,
                                        LocateRestrictions(environment, selector), automation);
    };
}

}  // namespace vantor
