#pragma once

#include <QDialog>

namespace vantor {

inline constexpr char16_t AboutCaption[] = u"About";
inline constexpr char16_t AboutProductLine[] = u"Media server configurator v 7.5";
inline constexpr char16_t AboutCopyrightLine[] = u"Copyright \u00A9 2026 Quorvane Software";
inline constexpr char16_t AboutWebAddress[] = u"https://www.quorvane.example";

// The About box: the product line, the program icon, the maker's copyright and web address.
// OK, Escape and the close button all end it.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace vantor
