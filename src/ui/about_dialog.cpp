#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QString>
#include <QVBoxLayout>

#include "ui/qt_icons.h"

namespace vantor {

namespace {

constexpr int IconSize = 48;

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Text(AboutCaption));
    setObjectName(QStringLiteral("aboutDialog"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(ProgramIcon().pixmap(IconSize, IconSize));
    icon->setAlignment(Qt::AlignTop);

    auto* product = new QLabel(Text(AboutProductLine), this);
    product->setObjectName(QStringLiteral("aboutProduct"));
    auto* copyright = new QLabel(Text(AboutCopyrightLine), this);
    copyright->setObjectName(QStringLiteral("aboutCopyright"));
    auto* web = new QLabel(Text(AboutWebAddress), this);
    web->setObjectName(QStringLiteral("aboutWeb"));
    web->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* lines = new QVBoxLayout;
    lines->addWidget(product);
    lines->addWidget(copyright);
    lines->addWidget(web);
    lines->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(lines, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vantor
