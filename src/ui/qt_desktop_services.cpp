#include "ui/qt_desktop_services.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace vantor {

QUrl LocalFileUrl(const std::string& path) {
    // Built from the bytes: a name that is not UTF-8 stays percent-encoded as it is, where a
    // QString would have replaced its bytes and named a file that does not exist.
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"),
                             QUrl::StrictMode);
}

bool QtDesktopServices::OpenHelpPage(const std::string& path) {
    // A local .html file opens in the user's browser.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtDesktopServices::OpenFile(const std::string& path) {
    return QDesktopServices::openUrl(LocalFileUrl(path));
}

bool QtDesktopServices::OpenServerWindow(const std::string& host) {
    // The host is one argument of its own; no shell sees it.
    return QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                   {QStringLiteral("--host"), QString::fromStdString(host)});
}

}  // namespace vantor
