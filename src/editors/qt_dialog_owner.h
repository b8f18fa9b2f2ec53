#pragma once

#include <QApplication>
#include <QWidget>

namespace vantor {

// The window a dialog opened from an editor belongs to: the modal dialog open now (the editor
// whose button opened it), so that it is centred on that editor and stays above it; fallback
// when none is open.
inline QWidget* DialogOwner(QWidget* fallback) {
    QWidget* open = QApplication::activeModalWidget();
    return open != nullptr ? open : fallback;
}

}  // namespace vantor
