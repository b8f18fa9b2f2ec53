#include "sim/dbus_signature.h"

namespace vantor::sim {
namespace {

// The length of the complete type starting at pos, or 0 when there is none.
qsizetype CompleteTypeLength(const QString& signature, qsizetype pos) {
    if (pos >= signature.size()) {
        return 0;
    }
    const QChar c = signature[pos];
    if (c == u'a') {
        const qsizetype element = CompleteTypeLength(signature, pos + 1);
        return element == 0 ? 0 : element + 1;
    }
    if (c == u'(' || c == u'{') {
        const QChar close = c == u'(' ? u')' : u'}';
        qsizetype at = pos + 1;
        while (at < signature.size() && signature[at] != close) {
            const qsizetype member = CompleteTypeLength(signature, at);
            if (member == 0) {
                return 0;
            }
            at += member;
        }
        return at < signature.size() ? at - pos + 1 : 0;
    }
    if (c == u')' || c == u'}') {
        return 0;
    }
    return 1;
}

}  // namespace

QStringList SplitSignature(const QString& signature) {
    QStringList types;
    qsizetype pos = 0;
    while (pos < signature.size()) {
        const qsizetype length = CompleteTypeLength(signature, pos);
        if (length == 0) {
            break;
        }
        types.append(signature.mid(pos, length));
        pos += length;
    }
    return types;
}

}  // namespace vantor::sim
