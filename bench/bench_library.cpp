// Loading the music library page from an enciphered library of 100, 1,000 and 10,000 entries,
// each naming a real file. Goal: 1,000 entries in under 0.3 s, growth no faster than linear.
#include "bench/BenchMain.h"
#include "library/MusicLibraryPage.h"
#include "library/UntEnDescrypt.h"
#include "platform/AppDirectory.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/Dialogs.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

class NoBoxes : public IMessageBoxes {
public:
    BoxAnswer show(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) override
    {
        return BoxAnswer::Ok;
    }
};

void BM_LoadEncipheredLibrary(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    SetApplicationDirectoryOverride(dir.path());
    QDir(dir.path()).mkpath("music");
    TEnDescrypt cipher(TaskFilePath());
    QByteArray text = "[Music]\r\n";
    for (int i = 1; i <= entries; ++i) {
        const QString path = dir.path() + QStringLiteral("/music/第%1节铃声.mp3").arg(i);
        QFile(path).open(QIODevice::WriteOnly);
        text += QByteArray::number(i) + "=" + cipher.Encipher(path).toLatin1() + "\r\n";
    }
    QFile file(TaskFilePath());
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();

    NoBoxes boxes;
    QtDialogs dialogs;
    HandlerGuard guard(boxes, [] { return QString(); });
    ProgramData data;
    MusicLibraryPage page(data, dialogs, boxes, guard);
    page.chkEnCodeLib->setChecked(true);
    for (auto _ : state) {
        page.LoadMusicLibrary();
        benchmark::DoNotOptimize(page.lvMusic->topLevelItemCount());
    }
    if (page.lvMusic->topLevelItemCount() != entries || data.LibraryList().size() != entries)
        state.SkipWithError("the page does not show every entry");
    state.SetComplexityN(entries);
    SetApplicationDirectoryOverride(QString());
}

} // namespace

BENCHMARK(BM_LoadEncipheredLibrary)
    ->Arg(100)->Arg(1000)->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

TAVURO_BENCHMARK_MAIN();
