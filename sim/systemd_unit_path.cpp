#include "sim/systemd_unit_path.h"

namespace vantor::sim {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

}  // namespace

QString UnitObjectPath(const QString& unitName) {
    QString path = QString::fromLatin1(UnitPathPrefix);
    const QByteArray bytes = unitName.toUtf8();
    if (bytes.isEmpty()) {
        return path + u'_';
    }
    static constexpr char Hex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool leadingDigit = i == 0 && c >= '0' && c <= '9';
        if (IsAsciiAlnum(c) && !leadingDigit) {
            path += QChar::fromLatin1(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            path += u'_';
            path += QChar::fromLatin1(Hex[byte >> 4]);
            path += QChar::fromLatin1(Hex[byte & 0xF]);
        }
    }
    return path;
}

std::optional<QString> UnitNameFromPath(const QString& path) {
    const QString prefix = QString::fromLatin1(UnitPathPrefix);
    if (!path.startsWith(prefix) || path.size() == prefix.size()) {
        return std::nullopt;
    }
    const QString label = path.mid(prefix.size());
    if (label == u"_") {
        return QString();
    }
    QByteArray bytes;
    for (qsizetype i = 0; i < label.size(); ++i) {
        const QChar c = label[i];
        if (c == u'_') {
            if (i + 2 >= label.size()) {
                return std::nullopt;
            }
            const int high = HexValue(label[i + 1]);
            const int low = HexValue(label[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c.unicode() < 0x80 && IsAsciiAlnum(static_cast<char>(c.unicode()))) {
            bytes += static_cast<char>(c.unicode());
        } else {
            return std::nullopt;
        }
    }
    return QString::fromUtf8(bytes);
}

}  // namespace vantor::sim
