#include "editors/qt_accessible_name.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>

namespace vantor {

namespace {

// "&&" is a literal ampersand; any other "&" marks the next letter as the mnemonic.
QString WithoutMnemonics(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

QString CaptionOf(const QWidget& caption) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&caption)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&caption)) {
        return label->text();
    }
    return caption.accessibleName();
}

}  // namespace

void NameAfterCaptions(QWidget& control, std::initializer_list<const QWidget*> captions) {
    QStringList parts;
    for (const QWidget* caption : captions) {
        const QString text =
            caption != nullptr ? WithoutMnemonics(CaptionOf(*caption)).trimmed() : QString();
        if (!text.isEmpty()) {
            parts << text;
        }
    }
    const QString name = parts.join(u' ');
    if (control.accessibleName() != name) {
        control.setAccessibleName(name);
    }
}

}  // namespace vantor
