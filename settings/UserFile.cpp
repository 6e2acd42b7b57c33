#include "settings/UserFile.h"

#include "library/UntEnDescrypt.h"
#include "platform/AppDirectory.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"

#include <QStringList>

namespace {

const QString UserFileName = QStringLiteral("user.dat");
const QString UserListSection = QStringLiteral("UserList");
const QString LineEnd = QStringLiteral("\r\n");
constexpr int RightsLength = 50;

} // namespace

QString FormatUserRecord(const UserRecord& record)
{
    return record.name + LineEnd + record.password + LineEnd + record.group + LineEnd +
           record.rights.leftJustified(RightsLength, u'0') + LineEnd;
}

bool ParseUserRecord(const QString& text, UserRecord& record)
{
    // Whole lines only: a password may hold blanks and commas, or be empty.
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() < 4)
        return false;
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    record.password = lines[1];
    record.group = lines[2];
    record.rights = lines[3];
    return true;
}

QString UserFilePath()
{
    return ApplicationDirectory() + UserFileName;
}

QList<UserRecord> ReadUsers()
{
    const QString file = UserFilePath();
    QStringList lines;
    ReadIniSection(file, UserListSection, lines);
    QList<UserRecord> users;
    for (const QString& line : lines) {
        UserRecord user;
        user.name = LineName(line);
        const QString text = ReadEncryptedString(file, UserListSection, user.name, QString());
        if (!text.isEmpty() && ParseUserRecord(text, user))
            users.append(user);
    }
    return users;
}

bool UserExists(const QString& name)
{
    return !ReadIniString(UserFilePath(), UserListSection, name, QString()).isEmpty();
}

void WriteUser(const UserRecord& user)
{
    WriteEncryptedString(UserFilePath(), UserListSection, user.name, FormatUserRecord(user));
}

void DeleteUser(const QString& name)
{
    DeleteIniKey(UserFilePath(), UserListSection, name);
}
