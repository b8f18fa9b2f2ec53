#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vantor::sim {

// Error texts the server answers with when it refuses a user operation.
inline constexpr char NoUserNameText[] = "A user name is required";
inline constexpr char UserExistsText[] = "A user with this name already exists";
inline constexpr char NoSuchUserText[] = "No such user";
inline constexpr char BadGroupText[] =
    "The user group must be 1 (Basic), 2 (Medium) or 3 (Advanced)";

struct UserAccount {
    QString name;
    qint32 group = 1;  // 1 basic, 2 medium, 3 advanced
    QString password;
    QString info;
};

// Outcome of a change: ok, or the error text to hand back.
struct UserChange {
    bool ok = true;
    QString errorText;
};

// The server's user accounts, in the order they were added. Names compare without regard to case.
class UserStore {
public:
    UserChange Add(const QString& name, qint32 group, const QString& password, const QString& info);
    UserChange SetPassword(const QString& name, const QString& password);
    UserChange Update(const QString& name, qint32 group, const QString& info);
    UserChange Remove(const QString& name);

    // One record per user: name, a space, group name, a space, information.
    QStringList Records() const;
    const QList<UserAccount>& Accounts() const { return accounts_; }

private:
    qsizetype Find(const QString& name) const;

    QList<UserAccount> accounts_;
};

// "Basic", "Medium", "Advanced" for 1, 2, 3; empty otherwise.
QString GroupName(qint32 group);

}  // namespace vantor::sim
