<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutPage</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>

软件概括：
    本软件按时间表自动播放音乐和铃声，适用于学校、幼儿园和公司等单位的定时打铃与定时广播。本软件完全免费，使用不受任何限制。

软件功能简介：
    1. 定时播放：可设置多个时间段，每个时间段可播放多首音乐，并可设置循环次数；
    2. 节假日不播放；可按每日、每周、每月、指定日期或临时一次播放；
    3. 定时关机；
    4. 顺序播放和随机播放；
    5. 目录播放：播放一个目录中的全部音频文件；
    6. 音频库管理；
    7. 背景音乐。

软件使用步骤：
    1. 在“音频库”页设置音频库；
    2. 在“定时时间列表”页设置任务列表；
    3. 在“基本设置”页设置节假日；
    4. 全部设置完成后，重新启动一次本软件。

数据文件：
    设置、任务列表和音频库、用户分别保存在 Config.ini、TimeMusicList.ini 和 user.dat 中，位于：
    %1
    备份时复制这三个文件即可；恢复时先从托盘菜单“退出”本软件，再把它们复制回该文件夹。

联系方式：请与贵单位的系统管理员联系。
问题反馈：请写明所用版本和出现问题的任务设置。

如果本软件对您有帮助，欢迎捐助，支持我们继续改进。</source>
        <translation>

Overview:
    This program plays music and bells automatically from a timetable: timed bells and broadcasts for schools, kindergartens, companies and other workplaces. It is completely free, with no limits on its use.

Features:
    1. Timed playback: any number of times of day, each playing one or more pieces, repeated as often as set;
    2. No playback on holidays; playback daily, weekly, monthly, on a given date or once;
    3. Automatic shutdown;
    4. Playback in order or shuffled;
    5. Folder playback: every audio file in a folder;
    6. Audio library management;
    7. Background music.

Getting started:
    1. Set up the audio library on the &quot;Audio library&quot; page;
    2. Set up the tasks on the &quot;Schedule&quot; page;
    3. Set the holidays on the &quot;Settings&quot; page;
    4. When everything is set, restart the program once.

Data files:
    The settings, the task list with the audio library, and the users are kept in Config.ini, TimeMusicList.ini and user.dat, in:
    %1
    To back up, copy these three files. To restore, first choose &quot;Quit&quot; in the tray menu, then copy them back into that folder.

Contact: please ask your organization&apos;s system administrator.
Reporting a problem: please give the version you use and the settings of the task concerned.

If this program is of help to you, donations are welcome: they support our further work.</translation>
    </message>
    <message>
        <source>界面语言</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>As the desktop</translation>
    </message>
    <message>
        <source>重新启动本软件后生效</source>
        <translation>Takes effect when the program is restarted</translation>
    </message>
    <message>
        <source>界面语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>已保存，重新启动本软件后生效</source>
        <translation>Saved: takes effect when the program is restarted</translation>
    </message>
</context>
<context>
    <name>AudioFileFilter</name>
    <message>
        <source>音频文件 (%1)</source>
        <translation>Audio files (%1)</translation>
    </message>
</context>
<context>
    <name>AudioProbe</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>路径无效</source>
        <translation>invalid path</translation>
    </message>
    <message>
        <source>检查超时，文件读取太慢</source>
        <translation>check timed out; the file reads too slowly</translation>
    </message>
    <message>
        <source>缺少能解码此格式的组件</source>
        <translation>no installed component decodes this format</translation>
    </message>
    <message>
        <source>无法识别的格式或文件已损坏</source>
        <translation>unknown format or damaged file</translation>
    </message>
    <message>
        <source>文件中没有声音</source>
        <translation>the file has no sound</translation>
    </message>
    <message>
        <source>无法检查音频文件：%1</source>
        <translation>cannot check audio files: %1</translation>
    </message>
</context>
<context>
    <name>AutomaticShutdown</name>
    <message>
        <source>Config.ini 中 [base] 的 ShotdownTime 不是有效的时间：&apos;%1&apos;</source>
        <translation>ShotdownTime in [base] of Config.ini is not a valid time: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>系统拒绝了自动关机的请求</source>
        <translation>The system refused the automatic shutdown</translation>
    </message>
</context>
<context>
    <name>BackgroundMusic</name>
    <message>
        <source>选择背景音乐</source>
        <translation>Choose background music</translation>
    </message>
    <message>
        <source>无法播放背景音乐 %1：%2</source>
        <translation>Cannot play background music %1: %2</translation>
    </message>
</context>
<context>
    <name>BroadcastConfig</name>
    <message>
        <source>分区名称不能为空</source>
        <translation>The zone name cannot be empty</translation>
    </message>
    <message>
        <source>分区名称的首尾不能有空格</source>
        <translation>The zone name cannot begin or end with a space</translation>
    </message>
    <message>
        <source>分区名称不能超过 %1 个字</source>
        <translation>The zone name cannot be longer than %1 characters</translation>
    </message>
    <message>
        <source>分区名称不能含有字符“%1”</source>
        <translation>The zone name cannot contain &quot;%1&quot;</translation>
    </message>
    <message>
        <source>控制字符</source>
        <translation>control character</translation>
    </message>
    <message>
        <source>已有名为“%1”的分区</source>
        <translation>There is already a zone named &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>CalendarExchange</name>
    <message>
        <source>（无标题）</source>
        <translation>(untitled)</translation>
    </message>
    <message>
        <source>重复的日程，未导入</source>
        <translation>Recurring event, not imported</translation>
    </message>
    <message>
        <source>没有开始日期，未导入</source>
        <translation>No start date, not imported</translation>
    </message>
    <message>
        <source>有具体时刻，不是全天的日程，未导入</source>
        <translation>Has a time of day, not an all-day event; not imported</translation>
    </message>
    <message>
        <source>日期无效，未导入</source>
        <translation>Invalid date, not imported</translation>
    </message>
    <message>
        <source>日期不在 %1 到 %2 年之间，未导入</source>
        <translation>Date not between %1 and %2, not imported</translation>
    </message>
    <message>
        <source>%1 在文件中已是调休上班日，未重复导入</source>
        <translation>%1 is already a make-up working day in the file; not imported twice</translation>
    </message>
    <message>
        <source>文件是空的，不是日历</source>
        <translation>The file is empty, not a calendar</translation>
    </message>
    <message>
        <source>不是有效的 iCalendar 日历（无法解析，内容不完整或格式有误）</source>
        <translation>Not a valid iCalendar calendar (cannot be parsed: incomplete or malformed)</translation>
    </message>
    <message>
        <source>不是 iCalendar 日历（没有 VCALENDAR 部分）</source>
        <translation>Not an iCalendar calendar (no VCALENDAR part)</translation>
    </message>
    <message>
        <source>日历中没有任何日程（VEVENT）</source>
        <translation>The calendar holds no events (VEVENT)</translation>
    </message>
</context>
<context>
    <name>CalendarImportDialog</name>
    <message>
        <source>%1 至 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>导入日历</source>
        <translation>Import calendar</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>表示上班日的类别：</source>
        <translation>Category marking working days:</translation>
    </message>
    <message>
        <source>表示上班日的类别</source>
        <translation>Category marking working days</translation>
    </message>
    <message>
        <source>将导入：</source>
        <translation>To import:</translation>
    </message>
    <message>
        <source>将导入</source>
        <translation>To import</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>上课安排</source>
        <translation>Classes</translation>
    </message>
    <message>
        <source>不导入：</source>
        <translation>Not imported:</translation>
    </message>
    <message>
        <source>不导入</source>
        <translation>Not imported</translation>
    </message>
    <message>
        <source>日程</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>原因</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>校历中已有</source>
        <translation>Already in the calendar</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>放假</source>
        <translation>Holiday</translation>
    </message>
    <message>
        <source>校历中已是调休上班日（按%1上课）</source>
        <translation>Already a make-up day (as on %1)</translation>
    </message>
    <message>
        <source>调休上班</source>
        <translation>Make-up day</translation>
    </message>
    <message>
        <source>按%1上课</source>
        <translation>As on %1</translation>
    </message>
    <message>
        <source>%1 上课安排</source>
        <translation>Classes on %1</translation>
    </message>
