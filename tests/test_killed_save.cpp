// A save killed at a random moment, as a crash or a power cut would end it: the file is then
// the old one byte for byte or the new one whole, never a mix or a cut, and the next save of
// it leaves nothing else behind. The program saving is tests/killed_save/save_list.cpp.
//
// VELMORA_KILLED_SAVES (rounds) and VELMORA_KILLED_SAVE_MB (the largest table, in MB) make the
// run longer; scripts/killed_saves.sh runs 200 rounds of 1 to 100 MB.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr double kBytesPerRow = 23.0; // a 20-unit column, its tab and CR LF

int fromEnvironment(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// One run of the saving program, started and left running once it has begun the save.
class Save
{
public:
    Save(const QString& target, int rows, int seed)
    {
        m_process.setProgram(QString::fromUtf8(VELMORA_SAVE_LIST));
        m_process.setArguments({target, QString::number(rows), QString::number(seed)});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(10'000);
        // Trimmed: Windows' C library ends a text line on stdout with CR LF.
        if (m_process.readLine().trimmed() != "saving")
            qFatal("the saving program did not start its save");
        m_saving.start();
    }
    qint64 savingMs() const { return m_saving.elapsed(); }
    bool finishWhole()
    {
        return m_process.waitForFinished(600'000) && m_process.exitCode() == 0 &&
               m_process.readAll().trimmed() == "saved";
    }
    void kill()
    {
        m_process.kill(); // SIGKILL, or TerminateProcess on Windows: no chance to tidy up
        m_process.waitForFinished(60'000);
    }

private:
    QProcess m_process;
    QElapsedTimer m_saving;
};

} // namespace

class KilledSaveTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedSaveLeavesTheOldFileOrTheNewOne();
};

void KilledSaveTest::killedSaveLeavesTheOldFileOrTheNewOne()
{
    const int rounds = fromEnvironment("VELMORA_KILLED_SAVES", 12);
    const int largestMB = fromEnvironment("VELMORA_KILLED_SAVE_MB", 4);
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkdir(u"saved"_s));
    const QString target = work.filePath(u"saved/results.txt"_s);
    const QByteArray oldFile = QByteArray("the file before the save\r\n").repeated(1000);

    // A few table sizes, each saved whole once to learn its bytes and how long its save takes.
    struct Table
    {
        int rows;
        int seed;
        QByteArray bytes;
        qint64 savingMs;
    };
    std::vector<Table> tables;
    for (int size : {1, (1 + largestMB) / 2, largestMB}) {
        Table table{static_cast<int>(size * 1e6 / kBytesPerRow), size, {}, 0};
        Save save(target, table.rows, table.seed);
        QVERIFY(save.finishWhole());
        table.savingMs = save.savingMs();
        table.bytes = contents(target);
        QVERIFY(table.bytes.size() > size * 900'000);
        tables.push_back(std::move(table));
    }

    std::mt19937 random(20261209);
    int old = 0, whole = 0, other = 0, leftovers = 0;
    for (int round = 0; round < rounds; ++round) {
        const Table& table = tables[random() % tables.size()];
        QFile::remove(target);
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oldFile) == oldFile.size());
        }
        Save save(target, table.rows, table.seed);
        const auto wait = static_cast<unsigned long>(random() % (table.savingMs * 6 / 5 + 1));
        QThread::msleep(wait);
        save.kill();

        const QByteArray after = contents(target);
        if (after == oldFile)
            ++old;
        else if (after == table.bytes)
            ++whole;
        else
            ++other;

        // The next save of the same file, run to its end, leaves only that file.
        Save next(target, table.rows, table.seed);
        QVERIFY(next.finishWhole());
        QCOMPARE(contents(target), table.bytes);
        const QStringList files =
            QDir(work.filePath(u"saved"_s)).entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (files != QStringList{u"results.txt"_s})
            ++leftovers;
        if ((round + 1) % 20 == 0)
            qInfo("%d rounds: old %d, new %d, other %d, leftovers %d", round + 1, old, whole, other,
                  leftovers);
    }
    qInfo("%d saves killed (tables of 1 to %d MB): the old file %d, the new file %d, anything "
          "else %d; folders with more than the file after the next save: %d",
          rounds, largestMB, old, whole, other, leftovers);
    QCOMPARE(other, 0);
    // Known fault on Windows: Qt names the save's temporary file there (on Linux it has no
    // name until the commit) and opens it without sharing deletion, so it cannot be marked
    // to go with a killed program, and stays beside the target. The fix is a Windows save
    // writer of our own; until then this shows as an expected failure, and passing would
    // be reported.
    if (QSysInfo::productType() == u"windows"_s)
        QEXPECT_FAIL("", "a killed save leaves its temporary file on Windows", Continue);
    QCOMPARE(leftovers, 0);
}

QTEST_GUILESS_MAIN(KilledSaveTest)
#include "test_killed_save.moc"
