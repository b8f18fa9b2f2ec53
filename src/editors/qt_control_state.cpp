#include "editors/qt_control_state.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QWidget>

namespace vantor {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToModelText(const QString& text) {
    return text.toStdU16String();
}

QString MnemonicText(std::u16string_view text, char16_t letter) {
    QString caption = ToQString(text);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (letter != 0) {
        // Searched after doubling, so an '&' of the caption is never taken for the letter.
        const qsizetype at = caption.indexOf(QChar(letter));
        if (at >= 0) {
            caption.insert(at, QLatin1Char('&'));
        }
    }
    return caption;
}

void ApplyControlState(QWidget& widget, const ControlState& state, char16_t mnemonic) {
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        const QString text = ToQString(state.text);
        if (edit->text() != text) {
            edit->setText(text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(MnemonicText(state.text, mnemonic));
        if (button->isCheckable()) {
            button->setChecked(state.checked);
        }
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(MnemonicText(state.text, mnemonic));
    } else if (auto* box = qobject_cast<QGroupBox*>(&widget)) {
        box->setTitle(MnemonicText(state.text, mnemonic));
    }
    widget.setEnabled(state.enabled);
    // A child shown before its dialog appears with the dialog.
    widget.setVisible(state.visible);
}

QString DisplayedText(const QWidget& widget) {
    QString text;
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        return edit->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    } else if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (auto* box = qobject_cast<const QGroupBox*>(&widget)) {
        text = box->title();
    }
    // "&&" stands for one ampersand, a lone '&' marks the mnemonic.
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

void RestrictEntry(QLineEdit& edit, EditEntry entry) {
    if (entry == EditEntry::AnyText) {
        edit.setValidator(nullptr);
        return;
    }
    const QString pattern =
        entry == EditEntry::Digits ? QStringLiteral("[0-9]*") : QStringLiteral("-?[0-9]*");
    edit.setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), &edit));
}

void ShowAsReadOnly(QLineEdit& edit) {
    edit.setReadOnly(true);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit.setPalette(palette);
}

}  // namespace vantor