</context>
<context>
    <name>CalendarPage</name>
    <message>
        <source>放假日期（含年份）</source>
        <translation>Holidays (with year)</translation>
    </message>
    <message>
        <source>放假日期</source>
        <translation>Holidays</translation>
    </message>
    <message>
        <source>开始日期</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>结束日期</source>
        <translation>End date</translation>
    </message>
    <message>
        <source>天数</source>
        <translation>Days</translation>
    </message>
    <message>
        <source>放假开始日期：</source>
        <translation>Holiday start:</translation>
    </message>
    <message>
        <source>放假结束日期：</source>
        <translation>Holiday end:</translation>
    </message>
    <message>
        <source>添加放假日期</source>
        <translation>Add holiday</translation>
    </message>
    <message>
        <source>删除选中的放假日期</source>
        <translation>Delete holiday</translation>
    </message>
    <message>
        <source>开始日期：</source>
        <translation>Start date:</translation>
    </message>
    <message>
        <source>结束日期：</source>
        <translation>End date:</translation>
    </message>
    <message>
        <source>调休上班日</source>
        <translation>Make-up working days</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>星期</source>
        <translation>Weekday</translation>
    </message>
    <message>
        <source>按星期几上课</source>
        <translation>Classes as on</translation>
    </message>
    <message>
        <source>上班日期：</source>
        <translation>Working date:</translation>
    </message>
    <message>
        <source>按%1上课</source>
        <translation>As on %1</translation>
    </message>
    <message>
        <source>按星期几上课：</source>
        <translation>Classes as on:</translation>
    </message>
    <message>
        <source>添加调休上班日</source>
        <translation>Add make-up day</translation>
    </message>
    <message>
        <source>删除选中的调休上班日</source>
        <translation>Delete make-up day</translation>
    </message>
    <message>
        <source>导入日历(.ics)…</source>
        <translation>Import calendar (.ics)...</translation>
    </message>
    <message>
        <source>导出日历(.ics)…</source>
        <translation>Export calendar (.ics)...</translation>
    </message>
    <message>
        <source>每年日期相同的节假日（月-日）在“基本设置”中设置。调休上班日按所选星期的任务播放。</source>
        <translation>Holidays on the same date every year (month-day) are set under &quot;Settings&quot;. A make-up working day plays the tasks of the chosen weekday.</translation>
    </message>
</context>
<context>
    <name>CalendarTransfer</name>
    <message>
        <source>日历文件 (*.ics)</source>
        <translation>Calendar files (*.ics)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>选择要导入的日历文件</source>
        <translation>Choose a calendar file to import</translation>
    </message>
    <message>
        <source>无法读取日历文件“%1”：%2</source>
        <translation>Cannot read the calendar file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法导入日历文件“%1”：文件太大，不像是日历</source>
        <translation>Cannot import the calendar file &quot;%1&quot;: the file is too large to be a calendar</translation>
    </message>
    <message>
        <source>已从“%1”导入 %2 段节假日、%3 个调休上班日。</source>
        <translation>Imported %2 holiday periods and %3 make-up working days from &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>无法导入日历文件“%1”：%2</source>
        <translation>Cannot import the calendar file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>校历中没有按日期的节假日或调休上班日，没有导出。（每年重复的节假日不带年份，不导出。）</source>
        <translation>The school calendar has no dated holidays or make-up working days, so nothing was exported. (Holidays that repeat every year have no year and are not exported.)</translation>
    </message>
    <message>
        <source>导出日历</source>
        <translation>Export calendar</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>已导出 %1 段节假日、%2 个调休上班日到“%3”。</source>
        <translation>Exported %1 holiday periods and %2 make-up working days to &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>校历.ics</source>
        <translation>school-calendar.ics</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>Config.ini 的 [%1] 中 %2=%3</source>
        <translation>%2=%3 in [%1] of Config.ini</translation>
    </message>
    <message>
        <source>%1 不是整数，按默认值 %2%3使用</source>
        <translation>%1 is not a whole number; using the default %2%3</translation>
    </message>
    <message>
        <source>%1 不在 %2～%3 之内，按 %4%5使用</source>
        <translation>%1 is not within %2–%3; using %4%5</translation>
    </message>
    <message>
        <source>% </source>
        <translation>%</translation>
    </message>
    <message>
        <source>%1 不是 1 或 0，按默认值 %2 使用</source>
        <translation>%1 is not 1 or 0; using the default %2</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>端口应为 1～%1 之内的整数</source>
        <translation>The port should be a whole number from 1 to %1</translation>
    </message>
    <message>
        <source>Config.ini 的 [%1] 中 %2 一行未用：%3</source>
        <translation>Line %2 in [%1] of Config.ini not used: %3</translation>
    </message>
    <message>
        <source>分区“%1”没有保存：%2</source>
        <translation>Zone &quot;%1&quot; not saved: %2</translation>
    </message>
    <message>
        <source>分区“%1”的端口 %2 不在 1～%3 之内</source>
        <translation>Port %2 of zone &quot;%1&quot; is not within 1–%3</translation>
    </message>
    <message>
        <source>服务器地址不能含有换行</source>
        <translation>The server address cannot contain a line break</translation>
    </message>
    <message>
        <source>端口 %1 不在 1～%2 之内</source>
        <translation>Port %1 is not within 1–%2</translation>
    </message>
    <message>
        <source>缓冲 %1 毫秒不在 %2～%3 之内</source>
        <translation>A buffer of %1 ms is not within %2–%3</translation>
    </message>
</context>
<context>
    <name>DayBellsModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>音乐</source>
        <translation>Music</translation>
    </message>
    <message>
        <source>日期类型</source>
        <translation>Days</translation>
    </message>
    <message>
        <source>播放日期</source>
        <translation>Day details</translation>
    </message>
    <message>
        <source>当天</source>
        <translation>That day</translation>
    </message>
    <message>
        <source>将播放</source>
        <translation>Will play</translation>
    </message>
    <message>
        <source>不播放：任务已禁用</source>
        <translation>Won&apos;t play: task disabled</translation>
    </message>
    <message>
        <source>不播放：节假日</source>
        <translation>Won&apos;t play: holiday</translation>
    </message>
    <message>
        <source>不播放：不是它的播放日</source>
        <translation>Won&apos;t play: not one of its days</translation>
    </message>
    <message>
        <source>不播放：参数有误</source>
        <translation>Won&apos;t play: faulty settings</translation>
    </message>
    <message>
        <source>不播放：仅播放一次，在 %1</source>
        <translation>Won&apos;t play: plays once only, on %1</translation>
    </message>
    <message>
        <source>不播放：仅播放一次</source>
        <translation>Won&apos;t play: plays once only</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>已过</source>
        <translation>Past</translation>
    </message>
