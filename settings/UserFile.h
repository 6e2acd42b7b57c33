#pragma once
// user.dat: the users and their rights. Each user is one entry of [UserList] under the user's
// name, its value enciphered. No widget in here.
#include <QList>
#include <QString>

// One user as user.dat keeps it.
struct UserRecord {
    QString name;
    QString password;
    QString group;  // "1" 管理员, "2" 普通用户
    QString rights; // one "1"/"0" per right, in the order of the rights list

    bool operator==(const UserRecord&) const = default;
};

// The text that is enciphered: name, password, group and rights, each line ended by CR LF;
// the rights are padded with "0" to 50 characters.
QString FormatUserRecord(const UserRecord& record);
// Reads the lines of a deciphered record (CR LF or a bare LF); false when it has fewer than four.
// The name comes from the key, so line 1 is not read back.
bool ParseUserRecord(const QString& text, UserRecord& record);

// Full path of user.dat in the application directory, formed anew at each call.
QString UserFilePath();

// Every user in file order; entries that do not decipher into a record are left out.
QList<UserRecord> ReadUsers();
// Whether an entry is kept under this name (its letter case aside).
bool UserExists(const QString& name);
// Writes the user under its name; raises when the file refuses the write.
void WriteUser(const UserRecord& user);
void DeleteUser(const QString& name);
