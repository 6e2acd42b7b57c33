#include "settings/CalendarTransfer.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"
#include "platform/SaveFile.h"
#include "settings/CalendarImportDialog.h"
#include "storage/CalendarExchange.h"
#include "storage/ProgramData.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// The catalogue's context of the texts these two commands show.
struct CalendarTransfer {
    Q_DECLARE_TR_FUNCTIONS(CalendarTransfer)
};

QString CalendarFileFilter()
{
    return CalendarTransfer::tr("日历文件 (*.ics)");
}

// Far more than any school calendar; the parse runs on the window's thread.
constexpr qint64 LargestCalendar = 8 * 1024 * 1024;

void Tell(QWidget* owner, IMessageBoxes& boxes, const QString& text)
{
    boxes.show(owner, CalendarTransfer::tr("提示"), text, BoxIcon::Information, BoxButtons::Ok);
}

} // namespace

void ImportCalendar(QWidget* owner, ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes)
{
    const QString path =
        dialogs.openFile(owner, CalendarTransfer::tr("选择要导入的日历文件"), CalendarFileFilter());
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(CalendarTransfer::tr("无法读取日历文件“%1”：%2").arg(path, file.errorString()));
    if (file.size() > LargestCalendar)
        throw ConversionError(
            CalendarTransfer::tr("无法导入日历文件“%1”：文件太大，不像是日历").arg(path));
    const QByteArray text = file.readAll();

    try {
        CalendarImportDialog dialog(name, text, data.holidays(), owner);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const CalendarDates fresh = data.holidays().newIn(dialog.chosen());
        data.addCalendarDates(fresh);
        Tell(owner, boxes,
             CalendarTransfer::tr("已从“%1”导入 %2 段节假日、%3 个调休上班日。")
                 .arg(name)
                 .arg(fresh.holidays.size())
                 .arg(fresh.workDays.size()));
    } catch (const ConversionError& e) {
        throw ConversionError(
            CalendarTransfer::tr("无法导入日历文件“%1”：%2").arg(path, e.message()));
    }
}

void ExportCalendar(QWidget* owner, const ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes)
{
    const Holidays& calendar = data.holidays();
    const qsizetype holidays = calendar.datedHolidays().size();
    const qsizetype workDays = calendar.makeUpDays().size();
    if (holidays == 0 && workDays == 0) {
        // A file with no events would only fail to import again.
        Tell(owner, boxes,
             CalendarTransfer::tr("校历中没有按日期的节假日或调休上班日，没有导出。"
                                  "（每年重复的节假日不带年份，不导出。）"));
        return;
    }
    // Only a suggestion: the file gets the name the user gives it.
    const QString path = dialogs.saveFile(owner, CalendarTransfer::tr("导出日历"), CalendarFileFilter(),
                                          CalendarTransfer::tr("校历.ics"));
    if (path.isEmpty())
        return;
    const QString reason = SaveWholeFile(path, WriteCalendar(calendar));
    if (!reason.isEmpty())
        throw FileError(CalendarTransfer::tr("无法写入 %1：%2").arg(path, reason));
    Tell(owner, boxes,
         CalendarTransfer::tr("已导出 %1 段节假日、%2 个调休上班日到“%3”。")
             .arg(holidays)
             .arg(workDays)
             .arg(path));
}