</context>
<context>
    <name>DayView</name>
    <message>
        <source>前一天</source>
        <translation>Previous day</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>后一天</source>
        <translation>Next day</translation>
    </message>
    <message>
        <source>今天</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>当天概况</source>
        <translation>Day summary</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>当日铃声</source>
        <translation>Day&apos;s bells</translation>
    </message>
    <message>
        <source>节假日</source>
        <translation>Holiday</translation>
    </message>
    <message>
        <source>调休上班日，按%1上课</source>
        <translation>Make-up working day, classes as on %1</translation>
    </message>
    <message>
        <source>%1 个铃声播放，%2 个不播放</source>
        <translation>bells: %1 play, %2 silent</translation>
    </message>
    <message>
        <source>下一个：%1</source>
        <translation>Next: %1</translation>
    </message>
    <message>
        <source>；</source>
        <comment>between parts of the day&apos;s summary</comment>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>DueTimeCheck</name>
    <message>
        <source>“%1”中缺少播放日类型（第 4 项）</source>
        <translation>&quot;%1&quot; lacks the day type (item 4)</translation>
    </message>
    <message>
        <source>“%1”中缺少播放日参数（第 5 项）</source>
        <translation>&quot;%1&quot; lacks the day details (item 5)</translation>
    </message>
    <message>
        <source>%1，该任务未播放</source>
        <translation>%1; the task did not play</translation>
    </message>
    <message>
        <source>%1 的 [%2] 中缺少 %3 一行或该行为空</source>
        <translation>Line %3 is missing or empty in [%2] of %1</translation>
    </message>
    <message>
        <source>未播放：夏令时开始，时钟跳过了这个时刻</source>
        <translation>Not played: skipped by the DST change</translation>
    </message>
    <message>
        <source>未播放：程序被占用，计时晚了 %1 秒</source>
        <translation>Not played: program busy, %1 s late</translation>
    </message>
    <message>
        <source>计算机休眠</source>
        <translation>computer asleep</translation>
    </message>
    <message>
        <source>程序被占用，计时中断</source>
        <translation>program busy, timing held up</translation>
    </message>
    <message>
        <source>系统时钟向前跳了</source>
        <translation>system clock jumped ahead</translation>
    </message>
    <message>
        <source>未播放：%1，只补播最后一个铃声</source>
        <translation>Not played: %1; only the last bell rang late</translation>
    </message>
    <message>
        <source>未播放：%1，错过 %2 秒，超过补播时限 %3 秒</source>
        <translation>Not played: %1; %2 s late, past the %3 s limit</translation>
    </message>
    <message>
        <source>补播：%1，晚了 %2 秒</source>
        <translation>Rang late: %1, %2 s late</translation>
    </message>
</context>
<context>
    <name>FailureReport</name>
    <message>
        <source>此后又有 %1 个错误，最近 %2 个：</source>
        <translation>Errors since then (%1), the latest %2:</translation>
    </message>
    <message>
        <source>此后又有 %1 个错误：</source>
        <translation>Errors since then (%1):</translation>
    </message>
    <message>
        <source>全部记录在 PlayLog.txt 中。</source>
        <translation>All of them are recorded in PlayLog.txt.</translation>
    </message>
</context>
<context>
    <name>GstMediaPlayer</name>
    <message>
        <source>%1 秒内没有打开</source>
        <translation>not opened within %1 s</translation>
    </message>
</context>
<context>
    <name>GstPipelineWorker</name>
    <message>
        <source>没有安装 GStreamer 的 volume 组件</source>
        <translation>The GStreamer volume element is not installed</translation>
    </message>
    <message>
        <source>无法建立音频输出：音量无法接到输出</source>
        <translation>Cannot set up the audio output: the volume cannot be linked to it</translation>
    </message>
    <message>
        <source>播放管道没有建成</source>
        <translation>The playback pipeline was not built</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>没有安装 GStreamer 的 playbin 组件</source>
        <translation>The GStreamer playbin element is not installed</translation>
    </message>
</context>
<context>
    <name>GstSupport</name>
    <message>
        <source>无法建立音频输出：%1</source>
        <translation>Cannot set up the audio output: %1</translation>
    </message>
</context>
<context>
    <name>HandlerGuard</name>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>HolidaySettings</name>
    <message>
        <source>结束日期早于开始日期，将保存为跨年的假期：%1至12-31，1-1至%2。是否保存？</source>
        <translation>The end date is before the start date. The holiday will be saved across the new year: %1 to 12-31 and 1-1 to %2. Save it?</translation>
    </message>
</context>
<context>
    <name>Holidays</name>
    <message>
        <source>Config.ini 的 [%1] 中“%2”%3，已忽略</source>
        <translation>&quot;%2&quot; in [%1] of Config.ini %3; ignored</translation>
    </message>
    <message>
        <source>Config.ini 的 [Holiday] 中“%1”不是有效的节假日（月-日=月-日），已忽略</source>
        <translation>&quot;%1&quot; in [Holiday] of Config.ini is not a valid holiday (m-d=m-d); ignored</translation>
    </message>
    <message>
        <source>不是有效的节假日（年-月-日=年-月-日）</source>
        <translation>is not a valid holiday (yyyy-m-d=yyyy-m-d)</translation>
    </message>
    <message>
        <source>不是有效的调休上班日（年-月-日=星期几，1 到 7）</source>
        <translation>is not a valid make-up working day (yyyy-m-d=weekday, 1 to 7)</translation>
    </message>
    <message>
        <source>落在节假日内</source>
        <translation>falls within a holiday</translation>
    </message>
    <message>
        <source>%1 至 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>节假日 %1 不在 %2 到 %3 年之间</source>
        <translation>Holiday %1 is not between %2 and %3</translation>
    </message>
    <message>
        <source>节假日 %1 的结束日期早于开始日期</source>
        <translation>Holiday %1 ends before it begins</translation>
    </message>
    <message>
        <source>节假日 %1 与节假日 %2 重叠</source>
        <translation>Holiday %1 overlaps holiday %2</translation>
    </message>
    <message>
        <source>调休上班日 %1 不是有效的日期和星期</source>
        <translation>Make-up working day %1 is not a valid date and weekday</translation>
    </message>
    <message>
        <source>%1 已是调休上班日（按%2上课）</source>
        <translation>%1 is already a make-up working day (classes as on %2)</translation>
    </message>
    <message>
        <source>调休上班日 %1 落在节假日 %2 内</source>
        <translation>Make-up working day %1 falls within holiday %2</translation>
    </message>
