#include "ui/qt_icons.h"

#include <memory>

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace vantor {

namespace {

// Resource paths of the pictures, in strip order.
constexpr const char* StripPaths[StripImageCount] = {
    ":/icons/file_resources.svg",  ":/icons/virtual_folder.svg", ":/icons/server_root.svg",
    ":/icons/live_broadcast.svg",  ":/icons/file.svg",           ":/icons/folder_up.svg",
    ":/icons/live_broadcasts.svg",
};
constexpr const char* ProgramIconPath = ":/icons/program.svg";
constexpr const char* StateRunningPath = ":/icons/state_running.svg";
constexpr const char* StateStoppedPath = ":/icons/state_stopped.svg";
constexpr const char* StateChangingPath = ":/icons/state_changing.svg";
constexpr const char* StateNotRespondingPath = ":/icons/state_not_responding.svg";

// Draws an SVG at exactly the size asked for, so the pictures stay sharp at every scale
// without depending on Qt's SVG icon plugin being installed. Rendered sizes are kept in the
// pixmap cache.
class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(const QString& path)
        : path_(path), renderer_(std::make_shared<QSvgRenderer>(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = scaledPixmap(rect.size(), mode, state, ratio);
        painter->drawPixmap(rect, picture);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const QSize pixels = (QSizeF(size) * scale).toSize();
        if (isNull() || pixels.isEmpty()) {
            return {};
        }
        const QString key = QStringLiteral("vantor-svg:%1:%2x%3:%4")
                                .arg(path_)
                                .arg(pixels.width())
                                .arg(pixels.height())
                                .arg(static_cast<int>(mode));
        QPixmap cached;
        if (QPixmapCache::find(key, &cached)) {
            return cached;
        }
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer_->render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
        }
        QPixmap rendered = QPixmap::fromImage(image);
        if (mode == QIcon::Disabled && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            rendered = QApplication::style()->generatedIconPixmap(mode, rendered, &option);
        }
        rendered.setDevicePixelRatio(scale);
        QPixmapCache::insert(key, rendered);
        return rendered;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(32, 32), QSize(64, 64)};
    }
    bool isNull() override { return !renderer_->isValid(); }
    QString key() const override { return QStringLiteral("vantor-svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(*this); }

private:
    QString path_;
    std::shared_ptr<QSvgRenderer> renderer_;  // parsed once, shared by copies of the icon
};

QIcon SvgIcon(const char* path) {
    return QIcon(new SvgIconEngine(QString::fromLatin1(path)));
}

}  // namespace

QIcon StripIcon(ImageIndex index) {
    if (static_cast<std::size_t>(index) >= StripImageCount) {
        return {};
    }
    return SvgIcon(StripPaths[index]);
}

std::array<QIcon, StripImageCount> StripIcons() {
    std::array<QIcon, StripImageCount> icons;
    for (std::size_t i = 0; i < StripImageCount; ++i) {
        icons[i] = StripIcon(static_cast<ImageIndex>(i));
    }
    return icons;
}

QIcon ProgramIcon() {
    return SvgIcon(ProgramIconPath);
}

QIcon ServerStateIcon(ServerState state) {
    switch (state) {
        case ServerState::Running:
            return SvgIcon(StateRunningPath);
        case ServerState::Stopped:
            return SvgIcon(StateStoppedPath);
        case ServerState::ChangingState:
            return SvgIcon(StateChangingPath);
        case ServerState::NotResponding:
        default:
            return SvgIcon(StateNotRespondingPath);
    }
}

}  // namespace vantor
