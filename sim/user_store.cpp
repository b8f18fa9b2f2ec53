#include "sim/user_store.h"

namespace vantor::sim {
namespace {

bool ValidGroup(qint32 group) {
    return group >= 1 && group <= 3;
}

UserChange Refused(const char* text) {
    return UserChange{false, QString::fromUtf8(text)};
}

}  // namespace

QString GroupName(qint32 group) {
    switch (group) {
        case 1:
            return QStringLiteral("Basic");
        case 2:
            return QStringLiteral("Medium");
        case 3:
            return QStringLiteral("Advanced");
        default:
            return {};
    }
}

qsizetype UserStore::Find(const QString& name) const {
    for (qsizetype i = 0; i < accounts_.size(); ++i) {
        if (accounts_[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

UserChange UserStore::Add(const QString& name, qint32 group, const QString& password,
                          const QString& info) {
    if (name.isEmpty()) {
        return Refused(NoUserNameText);
    }
    if (Find(name) >= 0) {
        return Refused(UserExistsText);
    }
    if (!ValidGroup(group)) {
        return Refused(BadGroupText);
    }
    accounts_.append(UserAccount{name, group, password, info});
    return {};
}

UserChange UserStore::SetPassword(const QString& name, const QString& password) {
    const qsizetype at = Find(name);
    if (at < 0) {
        return Refused(NoSuchUserText);
    }
    accounts_[at].password = password;
    return {};
}

UserChange UserStore::Update(const QString& name, qint32 group, const QString& info) {
    const qsizetype at = Find(name);
    if (at < 0) {
        return Refused(NoSuchUserText);
    }
    if (!ValidGroup(group)) {
        return Refused(BadGroupText);
    }
    accounts_[at].group = group;
    accounts_[at].info = info;
    return {};
}

UserChange UserStore::Remove(const QString& name) {
    const qsizetype at = Find(name);
    if (at < 0) {
        return Refused(NoSuchUserText);
    }
    accounts_.removeAt(at);
    return {};
}

QStringList UserStore::Records() const {
    QStringList records;
    for (const UserAccount& account : accounts_) {
        records.append(account.name + u' ' + GroupName(account.group) + u' ' + account.info);
    }
    return records;
}

}  // namespace vantor::sim
