#include "ui/folder_picker_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/prompter.h"

namespace vantor {
namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

FolderPickerDialog::FolderPickerDialog(FolderPickerModel& model, Prompter& prompter,
                                       const QString& title, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* pathRow = new QHBoxLayout;
    auto* pathLabel = new QLabel(tr("&Folder:"), this);
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("pathEdit"));
    pathLabel->setBuddy(path_);
    up_ = new QPushButton(tr("&Up"), this);
    up_->setAutoDefault(false);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(up_);
    layout->addLayout(pathRow);
    folders_ = new QListWidget(this);
    folders_->setIconSize(QSize(16, 16));
    folders_->setObjectName(QStringLiteral("folderList"));
    folders_->setAccessibleName(tr("Folders"));
    layout->addWidget(folders_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    resize(420, 360);

    path_->installEventFilter(this);
    connect(up_, &QPushButton::clicked, this, [this] {
        if (model_.Up()) {
            Refresh();
        }
    });
    connect(folders_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { EnterRow(folders_->row(item)); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!model_.OnOk(path_->text().toStdString())) {
            Refused();
            return;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Refresh();
}

bool FolderPickerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == path_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenTyped();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FolderPickerDialog::Refresh() {
    path_->setText(FromBytes(model_.Current()));
    up_->setEnabled(model_.Current() != "/");
    folders_->clear();
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const std::string& name : model_.Subfolders()) {
        folders_->addItem(new QListWidgetItem(folder, FromBytes(name)));
    }
}

void FolderPickerDialog::OpenTyped() {
    if (model_.Open(path_->text().toStdString())) {
        Refresh();
    } else {
        Refused();
    }
}

void FolderPickerDialog::EnterRow(int row) {
    if (row < 0) {
        return;
    }
    if (model_.Enter(static_cast<std::size_t>(row))) {
        Refresh();
    } else {
        Refused();
    }
}

void FolderPickerDialog::Refused() {
    prompter_.ShowMessage(model_.Message(), windowTitle().toStdU16String(), MessageIcon::Warning);
}

FolderBrowser MachineFolderBrowser(DirectoryReader& reader, Prompter& prompter) {
    return [&reader, &prompter](QWidget* parent, const QString& title, const QString& start) {
        FolderPickerModel model(reader);
        model.Start(start.toStdString());
        FolderPickerDialog dialog(model, prompter, title, parent);
        return dialog.exec() == QDialog::Accepted ? FromBytes(model.Current()) : QString();
    };
}

}  // namespace vantor
