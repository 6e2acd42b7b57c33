#pragma once
// The data module: created before the main window and released after it.
#include <QString>

#include <memory>

// The logged-in user. Nothing fills or reads it yet: the program has no log-on.
struct TLoginUserInfo {
    QString UserName;
    QString Password;
    int GroupType = 0;
    QString Rights;
};

class TdmMain {
public:
    std::unique_ptr<TLoginUserInfo> LoginUser = std::make_unique<TLoginUserInfo>();
};
