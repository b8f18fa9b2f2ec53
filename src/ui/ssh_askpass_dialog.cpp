#include "ui/ssh_askpass_dialog.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextStream>

namespace vantor {
namespace {

const QString kCaption = QStringLiteral("VantorConfig - ssh");

}  // namespace

int RunSshAskpass(const QString& prompt, QTextStream& out) {
    // ssh asks to accept an unknown host key with "(yes/no/[fingerprint])?".
    if (prompt.contains(QStringLiteral("(yes/no"))) {
        const auto answer = QMessageBox::question(
            nullptr, kCaption, prompt, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        out << (answer == QMessageBox::Yes ? "yes" : "no") << '\n';
        return 0;
    }
    bool accepted = false;
    const QString text =
        QInputDialog::getText(nullptr, kCaption, prompt, QLineEdit::Password, {}, &accepted);
    if (!accepted) {
        return 1;
    }
    out << text << '\n';
    return 0;
}

}  // namespace vantor
