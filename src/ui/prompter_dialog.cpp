#include "ui/prompter_dialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace vantor {

namespace {

QString FromModel(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Qt's platform windows put the application's name in a title left empty; a caption that is
// meant to be empty goes out as a blank, which the title bar shows as nothing.
QString BoxTitle(const std::u16string& caption) {
    return caption.empty() ? QStringLiteral(" ") : FromModel(caption);
}

}  // namespace

PrompterDialog::PrompterDialog(QWidget* fallbackOwner) : fallbackOwner_(fallbackOwner) {}

QWidget* PrompterDialog::Owner() const {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr ? active : fallbackOwner_.data();
}

void PrompterDialog::ShowMessage(const std::u16string& text, const std::u16string& caption,
                                 MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), BoxTitle(caption), FromModel(text), QMessageBox::Ok, Owner());
    box.exec();
}

bool PrompterDialog::AskYesNo(const std::u16string& text, const std::u16string& caption,
                              MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), BoxTitle(caption), FromModel(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace vantor
