#include "ui/qt_desktop_services.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace vantor {

bool QtDesktopServices::OpenHelpPage(const std::string& path) {
    // A local .html file opens in the user's browser.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtDesktopServices::OpenFile(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace vantor