</context>
<context>
    <name>IniStore</name>
    <message>
        <source>保存被中断</source>
        <translation>Saving was interrupted</translation>
    </message>
    <message>
        <source>无法读取 %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>%1 中不能保存这样的名称或值（含换行、“=”、“]”或以“[”开头）</source>
        <translation>%1 cannot store such a name or value (with a line break, &quot;=&quot; or &quot;]&quot;, or starting with &quot;[&quot;)</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
</context>
<context>
    <name>LogindSession</name>
    <message>
        <source>今天还有定时铃声要播放</source>
        <translation>Scheduled bells are still to ring today</translation>
    </message>
    <message>
        <source>没有收到休眠锁</source>
        <translation>No sleep lock was received</translation>
    </message>
</context>
<context>
    <name>MainPlaybackView</name>
    <message>
        <source>声音输出设备已静音，铃声将听不到</source>
        <translation>Sound output is muted; bells will not be heard</translation>
    </message>
    <message>
        <source>声音输出设备已静音，铃声将听不到：%1</source>
        <translation>Sound output is muted; bells will not be heard: %1</translation>
    </message>
</context>
<context>
    <name>MediaFailure</name>
    <message>
        <source>不存在</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>无法识别的格式</source>
        <translation>unknown format</translation>
    </message>
    <message>
        <source>打开超时</source>
        <translation>open timed out</translation>
    </message>
    <message>
        <source>无法播放</source>
        <translation>cannot play</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>错误！</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>警告！</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MusicLibrary</name>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>目录或音频文件不存在</source>
        <translation>Folder or audio file not found</translation>
    </message>
    <message>
        <source>%1 的任务 %2 使用的音频库编号 %3 不存在</source>
        <translation>Task %2 in %1 uses audio library number %3, which does not exist</translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation>Audio file</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>MusicLibraryPage</name>
    <message>
        <source>音频库</source>
        <translation>Audio library</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>添加文件夹</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空所有</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>清空异常文件</source>
        <translation>Clear missing</translation>
    </message>
    <message>
        <source>设置音频库密码</source>
        <translation>Set audio library password</translation>
    </message>
    <message>
        <source>加密音频库</source>
        <translation>Encrypt library</translation>
    </message>
    <message>
        <source>注意：如要更改加密设置，请先清空所有已存在的音频文件。</source>
        <translation>Note: clear the library before changing encryption.</translation>
    </message>
    <message>
        <source>无法添加：%1 的 [Music] 或 [Time] 中已用到编号 %2，再添加 %3 个音频将超出编号上限 %4。请先删除或改小过大的编号。</source>
        <translation>Cannot add: number %2 is already used in [Music] or [Time] of %1, and adding %3 more audio files would pass the highest number, %4. First delete or lower the numbers that are too large.</translation>
    </message>
    <message>
        <source>%1（编号 %2）</source>
        <translation>%1 (No. %2)</translation>
    </message>
    <message>
        <source>%1：文件夹不存在</source>
        <translation>%1: folder not found</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>以下音频已在音频库中，没有再次添加：
%1</source>
        <translation>These files are already in the audio library and were not added again:
%1</translation>
    </message>
    <message>
        <source>以下音频无法添加：
%1</source>
        <translation>These files could not be added:
%1</translation>
    </message>
    <message>
        <source>无法检查此文件</source>
        <translation>This file could not be checked</translation>
    </message>
    <message>
        <source>正在检查音频文件…</source>
        <translation>Checking audio files...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>添加音频</source>
        <translation>Add audio</translation>
    </message>
    <message>
        <source>正在检查音频文件</source>
        <translation>Checking audio files</translation>
    </message>
    <message>
        <source>请选择一个目录</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>任务 %1 使用 %2（编号 %3）</source>
        <translation>Task %1 uses %2 (No. %3)</translation>
    </message>
    <message>
        <source>……共 %1 处</source>
        <translation>... %1 in all</translation>
    </message>
    <message>
        <source>以下定时任务使用了要删除的音频：
%1

删除后这些任务不再播放它们，没有其他音频的任务将被停用。确定要删除吗？</source>
        <translation>These scheduled tasks use the audio to be deleted:
%1

Afterwards these tasks no longer play it, and tasks left without audio are disabled. Delete anyway?</translation>
    </message>
    <message>
        <source>……共 %1 个任务</source>
        <translation>... %1 tasks in all</translation>
    </message>
    <message>
        <source>以下定时任务已没有音频，已被停用：
%1</source>
        <translation>These scheduled tasks have no audio left and were disabled:
%1</translation>
    </message>
    <message>
        <source>请选择要删除的音频文件！</source>
        <translation>Select the audio file to delete.</translation>
    </message>
    <message>
        <source>确定要清空音频库中的所有音频文件吗？</source>
        <translation>Remove all audio files from the audio library?</translation>
    </message>
</context>
<context>
    <name>PeriodTimetable</name>
    <message>
        <source>%1 预备铃</source>
        <translation>%1 warning bell</translation>
    </message>
    <message>
        <source>%1 上课铃</source>
        <translation>%1 class bell</translation>
    </message>
    <message>
        <source>%1 下课铃</source>
        <translation>%1 end bell</translation>
    </message>
    <message>
        <source>作息时间表没有名称</source>
        <translation>The period timetable has no name</translation>
    </message>
    <message>
        <source>名称“%1”不能以空格开头或结尾，也不能含有 ; | , = [ ]</source>
        <translation>The name &quot;%1&quot; cannot begin or end with a space or contain ; | , = [ ]</translation>
    </message>
    <message>
        <source>没有选择上课铃</source>
        <translation>No class bell chosen</translation>
    </message>
    <message>
        <source>没有选择星期</source>
        <translation>No weekday chosen</translation>
    </message>
    <message>
        <source>没有任何一节</source>
        <translation>No periods</translation>
    </message>
    <message>
        <source>节次名称“%1”不能为空，也不能含有 ; | , = [ ]</source>
        <translation>The period name &quot;%1&quot; cannot be empty or contain ; | , = [ ]</translation>
    </message>
    <message>
        <source>%1 的下课时间不晚于上课时间</source>
        <translation>%1 does not end after it starts</translation>
    </message>
    <message>
        <source>%1 的预备铃会落在前一天</source>
        <translation>The warning bell of %1 would fall on the day before</translation>
    </message>
    <message>
        <source>%1与%2同在 %3</source>
        <translation>%1 and %2 both at %3</translation>
    </message>
    <message>
        <source>TimeMusicList.ini 的 [%1] 中“%2”不是有效的作息时间表，已忽略</source>
        <translation>&quot;%2&quot; in [%1] of TimeMusicList.ini is not a valid period timetable; ignored</translation>
    </message>
</context>
<context>
    <name>PeriodTimetableDialog</name>
    <message>
        <source>第一节</source>
        <translation>Period 1</translation>
    </message>
    <message>
        <source>第二节</source>
        <translation>Period 2</translation>
    </message>
    <message>
        <source>第三节</source>
        <translation>Period 3</translation>
    </message>
    <message>
        <source>第四节</source>
        <translation>Period 4</translation>
    </message>
    <message>
        <source>第五节</source>
        <translation>Period 5</translation>
    </message>
    <message>
        <source>第六节</source>
        <translation>Period 6</translation>
    </message>
    <message>
        <source>第七节</source>
        <translation>Period 7</translation>
    </message>
    <message>
        <source>第八节</source>
        <translation>Period 8</translation>
    </message>
    <message>
        <source>第九节</source>
        <translation>Period 9</translation>
    </message>
    <message>
        <source>第十节</source>
        <translation>Period 10</translation>
    </message>
    <message>
        <source>第%1节</source>
        <translation>Period %1</translation>
    </message>
    <message>
        <source>（不响）</source>
        <translation>(no bell)</translation>
    </message>
    <message>
        <source>作息时间表</source>
        <translation>Period timetable</translation>
    </message>
    <message>
        <source>作息时间表：</source>
        <translation>Timetable:</translation>
    </message>
    <message>
        <source>新建作息时间表</source>
        <translation>New timetable</translation>
    </message>
    <message>
        <source>删除作息时间表</source>
        <translation>Delete timetable</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>每年起用日期：</source>
        <translation>In use each year from:</translation>
    </message>
    <message>
        <source>节次</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>上课时间</source>
        <translation>Lesson starts</translation>
    </message>
    <message>
        <source>下课时间</source>
        <translation>Lesson ends</translation>
    </message>
    <message>
        <source> 分钟</source>
        <translation> min</translation>
    </message>
    <message>
        <source>课间：</source>
        <translation>Break:</translation>
    </message>
    <message>
        <source>添加一节</source>
        <translation>Add period</translation>
    </message>
    <message>
        <source>删除一节</source>
        <translation>Delete period</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>铃声</source>
        <translation>Bells</translation>
    </message>
    <message>
        <source>上课铃：</source>
        <translation>Lesson bell:</translation>
    </message>
    <message>
        <source>下课铃：</source>
        <translation>End-of-lesson bell:</translation>
    </message>
    <message>
        <source>预备铃：</source>
        <translation>Warning bell:</translation>
    </message>
    <message>
        <source>预备铃提前：</source>
        <translation>Warning bell ahead by:</translation>
    </message>
    <message>
        <source>提前：</source>
        <translation>Ahead by:</translation>
    </message>
    <message>
        <source>星期</source>
        <translation>Weekdays</translation>
    </message>
    <message>
        <source>节假日不响铃</source>
        <translation>Silent on holidays</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存后，作息时间表的铃声作为普通任务写入定时时间列表。</source>
        <translation>On saving, the timetable&apos;s bells are written to the Schedule as ordinary tasks.</translation>
    </message>
    <message>
        <source>上课铃</source>
        <translation>Lesson bell</translation>
    </message>
    <message>
        <source>下课铃</source>
        <translation>End-of-lesson bell</translation>
    </message>
    <message>
        <source>预备铃</source>
        <translation>Warning bell</translation>
    </message>
    <message>
        <source>%1（音频库编号 %2）</source>
        <translation>%1 (audio library no. %2)</translation>
    </message>
    <message>
        <source>%1已不在音频库中，请重新选择后保存。</source>
        <translation>No longer in the audio library: %1. Choose again, then save.</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between bell names</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>%1：%2“%3”不是有效的时刻（时:分）</source>
        <translation>%1: %2 &quot;%3&quot; is not a valid time (h:mm)</translation>
    </message>
    <message>
        <source>作息时间表%1</source>
        <translation>Timetable %1</translation>
    </message>
    <message>
        <source>删除作息时间表“%1”？保存后它的铃声从定时时间列表中删除。</source>
        <translation>Delete the timetable &quot;%1&quot;? On saving, its bells are removed from the Schedule.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <comment>timetable name: problem</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>有两张作息时间表名为“%1”</source>
        <translation>Two timetables are named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>“%1”与“%2”的起用日期相同</source>
        <translation>&quot;%1&quot; and &quot;%2&quot; come into use on the same date</translation>
    </message>
    <message>
        <source>作息时间表没有保存：
%1</source>
        <translation>The timetables were not saved:
%1</translation>
    </message>
    <message>
        <source>以下手工任务与作息时间表的铃声在同一时刻：
%1

选“确定”用作息时间表的铃声替换这些任务；选“取消”保留这些任务，这些铃声不写入。</source>
        <translation>These hand-made tasks are at the same time as bells of the timetable:
%1

Choose &quot;OK&quot; to replace these tasks with the timetable&apos;s bells; choose &quot;Cancel&quot; to keep the tasks and leave those bells out.</translation>
    </message>
</context>
<context>
    <name>ProgramData</name>
    <message>
        <source>没有保存，因为：
%1</source>
        <translation>Not saved, because:
%1</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 %2：该时刻已有手工任务，未写入</source>
        <translation>%1 %2: a task made by hand is at this time; not written</translation>
    </message>
</context>
<context>
    <name>RingNowDialog</name>
    <message>
        <source>立即响铃</source>
        <translation>Ring now</translation>
    </message>
    <message>
        <source>音频库</source>
        <translation>Audio library</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation>Audio file</translation>
    </message>
    <message>
        <source>响铃</source>
        <translation>Ring</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SessionWatch</name>
    <message>
        <source>无法阻止计算机在空闲时休眠（%1）。计算机休眠时铃声不会响，请在系统的电源设置中关闭自动休眠。</source>
        <translation>Cannot keep the computer from sleeping when idle (%1). Bells do not ring while the computer sleeps: please turn off automatic sleep in the system&apos;s power settings.</translation>
    </message>
    <message>
        <source>已同步</source>
        <translation>Synced</translation>
    </message>
    <message>
        <source>未同步</source>
        <translation>No sync</translation>
    </message>
    <message>
        <source>系统时钟由网络时间（NTP）校准</source>
        <translation>The system clock is kept right by network time (NTP)</translation>
    </message>
    <message>
        <source>系统时钟没有与网络时间（NTP）同步，铃声的时刻可能不准</source>
        <translation>The system clock is not synchronized with network time (NTP); bells may ring at the wrong moment</translation>
    </message>
    <message>
        <source>系统时钟没有与网络时间同步，铃声的时刻可能越来越不准。请开启网络时间同步（NTP）。</source>
        <translation>The system clock is not synchronized with network time, so bells may drift further and further off time. Please turn on network time synchronization (NTP).</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>节假日设置</source>
        <translation>Holidays</translation>
    </message>
    <message>
        <source>节假日</source>
        <translation>Holidays</translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>结束时间</source>
        <translation>End</translation>
    </message>
    <message>
        <source>开始日期</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>结束日期</source>
        <translation>End date</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>背景音乐设置</source>
        <translation>Background music</translation>
    </message>
    <message>
        <source>播放背景音乐</source>
        <translation>Play background music</translation>
    </message>
    <message>
        <source>背景音乐文件</source>
        <translation>Background music file</translation>
    </message>
    <message>
        <source>选择背景音乐</source>
        <translation>Choose background music</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>铃声音量：</source>
        <translation>Bell volume:</translation>
    </message>
    <message>
        <source>所有定时任务的音量；每个任务还可另设自己的音量</source>
        <translation>Volume of all scheduled tasks; each task can also set its own volume</translation>
    </message>
    <message>
        <source>背景音乐音量：</source>
        <translation>Background music volume:</translation>
    </message>
    <message>
        <source>背景音乐的音量</source>
        <translation>Volume of the background music</translation>
    </message>
    <message>
        <source>播放任务时背景音乐降至：</source>
        <translation>Music during a task:</translation>
    </message>
    <message>
        <source>任务播放期间背景音乐降到其音量的百分之几；0 表示静音</source>
        <translation>Share of its volume the background music drops to while a task plays; 0 mutes it</translation>
    </message>
    <message>
        <source>基本设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>随系统自动启动</source>
        <translation>Start at log-on</translation>
    </message>
    <message>
        <source> 秒内</source>
        <translation> s late</translation>
    </message>
    <message>
        <source>不补播</source>
        <translation>Never</translation>
    </message>
    <message>
        <source>时钟跳过的铃声补播：</source>
        <translation>Ring skipped bells up to:</translation>
    </message>
    <message>
        <source>今天还有铃声时阻止计算机休眠</source>
        <translation>Keep awake while bells remain today</translation>
    </message>
    <message>
        <source>自动关机</source>
        <translation>Automatic shutdown</translation>
    </message>
    <message>
        <source>自动关闭计算机</source>
        <translation>Shut down the computer</translation>
    </message>
    <message>
        <source>关机时间</source>
        <translation>Shutdown time</translation>
    </message>
    <message>
        <source>显示剩余倒计时</source>
        <translation>Show countdown</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>安全设置</source>
        <translation>Security</translation>
    </message>
    <message>
        <source>设置软件锁定密码</source>
        <translation>Set lock password</translation>
    </message>
    <message>
        <source>星期一</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>星期二</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>星期三</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>星期四</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>星期五</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>星期六</source>
        <translation>Saturday</translation>
    </message>
    <message>
        <source>星期日</source>
        <translation>Sunday</translation>
    </message>
</context>
<context>
    <name>SnapServer</name>
    <message>
        <source>无法启动分区广播服务器 snapserver：%1</source>
        <translation>Cannot start the zone server snapserver: %1</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create folder %1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>异常结束</source>
        <translation>crashed</translation>
    </message>
    <message>
        <source>退出码 %1</source>
        <translation>exit code %1</translation>
    </message>
    <message>
        <source>分区广播服务器 snapserver 已退出：%1</source>
        <translation>The zone server snapserver has exited: %1</translation>
    </message>
    <message>
        <source>控制端口 %1 在 %2 秒内没有打开</source>
        <translation>Control port %1 did not open within %2 s</translation>
    </message>
</context>
<context>
    <name>SnapcastControl</name>
    <message>
        <source>%1 秒内没有回答</source>
        <translation>no answer within %1 s</translation>
    </message>
    <message>
        <source>无法把分组 %1 转到分区 %2：%3</source>
        <translation>Cannot move group %1 to zone %2: %3</translation>
    </message>
    <message>
        <source>没有设置分区广播服务器</source>
        <translation>no zone server is set</translation>
    </message>
    <message>
        <source>无法连接分区广播服务器 %1:%2：%3</source>
        <translation>Cannot connect to the zone server %1:%2: %3</translation>
    </message>
    <message>
        <source>与服务器的连接已断开</source>
        <translation>the connection to the server was lost</translation>
    </message>
</context>
<context>
    <name>SnapcastStatus</name>
    <message>
        <source>分区广播服务器的回答无法读取：%1</source>
        <translation>The zone server&apos;s answer cannot be read: %1</translation>
    </message>
    <message>
        <source>不是 JSON 对象</source>
        <translation>not a JSON object</translation>
    </message>
    <message>
        <source>分区广播服务器报告错误：%1（%2）</source>
        <translation>The zone server reports an error: %1 (%2)</translation>
    </message>
    <message>
        <source>分区广播服务器的回答无法读取：缺少 result.server</source>
        <translation>The zone server&apos;s answer cannot be read: result.server is missing</translation>
    </message>
</context>
<context>
    <name>SystemShutdownRequest</name>
    <message>
        <source>关机请求在 %1 秒内没有得到系统的回应：%2</source>
        <translation>The system did not answer the shutdown request within %1 s: %2</translation>
    </message>
    <message>
        <source>关机请求被系统拒绝：%1</source>
        <translation>The system refused the shutdown request: %1</translation>
    </message>
    <message>
        <source>无法启动关机命令 systemctl：%1</source>
        <translation>Cannot start the shutdown command systemctl: %1</translation>
    </message>
    <message>
        <source>关机命令 systemctl poweroff 在 %1 秒内没有结束</source>
        <translation>The shutdown command systemctl poweroff did not finish within %1 s</translation>
    </message>
    <message>
        <source>关机命令 systemctl poweroff 失败（退出码 %1）：%2</source>
        <translation>The shutdown command systemctl poweroff failed (exit code %1): %2</translation>
    </message>
</context>
<context>
    <name>TEnDescrypt</name>
    <message>
        <source>系统缺少 GB18030 文本编码</source>
        <translation>The system lacks the GB18030 text encoding</translation>
    </message>
    <message>
        <source>该值含有无法以 GB18030 保存的字符</source>
        <translation>The value holds characters that cannot be saved in GB18030</translation>
    </message>
    <message>
        <source>保存的加密值无法解密</source>
        <translation>The stored encrypted value cannot be decrypted</translation>
    </message>
</context>
<context>
    <name>TaskFile</name>
    <message>
        <source>无控制</source>
        <translation>None</translation>
    </message>
    <message>
        <source>每日</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>每周</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>每月</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>指定日期</source>
        <translation>On date</translation>
    </message>
    <message>
        <source>临时一次</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>顺序</source>
        <translation>In order</translation>
    </message>
    <message>
        <source>随机</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation>Audio file</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>事务</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>周一</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>周二</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>周三</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>周四</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>周五</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>周六</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>周日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>%1日</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>one listed day after another</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>“%1”不是有效的日期和时间</source>
        <translation>&quot;%1&quot; is not a valid date and time</translation>
    </message>
    <message>
        <source>“%1”不是有效的整数</source>
        <translation>&quot;%1&quot; is not a valid whole number</translation>
    </message>
    <message>
        <source>%1 的 [%2] 中 %3 一行有误：%4</source>
        <translation>Line %3 in [%2] of %1 is wrong: %4</translation>
    </message>
    <message>
        <source>周一</source>
        <comment>a day in a list of days</comment>
        <translation>Mo</translation>
    </message>
    <message>
        <source>周二</source>
        <comment>a day in a list of days</comment>
        <translation>Tu</translation>
    </message>
    <message>
        <source>周三</source>
        <comment>a day in a list of days</comment>
        <translation>We</translation>
    </message>
    <message>
        <source>周四</source>
        <comment>a day in a list of days</comment>
        <translation>Th</translation>
    </message>
    <message>
        <source>周五</source>
        <comment>a day in a list of days</comment>
        <translation>Fr</translation>
    </message>
    <message>
        <source>周六</source>
        <comment>a day in a list of days</comment>
        <translation>Sa</translation>
    </message>
    <message>
        <source>周日</source>
        <comment>a day in a list of days</comment>
        <translation>Su</translation>
    </message>
</context>
<context>
    <name>TaskListPage</name>
    <message>
        <source>添加定时任务</source>
        <translation>Add task</translation>
    </message>
    <message>
        <source>添加任务</source>
        <translation>Add a task</translation>
    </message>
    <message>
        <source>修改定时任务</source>
        <translation>Edit task</translation>
    </message>
    <message>
        <source>修改任务</source>
        <translation>Edit the task</translation>
    </message>
    <message>
        <source>复制定时任务</source>
        <translation>Copy task</translation>
    </message>
    <message>
        <source>复制任务到另一开始时间</source>
        <translation>Copy the task to another start time</translation>
    </message>
    <message>
        <source>删除定时任务</source>
        <translation>Delete task</translation>
    </message>
    <message>
        <source>删除任务</source>
        <translation>Delete the task</translation>
    </message>
    <message>
        <source>禁止该任务</source>
        <translation>Disable task</translation>
    </message>
    <message>
        <source>启用/禁用任务</source>
        <translation>Enable/disable the task</translation>
    </message>
    <message>
        <source>清除所有禁止的任务</source>
        <translation>Clear disabled tasks</translation>
    </message>
    <message>
        <source>清除所有禁用任务</source>
        <translation>Clear all disabled tasks</translation>
    </message>
    <message>
        <source>清除所有任务</source>
        <translation>Clear all tasks</translation>
    </message>
    <message>
        <source>作息时间表</source>
        <translation>Period timetable</translation>
    </message>
    <message>
        <source>按节次设置上课铃、下课铃和预备铃</source>
        <translation>Set the lesson, end-of-lesson and warning bells by period</translation>
    </message>
    <message>
        <source>立即响铃</source>
        <translation>Ring now</translation>
    </message>
    <message>
        <source>立即播放音频库中的一个铃声或音乐（F9）</source>
        <translation>Play a bell or music from the audio library now (F9)</translation>
    </message>
    <message>
        <source>定时时间列表</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>全部任务</source>
        <translation>All tasks</translation>
    </message>
    <message>
        <source>当日铃声</source>
        <translation>Day&apos;s bells</translation>
    </message>
    <message>
        <source>当前任务播放控制</source>
        <translation>Current task playback</translation>
    </message>
    <message>
        <source>播放进度</source>
        <translation>Playback position</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>切歌</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>新增定时任务</source>
        <translation>New task</translation>
    </message>
    <message>
        <source>请选择要修改的定时任务</source>
        <translation>Please select the task to edit.</translation>
    </message>
    <message>
        <source>请选择要复制的定时任务</source>
        <translation>Please select the task to copy.</translation>
    </message>
    <message>
        <source>请选择要删除的定时时间！</source>
        <translation>Please select the task to delete.</translation>
    </message>
    <message>
        <source>确定要删除该时间段播放任务么？</source>
        <translation>Delete this task?</translation>
    </message>
    <message>
        <source>确定清除所有已禁用的任务么？</source>
        <translation>Clear all disabled tasks?</translation>
    </message>
    <message>
        <source>确定要清空所有播放任务么？</source>
        <translation>Clear all tasks?</translation>
    </message>
    <message>
        <source>启用该任务</source>
        <translation>Enable task</translation>
    </message>
    <message>
        <source>音频库中还没有铃声或音乐。请先在“音频库”页中点“增加”添加，再立即响铃。</source>
        <translation>The audio library has no bells or music yet. Add some with &quot;Add&quot; on the &quot;Audio library&quot; page first, then ring.</translation>
    </message>
</context>
<context>
    <name>TaskPlayback</name>
    <message>
        <source>缺少第 %1 项</source>
        <translation>item %1 is missing</translation>
    </message>
    <message>
        <source>时间到了，进入播放</source>
        <translation>Time reached, playing</translation>
    </message>
    <message>
        <source>未播放：音频库中没有编号 %1</source>
        <translation>Not played: the audio library has no number %1</translation>
    </message>
    <message>
        <source>未播放：目录中没有音乐文件</source>
        <translation>Not played: no music files in the folder</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>正在播放%1</source>
        <translation>Playing %1</translation>
    </message>
    <message>
        <source>无法播放%1</source>
        <translation>Cannot play %1</translation>
    </message>
    <message>
        <source>无法播放%1：%2</source>
        <translation>Cannot play %1: %2</translation>
    </message>
    <message>
        <source>没有可用的音频输出设备</source>
        <translation>No audio output device available</translation>
    </message>
</context>
<context>
    <name>TaskSound</name>
    <message>
        <source>“%1”应为“音量,淡入秒数,淡出秒数”三个整数，已按默认音量 100%、不淡入淡出播放</source>
        <translation>&quot;%1&quot; should be three whole numbers &quot;volume,fade-in seconds,fade-out seconds&quot;; played at the default volume of 100% without fades</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>% </source>
        <translation>%</translation>
    </message>
    <message>
        <source>淡入</source>
        <translation>Fade-in</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>淡出</source>
        <translation>Fade-out</translation>
    </message>
    <message>
        <source>%1 %2 不在 0～%3 之内，按 %4%5播放</source>
        <translation>%1 %2 is not within 0–%3; played at %4%5</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>TaskTableModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>歌曲铃声</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>循环次数</source>
        <translation>Repeats</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>播放方式</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>播放日类型</source>
        <translation>Days</translation>
    </message>
    <message>
        <source>播放日类型具体参数</source>
        <translation>Day details</translation>
    </message>
    <message>
        <source>排除节假日</source>
        <translation>Skip hol.</translation>
    </message>
    <message>
        <source>播放时长</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>结束时间</source>
        <translation>End time</translation>
    </message>
    <message>
        <source>是：节假日设置中的日子里该任务不播放；否：节假日照常播放</source>
        <translation>Yes: the task does not play on the days set as holidays; No: it plays on holidays as usual</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>TavuroMP3音乐定时播放器(定时播音、铃声定时)</source>
        <translation>TavuroMP3 Scheduled Music Player (timed announcements and bells)</translation>
    </message>
    <message>
        <source>定时时间列表</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>音频库</source>
        <translation>Audio library</translation>
    </message>
    <message>
        <source>校历</source>
        <translation>School calendar</translation>
    </message>
    <message>
        <source>基本设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>分区广播</source>
        <translation>Zones</translation>
    </message>
    <message>
        <source>权限管理</source>
        <translation>Users</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>立即响铃…</source>
        <translation>Ring now...</translation>
    </message>
    <message>
        <source>停止响铃</source>
        <translation>Stop bell</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>设置音频库密码</source>
        <translation>Set audio library password</translation>
    </message>
    <message>
        <source>当前时间：%1</source>
        <translation>Time: %1</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>the product title, then its version</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>TfrmPasswordSet</name>
    <message>
        <source>旧密码：</source>
        <translation>Old password:</translation>
    </message>
    <message>
        <source>新密码：</source>
        <translation>New password:</translation>
    </message>
    <message>
        <source>再次输入新密码：</source>
        <translation>Confirm new password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>密码不正确，请重新输入。</source>
        <translation>Wrong password. Please try again.</translation>
    </message>
    <message>
        <source>新密码不一致。</source>
        <translation>The new passwords do not match.</translation>
    </message>
    <message>
        <source>新密码不能为空。</source>
        <translation>The new password cannot be empty.</translation>
    </message>
</context>
<context>
    <name>TfrmSelMusic</name>
    <message>
        <source>请选择音频文件</source>
        <translation>Select audio files</translation>
    </message>
    <message>
        <source>音频库</source>
        <translation>Audio library</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>完整路径</source>
        <translation>Full path</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation>Audio file</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>&amp;确定</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TfrmShotdownHint</name>
    <message>
        <source>关机倒计时</source>
        <translation>Shutdown countdown</translation>
    </message>
    <message>
        <source>离关闭计算机还有</source>
        <translation>Shutting down in</translation>
    </message>
    <message>
        <source>剩余时间</source>
        <translation>Time left</translation>
    </message>
</context>
<context>
    <name>TfrmTaskSet</name>
    <message>
        <source>到此时间停止播放；00:00:00 表示不设结束时间</source>
        <translation>Playing stops at this time; 00:00:00 means no end time</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>歌曲铃声</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>顺序</source>
        <translation>In order</translation>
    </message>
    <message>
        <source>随机</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>从开始时间起最多播放多长时间（时:分:秒），00:00:00 表示不限</source>
        <translation>The longest it plays from the start time (hh:mm:ss); 00:00:00 means no limit</translation>
    </message>
    <message>
        <source>排除节假日</source>
        <translation>Skip holidays</translation>
    </message>
    <message>
        <source>勾选后，节假日设置中的日子里该任务不播放</source>
        <translation>When checked, the task does not play on the days set as holidays</translation>
    </message>
    <message>
        <source>100% 为音频原有音量，超过 100% 可放大声音较小的录音</source>
        <translation>100% is the audio&apos;s own volume; above 100% makes quiet recordings louder</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>开始播放时用多长时间把声音从无渐渐加大；0 表示不淡入</source>
        <translation>How long the sound takes to rise from silence when playing starts; 0 means no fade-in</translation>
    </message>
    <message>
        <source>结束时间或播放时长到时，用多长时间把声音渐渐减小到无再停止；0 表示立即停止。音频自然播完时不淡出</source>
        <translation>When the end time or duration is reached, how long the sound takes to fade to silence before it stops; 0 stops at once. Audio that ends by itself does not fade out</translation>
    </message>
    <message>
        <source>周工作日设置</source>
        <translation>Days of the week</translation>
    </message>
    <message>
        <source>月份工作日设置</source>
        <translation>Days of the month</translation>
    </message>
    <message>
        <source>年-月-日，如 2026-09-01</source>
        <translation>Year-month-day, e.g. 2026-09-01</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>开始时间：</source>
        <translation>Start time:</translation>
    </message>
    <message>
        <source>循环次数：</source>
        <translation>Repeats:</translation>
    </message>
    <message>
        <source>结束时间：</source>
        <translation>End time:</translation>
    </message>
    <message>
        <source>选择该时间段歌曲铃声：</source>
        <translation>Sounds for this time:</translation>
    </message>
    <message>
        <source>播放参数</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>播放方式：</source>
        <translation>Order:</translation>
    </message>
    <message>
        <source>播放时长：</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>（时:分:秒）</source>
        <translation>(hh:mm:ss)</translation>
    </message>
    <message>
        <source>播放日类型：</source>
        <translation>Days:</translation>
    </message>
    <message>
        <source>音量：</source>
        <translation>Volume:</translation>
    </message>
    <message>
        <source>淡入：</source>
        <translation>Fade in:</translation>
    </message>
    <message>
        <source>淡出：</source>
        <translation>Fade out:</translation>
    </message>
    <message>
        <source>分区：</source>
        <translation>Zones:</translation>
    </message>
    <message>
        <source>未设置分区</source>
        <translation>No zones set</translation>
    </message>
    <message>
        <source>在“分区广播”页中设置分区</source>
        <translation>Set up zones on the &quot;Zones&quot; page</translation>
    </message>
    <message>
        <source>全部分区</source>
        <translation>All zones</translation>
    </message>
    <message>
        <source>仅本机</source>
        <translation>This computer only</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between zone names</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>不能在同一时段添加同时添加音频文件和目录，如要更改类型，请先清空之前的数据。</source>
        <translation>A task cannot have both audio files and a folder. To change the kind, clear the list first.</translation>
    </message>
    <message>
        <source>不能在同一时段添加多个目录。</source>
        <translation>A task cannot have more than one folder.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>请选择要删除的歌曲铃声！</source>
        <translation>Please select the sound to delete.</translation>
    </message>
    <message>
        <source>该时间段任务已存在，是否覆盖？</source>
        <translation>A task already exists at this time. Replace it?</translation>
    </message>
    <message>
        <source>循环次数不能为空</source>
        <translation>Repeats cannot be empty</translation>
    </message>
    <message>
        <source>循环次数必须为数字</source>
        <translation>Repeats must be a number</translation>
    </message>
    <message>
        <source>循环次数至少为 1：为 0 的任务到时什么也不播放</source>
        <translation>Repeats must be at least 1: a task with 0 plays nothing when due</translation>
    </message>
    <message>
        <source>（时为 0 到 23，分和秒为 0 到 59，如 08:05:00）</source>
        <translation> (hours 0 to 23, minutes and seconds 0 to 59, e.g. 08:05:00)</translation>
    </message>
    <message>
        <source>开始时间“%1”不是有效的时间</source>
        <translation>Start time &quot;%1&quot; is not a valid time</translation>
    </message>
    <message>
        <source>结束时间“%1”不是有效的时间</source>
        <translation>End time &quot;%1&quot; is not a valid time</translation>
    </message>
    <message>
        <source>结束时间 %1 必须晚于开始时间 %2（00:00:00 表示不设结束时间）</source>
        <translation>End time %1 must be later than start time %2 (00:00:00 means no end time)</translation>
    </message>
    <message>
        <source>播放时长“%1”无效：请按 时:分:秒 填写，最长 23:59:59</source>
        <translation>Duration &quot;%1&quot; is not valid: enter it as hh:mm:ss, at most 23:59:59</translation>
    </message>
    <message>
        <source>歌曲铃声不能为空</source>
        <translation>Add at least one sound</translation>
    </message>
    <message>
        <source>请至少选择一个周工作日</source>
        <translation>Select at least one day of the week</translation>
    </message>
    <message>
        <source>请至少选择一个月工作日</source>
        <translation>Select at least one day of the month</translation>
    </message>
    <message>
        <source>日期“%1”不存在：请按 年-月-日 填写，如 2026-09-01</source>
        <translation>Date &quot;%1&quot; does not exist: enter it as year-month-day, e.g. 2026-09-01</translation>
    </message>
    <message>
        <source>该任务已修改，确定放弃所做的修改么？</source>
        <translation>The task has been changed. Discard your changes?</translation>
    </message>
</context>
<context>
    <name>Timetable</name>
    <message>
        <source>（编号 %1 不存在）</source>
        <translation>(number %1 missing)</translation>
    </message>
    <message>
        <source>“%1”不是有效的布尔值</source>
        <translation>&quot;%1&quot; is not a valid on/off value</translation>
    </message>
    <message>
        <source>“%1”中缺少节假日标志</source>
        <translation>&quot;%1&quot; lacks the holiday flag</translation>
    </message>
    <message>
        <source>“%1”不是有效的整数</source>
        <translation>&quot;%1&quot; is not a valid whole number</translation>
    </message>
    <message>
        <source>“%1”只有 %2 项，至少应有 %3 项</source>
        <translation>&quot;%1&quot; has only %2 items; at least %3 are needed</translation>
    </message>
</context>
<context>
    <name>TrayTooltip</name>
    <message>
        <source>今天没有待播放的任务</source>
        <translation>No more tasks today</translation>
    </message>
    <message>
        <source>下一个任务：%1</source>
        <translation>Next task: %1</translation>
    </message>
</context>
<context>
    <name>UsersPage</name>
    <message>
        <source>管理员</source>
        <translation>Administrator</translation>
    </message>
    <message>
        <source>普通用户</source>
        <translation>Standard user</translation>
    </message>
    <message>
        <source>定时时间列表</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>音频库</source>
        <translation>Audio library</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>权限</source>
        <translation>Users</translation>
    </message>
    <message>
        <source>用户列表</source>
        <translation>User list</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>组别</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>用户信息</source>
        <translation>User details</translation>
    </message>
    <message>
        <source>权限设置</source>
        <translation>Permissions</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请选择需要修改的用户。</source>
        <translation>Select the user to edit.</translation>
    </message>
    <message>
        <source>用户名不能为空，请重新填写</source>
        <translation>The user name cannot be empty. Please enter one</translation>
    </message>
    <message>
        <source>组别不能为空</source>
        <translation>Choose a group</translation>
    </message>
    <message>
        <source>该用户名已存在，请重新填写</source>
        <translation>This user name already exists. Please enter another</translation>
    </message>
    <message>
        <source>请选择要删除的用户。</source>
        <translation>Select the user to delete.</translation>
    </message>
    <message>
        <source>确定要删除么？</source>
        <translation>Delete the selected user?</translation>
    </message>
</context>
<context>
    <name>WeekAndAutoStart</name>
    <message>
        <source>开启随系统自启动失败：无法写入自动启动目录。</source>
        <translation>Could not turn on start at log-on: the autostart folder cannot be written.</translation>
    </message>
</context>
<context>
    <name>XdgAutostart</name>
    <message>
        <source>无法写入自动启动目录：%1</source>
        <translation>Cannot write to the autostart folder: %1</translation>
    </message>
    <message>
        <source>无法写入自动启动目录：%1（%2）</source>
        <translation>Cannot write to the autostart folder: %1 (%2)</translation>
    </message>
    <message>
        <source>无法删除自动启动项：%1（%2）</source>
        <translation>Cannot delete the autostart entry: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>ZoneBells</name>
    <message>
        <source>无法连接分区广播服务器 %1:%2</source>
        <translation>Cannot reach the zone broadcast server %1:%2</translation>
    </message>
    <message>
        <source>播放失败：%1</source>
        <translation>Playback failed: %1</translation>
    </message>
    <message>
        <source>分区“%1”的铃声未能送出：%2</source>
        <translation>The bell could not be sent to zone &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>ZoneBroadcast</name>
    <message>
        <source>无客户端：%1</source>
        <translation>No clients: %1</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between zone names</comment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>ZonePage</name>
    <message>
        <source>启用分区广播</source>
        <translation>Broadcast to zones</translation>
    </message>
    <message>
        <source>服务器</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>本机（由本程序启动 snapserver）</source>
        <translation>This computer (runs its own snapserver)</translation>
    </message>
    <message>
        <source>其他服务器：</source>
        <translation>Other server:</translation>
    </message>
    <message>
        <source>服务器的地址</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>Snapcast 服务器的缓冲；铃声提前这么多送往各分区，使各楼与本机同时响起</source>
        <translation>The Snapcast server&apos;s buffer: bells go to the zones this much early, so every building rings with this computer</translation>
    </message>
    <message>
        <source>客户端端口</source>
        <translation>Client port</translation>
    </message>
    <message>
        <source>控制端口</source>
        <translation>Control port</translation>
    </message>
    <message>
        <source>缓冲（毫秒）</source>
        <translation>Buffer (ms)</translation>
    </message>
    <message>
        <source>本机声卡也播放</source>
        <translation>Play on this computer too</translation>
    </message>
    <message>
        <source>背景音乐也送往各分区（铃声响时暂停）</source>
        <translation>Background music to zones too (paused for bells)</translation>
    </message>
    <message>
        <source>分区</source>
        <translation>Zone</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>客户端</source>
        <translation>Clients</translation>
    </message>
    <message>
        <source>添加分区…</source>
        <translation>Add zone...</translation>
    </message>
    <message>
        <source>重命名…</source>
        <translation>Rename...</translation>
    </message>
    <message>
        <source>删除分区</source>
        <translation>Delete zone</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>IP 地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>请输入服务器的地址</source>
        <translation>Please enter the server&apos;s address</translation>
    </message>
    <message>
        <source>其他楼的电脑或树莓派加入：安装 snapclient，运行 snapclient -h 本机的地址（端口 %1），它会出现在上面的客户端列表中，再把它分到所属的分区。</source>
        <translation>To add a computer or Raspberry Pi in another building: install snapclient and run snapclient -h followed by this computer&apos;s address (port %1). It then appears in the client list above; put it in its zone.</translation>
    </message>
    <message>
        <source>无客户端</source>
        <translation>No clients</translation>
    </message>
    <message>
        <source>%1 台在线 / 共 %2 台</source>
        <translation>%1 of %2 online</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>离线</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>%1 的分区</source>
        <translation>Zone of %1</translation>
    </message>
    <message>
        <source>其他流</source>
        <translation>Other streams</translation>
    </message>
    <message>
        <source>分区广播未启用</source>
        <translation>Broadcasting to zones is off</translation>
    </message>
    <message>
        <source>服务器 %1:%2 正常</source>
        <translation>Server %1:%2 is working</translation>
    </message>
    <message>
        <source>分区名称：</source>
        <translation>Zone name:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>没有可用的端口，无法再添加分区</source>
        <translation>No port is free: no more zones can be added</translation>
    </message>
    <message>
        <source>添加分区</source>
        <translation>Add zone</translation>
    </message>
    <message>
        <source>重命名分区</source>
        <translation>Rename zone</translation>
    </message>
    <message>
        <source>确定删除分区“%1”？</source>
        <translation>Delete zone &quot;%1&quot;?</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>MP3定时播放器程序已运行！</source>
        <translation>The MP3 timed player is already running!</translation>
    </message>
</context>
</TS>
