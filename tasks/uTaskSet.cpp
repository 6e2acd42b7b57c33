#include "tasks/uTaskSet.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "storage/MusicName.h"
#include "storage/ProgramData.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"
#include "storage/Timetable.h"
#include "tasks/TypedFields.h"
#include "tasks/uMusicList.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

bool isWholeNumberText(const QString& text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// "1" at every checked place, "0" elsewhere.
template <std::size_t N>
QString placesText(QCheckBox* const (&boxes)[N])
{
    QString text;
    for (QCheckBox* box : boxes)
        text += box->isChecked() ? u'1' : u'0';
    return text;
}

template <std::size_t N>
void applyPlaces(QCheckBox* const (&boxes)[N], const QString& text)
{
    for (std::size_t i = 0; i < N; ++i)
        boxes[i]->setChecked(qsizetype(i) < text.size() && text[qsizetype(i)] == u'1');
}

QLabel* label(const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

// The task under key that the file holds: a once-only task that has started is still in the
// timetable, but its lines have left the file, so saving over its time replaces nothing.
const Task* taskInFile(const Timetable& timetable, const QString& key)
{
    const Task* task = timetable.find(key);
    return task && !task->leaving ? task : nullptr;
}

// The path of a music key as the file's read by name finds it: the first line of that number,
// ASCII letters in either case, the blanks around the key ignored; empty when there is none.
QString libraryPath(const QStringList& library, const QString& musicKey)
{
    const QString name = FoldedTaskKey(musicKey.trimmed());
    for (const QString& line : library)
        if (FoldedTaskKey(LineName(line)) == name)
            return LineValue(line);
    return QString();
}

} // namespace

TfrmTaskSet::TfrmTaskSet(IMessageBoxes& boxes, const HandlerGuard& guard, const IClock& clock,
                         const ProgramData& data, QWidget* owner)
    : TfmBaseFrm(boxes, owner), m_guard(guard), m_clock(clock), m_data(data)
{
    // A dialog window with only a close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildForm();

    connect(btnMusicAdd, &QPushButton::clicked, this, m_guard.wrap([this] { btnMusicAddClick(); }));
    connect(btnMusicDel, &QPushButton::clicked, this, m_guard.wrap([this] { btnMusicDelClick(); }));
    connect(btnMusicClear, &QPushButton::clicked, this,
            m_guard.wrap([this] { btnMusicClearClick(); }));
    connect(btn1, &QPushButton::clicked, this, m_guard.wrap([this] { btn1Click(); }));
    connect(btn2, &QPushButton::clicked, this, m_guard.wrap([this] {
        if (mayDiscard())
            CloseModal(mrCancel);
    }));
    connect(cbbPlayDate, &QComboBox::currentIndexChanged, this,
            m_guard.wrap([this] { cbbPlayDateChange(); }));
}

void TfrmTaskSet::buildForm()
{
    dtpTime = new TimeField;
    edtCycle = new QLineEdit(QStringLiteral("1"));
    edtCycle->setMaxLength(2);
    edtCycle->setFixedWidth(40);
    dtpEndTime = new TimeField;
    dtpEndTime->setToolTip(tr("到此时间停止播放；00:00:00 表示不设结束时间"));

    btnMusicAdd = new QPushButton(tr("添加"));
    btnMusicDel = new QPushButton(tr("删除"));
    btnMusicClear = new QPushButton(tr("清空"));
    lstMusic = new QListWidget;
    lstMusic->setAccessibleName(tr("歌曲铃声"));
    lstMusic->setFixedHeight(120);

    cbbPlayMode = new QComboBox;
    cbbPlayMode->addItems({tr("顺序"), tr("随机")});
    edtPlayLength = new TimeField;
    edtPlayLength->setToolTip(
        tr("从开始时间起最多播放多长时间（时:分:秒），00:00:00 表示不限"));
    cbbPlayDate = new QComboBox;
    cbbPlayDate->addItems(DateTypeNames());
    chkRejectHoliday = new QCheckBox(tr("排除节假日"));
    chkRejectHoliday->setToolTip(tr("勾选后，节假日设置中的日子里该任务不播放"));

    spnVolume = new QSpinBox;
    spnVolume->setRange(0, MaxVolumePercent);
    spnVolume->setSuffix(QStringLiteral(" %"));
    spnVolume->setValue(TaskSound{}.volume);
    spnVolume->setToolTip(tr("100% 为音频原有音量，超过 100% 可放大声音较小的录音"));
    spnFadeIn = new QSpinBox;
    spnFadeIn->setRange(0, MaxFadeSeconds);
    spnFadeIn->setSuffix(tr(" 秒"));
    spnFadeIn->setToolTip(tr("开始播放时用多长时间把声音从无渐渐加大；0 表示不淡入"));
    spnFadeOut = new QSpinBox;
    spnFadeOut->setRange(0, MaxFadeSeconds);
    spnFadeOut->setSuffix(tr(" 秒"));
    spnFadeOut->setToolTip(tr(
        "结束时间或播放时长到时，用多长时间把声音渐渐减小到无再停止；0 表示立即停止。"
        "音频自然播完时不淡出"));

    buildZones();

    nbPlayDateParams = new QStackedWidget;
    nbPlayDateParams->addWidget(new QWidget); // PlayDateOfDay

    auto* week = new QGroupBox(tr("周工作日设置"));
    auto* weekLayout = new QHBoxLayout(week);
    for (int i = 0; i < 7; ++i) {
        chkPlayDateWeek[i] = new QCheckBox(WeekdayNames().value(i + 1));
        // A school's week: a new weekly task starts on the working days.
        chkPlayDateWeek[i]->setChecked(i < 5);
        weekLayout->addWidget(chkPlayDateWeek[i]);
    }
    auto* weekPage = new QWidget;
    auto* weekPageLayout = new QVBoxLayout(weekPage);
    weekPageLayout->setContentsMargins(0, 0, 0, 0);
    weekPageLayout->addWidget(week);
    weekPageLayout->addStretch();
    nbPlayDateParams->addWidget(weekPage); // PlayDateOfWeek

    chkgWorkDay = new QGroupBox(tr("月份工作日设置"));
    auto* monthLayout = new QGridLayout(chkgWorkDay);
    monthLayout->setVerticalSpacing(0);
    // Five columns filled top to bottom, so each column reads like a week of the month.
    for (int i = 0; i < 31; ++i) {
        chkgWorkDayItems[i] = new QCheckBox(QString::number(i + 1));
        monthLayout->addWidget(chkgWorkDayItems[i], i % 7, i / 7);
    }
    nbPlayDateParams->addWidget(chkgWorkDay); // PlayDateOfMonth

    auto* fixed = new QWidget;
    dtpPlayDateFixedDate = new DateField;
    dtpPlayDateFixedDate->setToolTip(tr("年-月-日，如 2026-09-01"));
    // Shown when no fixed date is given, so a new fixed-date task starts from today.
    dtpPlayDateFixedDate->setDate(m_clock.now().date());
    auto* fixedRow = new QHBoxLayout;
    fixedRow->addWidget(label(tr("日期："), dtpPlayDateFixedDate));
    fixedRow->addWidget(dtpPlayDateFixedDate);
    fixedRow->addStretch();
    auto* fixedLayout = new QVBoxLayout(fixed);
    fixedLayout->addLayout(fixedRow);
    fixedLayout->addStretch();
    nbPlayDateParams->addWidget(fixed);        // PlayDateOfFixedDate
    nbPlayDateParams->addWidget(new QWidget); // PlayDateOfTemp
    const char* pageNames[] = {"PlayDateOfDay", "PlayDateOfWeek", "PlayDateOfMonth",
                               "PlayDateOfFixedDate", "PlayDateOfTemp"};
    for (int i = 0; i < 5; ++i)
        nbPlayDateParams->widget(i)->setObjectName(QString::fromLatin1(pageNames[i]));

    btn1 = new QPushButton(tr("确定"));
    btn2 = new QPushButton(tr("取消"));
    btn1->setDefault(true);

    auto* times = new QHBoxLayout;
    times->addWidget(label(tr("开始时间："), dtpTime));
    times->addWidget(dtpTime);
    times->addSpacing(8);
    times->addWidget(label(tr("循环次数："), edtCycle));
    times->addWidget(edtCycle);
    times->addSpacing(8);
    times->addWidget(label(tr("结束时间："), dtpEndTime));
    times->addWidget(dtpEndTime);
    times->addStretch();

    auto* musicBar = new QHBoxLayout;
    musicBar->addWidget(label(tr("选择该时间段歌曲铃声："), lstMusic));
    musicBar->addStretch();
    for (QPushButton* b : {btnMusicAdd, btnMusicDel, btnMusicClear}) {
        b->setAutoDefault(false);
        musicBar->addWidget(b);
    }

    grp5 = new QGroupBox(tr("播放参数"));
    auto* params = new QGridLayout(grp5);
    params->addWidget(label(tr("播放方式："), cbbPlayMode), 0, 0);
    params->addWidget(cbbPlayMode, 0, 1);
    params->addWidget(label(tr("播放时长："), edtPlayLength), 0, 2);
    auto* length = new QHBoxLayout;
    length->addWidget(edtPlayLength);
    length->addWidget(new QLabel(tr("（时:分:秒）")));
    length->addStretch();
    params->addLayout(length, 0, 3);
    params->addWidget(label(tr("播放日类型："), cbbPlayDate), 1, 0);
    params->addWidget(cbbPlayDate, 1, 1);
    params->addWidget(chkRejectHoliday, 1, 2, 1, 2);
    params->addWidget(label(tr("音量："), spnVolume), 2, 0);
    params->addWidget(spnVolume, 2, 1);
    params->addWidget(label(tr("淡入："), spnFadeIn), 2, 2);
    auto* fades = new QHBoxLayout;
    fades->addWidget(spnFadeIn);
    fades->addSpacing(8);
    fades->addWidget(label(tr("淡出："), spnFadeOut));
    fades->addWidget(spnFadeOut);
    fades->addStretch();
    params->addLayout(fades, 2, 3);
    params->addWidget(label(tr("分区："), btnZones), 3, 0);
    params->addWidget(btnZones, 3, 1, 1, 3, Qt::AlignLeft);
    params->addWidget(nbPlayDateParams, 4, 0, 1, 4);
    params->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(times);
    layout->addLayout(musicBar);
    layout->addWidget(lstMusic);
    layout->addWidget(grp5);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmTaskSet::keyPressEvent(QKeyEvent* event)
{
    // Enter confirms (a focused button takes it itself), Esc cancels, as in any dialog.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            btn1->click();
        return;
    case Qt::Key_Escape:
        btn2->click();
        return;
    default:
        TfmBaseFrm::keyPressEvent(event);
    }
}

void TfrmTaskSet::setStartTime(const QString& text)
{
    m_givenStartTime = text;
    dtpTime->setTime(ParseTimeText(text));
}

QString TfrmTaskSet::StartTime() const
{
    return FormatTimeText(dtpTime->time());
}

void TfrmTaskSet::setEndTime(const QString& text)
{
    // An end time that does not read has never ended a task: it shows as none.
    bool ok = false;
    const QTime end = ParseTimeText(text, &ok);
    dtpEndTime->setTime(ok ? end : QTime(0, 0));
}

QString TfrmTaskSet::EndTime() const
{
    return FormatTimeText(dtpEndTime->time());
}

void TfrmTaskSet::setLoopCount(int value)
{
    edtCycle->setText(QString::number(value));
}

int TfrmTaskSet::LoopCount() const
{
    return ToInteger(edtCycle->text());
}

void TfrmTaskSet::setPlayLength(int value)
{
    // A limit of a day or more (only a hand-edited file holds one) shows as it is and is
    // refused on confirming, rather than shortened here.
    if (value >= 86400) {
        edtPlayLength->setText(QStringLiteral("%1:%2:%3")
                                               .arg(value / 3600)
                                               .arg(value / 60 % 60, 2, 10, QLatin1Char('0'))
                                               .arg(value % 60, 2, 10, QLatin1Char('0')));
        return;
    }
    edtPlayLength->setTime(QTime(0, 0).addSecs(qMax(value, 0)));
}

int TfrmTaskSet::PlayLength() const
{
    return edtPlayLength->time().msecsSinceStartOfDay() / 1000;
}

void TfrmTaskSet::setPlayMode(int value)
{
    if (value >= 1 && value <= cbbPlayMode->count())
        cbbPlayMode->setCurrentIndex(value - 1);
}

int TfrmTaskSet::PlayMode() const
{
    return cbbPlayMode->currentIndex() + 1;
}

void TfrmTaskSet::setDateType(int value)
{
    if (value >= 0 && value < cbbPlayDate->count())
        cbbPlayDate->setCurrentIndex(value);
}

int TfrmTaskSet::DateType() const
{
    return cbbPlayDate->currentIndex();
}

void TfrmTaskSet::setDateParams(const QString& text)
{
    if (text.isEmpty())
        return;
    switch (DateType()) {
    case 1:
        applyPlaces(chkPlayDateWeek, text);
        break;
    case 2:
        applyPlaces(chkgWorkDayItems, text);
        break;
    case 3:
        // A stored date that is no date shows as stored, so the user sees what to correct.
        try {
            dtpPlayDateFixedDate->setDate(ParseDateTime(text).date());
        } catch (const ConversionError&) {
            dtpPlayDateFixedDate->setText(text);
        }
        break;
    default:
        break;
    }
}

QString TfrmTaskSet::DateParams() const
{
    switch (DateType()) {
    case 1:
        return placesText(chkPlayDateWeek);
    case 2:
        return placesText(chkgWorkDayItems);
    case 3:
        // The text as typed when it names no date: refused on confirming, never stored.
        return dtpPlayDateFixedDate->date().isValid()
                   ? dtpPlayDateFixedDate->date().toString(QStringLiteral("yyyy-MM-dd"))
                   : dtpPlayDateFixedDate->text();
    default:
        return QString();
    }
}

void TfrmTaskSet::setExcludeHolidays(bool value)
{
    chkRejectHoliday->setChecked(value);
}

bool TfrmTaskSet::ExcludeHolidays() const
{
    return chkRejectHoliday->isChecked();
}

QStringList TfrmTaskSet::MusicLines() const
{
    QStringList lines;
    for (int i = 0; i < lstMusic->count(); ++i)
        lines << lstMusic->item(i)->text();
    return lines;
}

void TfrmTaskSet::setSound(const TaskSound& sound)
{
    spnVolume->setValue(sound.volume);
    spnFadeIn->setValue(sound.fadeIn);
    spnFadeOut->setValue(sound.fadeOut);
}

TaskSound TfrmTaskSet::sound() const
{
    return TaskSound{spnVolume->value(), spnFadeIn->value(), spnFadeOut->value()};
}

void TfrmTaskSet::buildZones()
{
    btnZones = new QToolButton;
    btnZones->setPopupMode(QToolButton::InstantPopup);
    btnZones->setToolButtonStyle(Qt::ToolButtonTextOnly);
    mnuZones = new QMenu(btnZones);
    btnZones->setMenu(mnuZones);
    const BroadcastSettings& broadcast = m_data.settings().broadcast;
    if (!broadcast.enabled || broadcast.zones.empty()) {
        btnZones->setText(tr("未设置分区"));
        btnZones->setToolTip(tr("在“分区广播”页中设置分区"));
        btnZones->setEnabled(false);
        return;
    }
    m_zonesOffered = true;
    QAction* all = mnuZones->addAction(tr("全部分区"));
    all->setCheckable(true);
    all->setChecked(true);
    mnuZones->addSeparator();
    for (const BroadcastZone& zone : broadcast.zones) {
        QAction* a = mnuZones->addAction(zone.name);
        a->setCheckable(true);
        a->setChecked(true);
        a->setData(zone.name);
        // Leaving out one zone of all leaves the others chosen.
        connect(a, &QAction::triggered, this, [this, all](bool) {
            all->setChecked(false);
            showZones();
        });
    }
    connect(all, &QAction::triggered, this, [this](bool on) {
        for (QAction* a : mnuZones->actions())
            if (a->isCheckable())
                a->setChecked(on);
        showZones();
    });
    showZones();
}

void TfrmTaskSet::showZones()
{
    if (!m_zonesOffered)
        return;
    const TaskZones z = zones();
    if (z.all) {
        btnZones->setText(tr("全部分区"));
        return;
    }
    QStringList shown;
    for (const QString& name : z.names)
        if (m_data.settings().broadcast.zone(name))
            shown << name;
    btnZones->setText(shown.isEmpty() ? tr("仅本机") : shown.join(tr("、", "between zone names")));
}

void TfrmTaskSet::setZones(const TaskZones& zones)
{
    m_givenZones = zones;
    if (!m_zonesOffered)
        return;
    for (QAction* a : mnuZones->actions())
        if (a->isCheckable())
            a->setChecked(a->data().isNull() ? zones.all : zones.includes(a->data().toString()));
    showZones();
}

TaskZones TfrmTaskSet::zones() const
{
    if (!m_zonesOffered)
        return m_givenZones;
    const QList<QAction*> actions = mnuZones->actions();
    if (actions.first()->isChecked())
        return TaskZones{};
    // The given order first, names that are zones no more among them (they may come back);
    // zones newly chosen after them, in the settings' order.
    QStringList chosen;
    for (const QAction* a : actions)
        if (a->isChecked() && !a->data().isNull())
            chosen << a->data().toString();
    TaskZones z{false, {}};
    const BroadcastSettings& broadcast = m_data.settings().broadcast;
    if (!m_givenZones.all)
        for (const QString& name : m_givenZones.names)
            if (!broadcast.zone(name) || chosen.contains(name))
                z.names << name;
    for (const QString& name : chosen)
        if (!z.names.contains(name))
            z.names << name;
    return z;
}

void TfrmTaskSet::setMusicLine(const QString& key, const QString& name)
{
    int at = -1;
    for (int i = 0; i < lstMusic->count() && at < 0; ++i)
        if (LineName(lstMusic->item(i)->text()) == key)
            at = i;
    if (name.isEmpty()) {
        if (at >= 0)
            delete lstMusic->takeItem(at);
        return;
    }
    const QString line = key + u'=' + name;
    if (at >= 0)
        lstMusic->item(at)->setText(line);
    else
        lstMusic->addItem(line);
}

void TfrmTaskSet::LoadTaskMusic(bool flag)
{
    if (!flag)
        return;
    lstMusic->clear();
    // The key as the file holds it: a file written without leading zeros still finds its music.
    const QString key = m_givenStartTime.isEmpty() ? StartTime() : m_givenStartTime;
    const Task* task = taskInFile(m_data.timetable(), key);
    if (!task)
        return;
    for (const QString& musicKey : task->fields().Entry.MusicKeys)
        setMusicLine(musicKey, MusicDisplayName(libraryPath(m_data.LibraryList(), musicKey)));
}

void TfrmTaskSet::btnMusicAddClick()
{
    TfrmSelMusic sel(m_data.LibraryList(), this);
    if (SourceType == 1)
        sel.rbFile->setChecked(true);
    else
        sel.rbDirectory->setChecked(true);
    sel.exec();
    if (!sel.Accepted)
        return;

    const int kind = sel.SelectedKind;
    const QStringList& chosen = sel.SelectedMusic;
    if (lstMusic->count() > 0) {
        if (kind != SourceType) {
            WarningBox(tr("不能在同一时段添加同时添加音频文件和目录，如要更改类型，请先清空之前的数据。"));
            return;
        }
        if (SourceType == 2) {
            WarningBox(tr("不能在同一时段添加多个目录。"));
            return;
        }
    } else if (kind == 2 && chosen.size() > 1) {
        WarningBox(tr("不能在同一时段添加多个目录。"));
        return;
    }
    SourceType = kind;
    lstMusic->addItems(chosen);
}

void TfrmTaskSet::btnMusicDelClick()
{
    QListWidgetItem* item = lstMusic->currentItem();
    if (!item || !item->isSelected()) {
        boxes().show(this, tr("提示"), tr("请选择要删除的歌曲铃声！"),
                     BoxIcon::Information, BoxButtons::Ok);
        return;
    }
    delete lstMusic->takeItem(lstMusic->row(item));
}

void TfrmTaskSet::btnMusicClearClick()
{
    lstMusic->clear();
}

void TfrmTaskSet::cbbPlayDateChange()
{
    nbPlayDateParams->setCurrentIndex(cbbPlayDate->currentIndex());
}

bool TfrmTaskSet::confirmOverwrite()
{
    // Editing asks too when the start time moved onto another task: saving would replace it.
    const QString key = StartTime();
    if (DialogMode != AddMode && key == m_givenStartTime)
        return true;
    // A line without a value is no task.
    const Task* task = taskInFile(m_data.timetable(), key);
    if (!task || task->timeValue().isEmpty())
        return true;
    return ConfirmBox(tr("该时间段任务已存在，是否覆盖？"));
}

QString TfrmTaskSet::refusal()
{
    const auto refuse = [](QWidget* field, const QString& text) {
        field->setFocus();
        return text;
    };
    const QString cycle = edtCycle->text();
    if (cycle.isEmpty())
        return refuse(edtCycle, tr("循环次数不能为空"));
    if (!isWholeNumberText(cycle))
        return refuse(edtCycle, tr("循环次数必须为数字"));
    if (ToInteger(cycle) < 1)
        return refuse(edtCycle, tr("循环次数至少为 1：为 0 的任务到时什么也不播放"));
    const QString timeRule = tr("（时为 0 到 23，分和秒为 0 到 59，如 08:05:00）");
    const QTime start = dtpTime->time();
    if (!start.isValid())
        return refuse(dtpTime, tr("开始时间“%1”不是有效的时间").arg(dtpTime->text()) + timeRule);
    const QTime end = dtpEndTime->time();
    if (!end.isValid())
        return refuse(dtpEndTime, tr("结束时间“%1”不是有效的时间").arg(dtpEndTime->text()) + timeRule);
    if (end != QTime(0, 0) && end <= start)
        return refuse(dtpEndTime, tr("结束时间 %1 必须晚于开始时间 %2（00:00:00 表示不设结束时间）")
                                      .arg(FormatTimeText(end), FormatTimeText(start)));
    if (!edtPlayLength->time().isValid())
        return refuse(edtPlayLength, tr("播放时长“%1”无效：请按 时:分:秒 填写，最长 23:59:59")
                                         .arg(edtPlayLength->text()));
    if (lstMusic->count() == 0)
        return refuse(btnMusicAdd, tr("歌曲铃声不能为空"));
    if (DateType() == 1 && !placesText(chkPlayDateWeek).contains(u'1'))
        return refuse(chkPlayDateWeek[0], tr("请至少选择一个周工作日"));
    if (DateType() == 2 && !placesText(chkgWorkDayItems).contains(u'1'))
        return refuse(chkgWorkDayItems[0], tr("请至少选择一个月工作日"));
    if (DateType() == 3 && !dtpPlayDateFixedDate->date().isValid())
        return refuse(dtpPlayDateFixedDate,
                      tr("日期“%1”不存在：请按 年-月-日 填写，如 2026-09-01")
                          .arg(dtpPlayDateFixedDate->text()));
    return QString();
}

void TfrmTaskSet::btn1Click()
{
    const QString refused = refusal();
    if (!refused.isEmpty()) {
        ErrorBox(refused);
        return;
    }
    if (confirmOverwrite()) {
        m_leaving = true;
        CloseModal(mrOk);
    }
}

QStringList TfrmTaskSet::state() const
{
    QStringList s{dtpTime->text(),        edtCycle->text(),           dtpEndTime->text(),
                  edtPlayLength->text(),  cbbPlayMode->currentText(), cbbPlayDate->currentText(),
                  placesText(chkPlayDateWeek), placesText(chkgWorkDayItems),
                  dtpPlayDateFixedDate->text(), QString::number(chkRejectHoliday->isChecked()),
                  FormatTaskSound(sound()), QString::number(zones().all) + FormatTaskZones(zones())};
    return s + MusicLines();
}

bool TfrmTaskSet::Changed() const
{
    return state() != m_shownState;
}

bool TfrmTaskSet::mayDiscard()
{
    if (m_leaving || !Changed())
        return true;
    if (!ConfirmBox(tr("该任务已修改，确定放弃所做的修改么？")))
        return false;
    m_leaving = true;
    return true;
}

void TfrmTaskSet::showEvent(QShowEvent* event)
{
    TfmBaseFrm::showEvent(event);
    // What the command filled in is the editor's unchanged state.
    if (!event->spontaneous()) {
        m_shownState = state();
        m_leaving = false;
    }
}

void TfrmTaskSet::closeEvent(QCloseEvent* event)
{
    if (!mayDiscard()) {
        event->ignore();
        return;
    }
    TfmBaseFrm::closeEvent(event);
}
