// Unsaved changes kept through a crash: the offer and its answers, the
// recovery file's life, a write that fails, a file open in two windows,
// File > Recover unsaved work..., and an editor killed while editing.
#include "GuiTestFiles.h"
#include "ScriptedEdits.h"
#include "FullDisk.h"
#include "LockHolder.h"
#include "session/RecoveryKeeper.h"
#include "storage/RecoveryFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QUndoStack>
#include <chrono>
#include <random>
#include <thread>
#include <unistd.h>

using Answer = Prompter::Answer;

namespace {

constexpr std::int64_t kWhen = 1767268800; // when the recovery files the tests leave were written

std::string Canonical(std::string_view text)
{
    DialogFile file;
    file.ReadText(text);
    return file.WriteText();
}
const std::string kBase = Canonical("// [LABEL] Start\n{1}{Hello.}{Hello.}{}{}{}{}\n{2}{Bye.}{}{}{}{}{}\n");
const std::string kRecovered = Canonical("// [LABEL] Start\n{1}{Hello again.}{Hello.}{}{}{}{}\n{2}{Bye.}{}{}{}{}{}\n");

QString Folder() { return RecoveryKeeper::FolderPath(); }
int Left() { return QDir(Folder()).entryList({"*.recovery"}, QDir::Files).size(); }
QString When() { return QDateTime::fromSecsSinceEpoch(kWhen).toString("yyyy-MM-dd HH:mm"); }
QString Offer(const QString &name, bool changed = false)
{
    return "Recover unsaved changes|\"" + name + "\" has unsaved changes from " + When() + " that were not saved."
        + (changed ? "\n\nThe file on disk has been changed since then: saving the restored changes would replace that version.\n\n"
                   : " ")
        + "Restore them?";
}

} // namespace

class TestRecovery : public GuiTest {
    Q_OBJECT

    // Leaves a recovery file as an editor that crashed would have.
    void Leave(const std::string &path, bool untitled, const std::string &bytes, const DiskStamp &base = {})
    {
        RecoveryRecord record;
        record.path = untitled ? path : RecoveryFolder::Absolute(path);
        record.untitled = untitled;
        record.base = base;
        record.writtenAt = kWhen;
        record.bytes = bytes;
        std::string error;
        const std::string slot = untitled ? RecoveryFolder::SlotForUntitled() : RecoveryFolder::SlotForFile(record.path);
        QVERIFY2(RecoveryFolder(Sys(Folder())).Write(slot, record, FileOps::Default(), error), error.c_str());
    }
    void Edit(const std::string &description) { m_dialog->Session().ChangePageInfo(*Page(), "Start", description); }
    RecoveryKeeper &Keeper() { return m_dialog->Recovery(); }
    QString Kept() { return QFile::decodeName(QByteArray::fromStdString(Keeper().GetRecoveryPath())); }

private slots:
    void eachAnswerToTheOffer_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("changedOnDisk");
        QTest::addColumn<bool>("restored");
        QTest::newRow("restore") << QList<int>{Prompter::Yes} << false << true;
        QTest::newRow("discard") << QList<int>{Prompter::No} << false << false;
        QTest::newRow("show differences, then restore") << QList<int>{Prompter::Cancel, Prompter::Yes} << false << true;
        QTest::newRow("restore over a file changed since") << QList<int>{Prompter::Yes} << true << true;
    }
    void eachAnswerToTheOffer()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, changedOnDisk);
        QFETCH(bool, restored);
        const QString path = Write("inn.dlg", QByteArray::fromStdString(kBase));
        Leave(Sys(path), false, kRecovered, DiskStamp::Of(Sys(path)));
        if (changedOnDisk)
            Write("inn.dlg", QByteArray::fromStdString(kBase + "// theirs\r\n"));
        const QByteArray disk = Read(path);
        for (int answer : answers)
            m_prompter.answers << Answer(answer);
        QVERIFY(Start(path));

        QStringList asked{Offer(path, changedOnDisk)};
        if (answers.size() > 1)
            asked << "Differences|--- " + path + "\n+++ " + path + " (recovered)\n@@ -1,4 +1,4 @@\n // [LABEL] Start\r\n"
                     "-{1}{Hello.}{Hello.}{}{1}{}{}\r\n+{1}{Hello again.}{Hello.}{}{1}{}{}\r\n {2}{Bye.}{}{}{}{}{}\r\n \r\n"
                  << Offer(path);
        QCOMPARE(Asked(), asked);
        QCOMPARE(Doc()->WriteText(), restored ? kRecovered : disk.toStdString());
        QCOMPARE(Title().startsWith('*'), restored); // modified, though nothing can be undone
        QVERIFY(!m_dialog->Session().GetUndoStack().canUndo());
        QCOMPARE(Read(path), disk); // until the user saves
        QCOMPARE(Left(), restored ? 1 : 0); // a restored one is this window's now
        m_dialog.reset();
        QCOMPARE(Left(), 0); // the program's normal end
    }

    // The recovery file holds what a Save would write, and goes when the
    // document is saved, undone to what was saved, or discarded.
    void keptWhileUnsaved()
    {
        const QString path = Write("inn.dlg", QByteArray::fromStdString(kBase));
        QVERIFY(Start(path));
        QVERIFY(Keeper().KeepNow());
        QVERIFY(!QFile::exists(Kept())); // nothing unsaved to keep
        Edit("kept");
        QVERIFY(Keeper().KeepNow());
        RecoveryRecord record;
        QVERIFY(RecoveryRecord::Parse(Read(Kept()).toStdString(), record));
        QCOMPARE(record.path, RecoveryFolder::Absolute(Sys(path)));
        QVERIFY(!record.BaseChanged(DiskStamp::Of(Sys(path))));
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Read(path).toStdString(), record.bytes);
        QCOMPARE(Left(), 0);

        Edit("again");
        QVERIFY(Keeper().KeepNow());
        QCOMPARE(Left(), 1);
        m_dialog->Session().GetUndoStack().undo();
        QCOMPARE(Left(), 0);
        m_dialog->Session().GetUndoStack().redo();
        QVERIFY(Keeper().KeepNow());
        m_prompter.answers << Prompter::No; // discard the changes
        m_dialog->NewFile();
        QCOMPARE(Left(), 0);
        Asked();

        // Untitled documents are kept the same way; the window's end leaves nothing.
        Edit("untitled");
        QVERIFY(Keeper().KeepNow());
        QVERIFY(RecoveryRecord::Parse(Read(Kept()).toStdString(), record));
        QVERIFY(record.untitled);
        QCOMPARE(record.path, std::string("00001Untitled"));
        // A file opened over them is offered what a crash left of it.
        const QString other = Write("other.dlg", QByteArray::fromStdString(kBase));
        Leave(Sys(other), false, kRecovered, DiskStamp::Of(Sys(other)));
        m_prompter.answers << Prompter::No; // discard it
        QCOMPARE(m_dialog->LoadFile(Sys(other), "other.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(Asked(), QStringList{Offer("other.dlg")});
        QCOMPARE(Left(), 0);
        m_dialog.reset();
        QCOMPARE(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), QStringList()); // no file, no lock
    }

    void untitledWorkIsOfferedAtStartUp()
    {
        Leave("00004Untitled", true, kRecovered);
        m_prompter.pressEnter = true; // Restore is the default
        QVERIFY(Start());
        QCOMPARE(Asked(), QStringList{Offer("00004Untitled")});
        QCOMPARE(Doc()->WriteText(), kRecovered);
        QCOMPARE(Title(), QStringLiteral("*00001Untitled - Quorvel Dialog Editor"));
    }

    // Through the file-operations seam: told once on the status line, and
    // editing goes on.
    void aRecoveryFileThatCannotBeWritten()
    {
        const QString path = Write("inn.dlg", QByteArray::fromStdString(kBase));
        QVERIFY(Start(path));
        FullDisk full;
        Keeper().SetFileOps(full);
        Edit("one");
        Keeper().KeepInBackground(); // as the timer does
        QTRY_COMPARE(m_dialog->GetStatusLine().GetMessage(),
                     ("Unsaved changes to \"" + path + "\" cannot be kept for recovery in " + Folder() + ": No space left on device").toStdString());
        QVERIFY(!Keeper().KeepNow());
        m_dialog->SetStatusMessage("typing on");
        Edit("two");
        QVERIFY(!Keeper().KeepNow());
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("typing on"));
        QCOMPARE(Page()->GetDescription(), std::string("two"));
        Keeper().SetFileOps(FileOps::Default());
        QVERIFY(Keeper().KeepNow());
        QCOMPARE(Left(), 1);
        QCOMPARE(Asked(), QStringList());
    }

    void aFileOpenInAnotherWindow()
    {
        const QString path = Write("inn.dlg", QByteArray::fromStdString(kBase));
        const std::string slot = RecoveryFolder::SlotForFile(RecoveryFolder::Absolute(Sys(path)));
        QVERIFY(QDir().mkpath(Folder()));
        const QString lock = Folder() + "/" + QString::fromStdString(slot) + ".lock";
        const LockHolder holder(Sys(lock));
        const QByteArray other = QByteArray::number(holder.Pid()) + "\n";
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList{"talkwright|\"" + path + "\" is open in another Talkwright window (process "
                                      + QString::number(holder.Pid()) + "). Whichever window saves it last replaces what the other saved."});
        Edit("mine");
        QVERIFY(Keeper().KeepNow());
        QVERIFY(Kept().endsWith(QString::fromStdString(slot) + "-" + QString::number(getpid()) + ".recovery"));
        m_dialog.reset();
        QCOMPARE(Read(lock), other);
    }

    // A recovery file cut short is offered for what it holds, said to be
    // incomplete and listed so; one that cannot be restored stays as it is,
    // this window's changes kept beside it.
    void aRecoveryFileCutShort()
    {
        const QString path = Write("inn.dlg", QByteArray::fromStdString(kBase)), gone = Path("gone.dlg");
        const auto kept = [](const QString &file) {
            return Folder() + "/" + QString::fromStdString(RecoveryFolder::SlotForFile(RecoveryFolder::Absolute(Sys(file))));
        };
        Leave(Sys(path), false, kRecovered, DiskStamp::Of(Sys(path)));
        Leave(Sys(gone), false, kRecovered);
        for (const QString &file : {path, gone})
            QVERIFY(QFile::resize(kept(file) + ".recovery", QFileInfo(kept(file) + ".recovery").size() - 10));
        m_prompter.answers << Prompter::Yes;
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList{"Recover unsaved changes|\"" + path + "\" has unsaved changes from " + When()
                                      + " that were not saved.\n\nThe recovery file is incomplete: its last 10 bytes are missing, so "
                                        "only what comes before them can be restored.\n\nRestore them?"});
        QCOMPARE(Doc()->WriteText(), Canonical(kRecovered.substr(0, kRecovered.size() - 10)));
        WhenModal([&](QWidget *dialog) {
            QCOMPARE(In<QListWidget>(dialog, "recoveryList")->item(0)->text(), gone + " - " + When() + " (the file no longer exists) (incomplete)");
            Click(dialog, "closeButton");
        });
        Find<QAction>("actionRecover")->trigger();
        QCOMPARE(Left(), 2);

        const QString other = Write("other.dlg", QByteArray::fromStdString(kBase));
        Leave(Sys(other), false, "{1}{A PC option first}{}{}{}{}{}\r\n", DiskStamp::Of(Sys(other)));
        const QByteArray unreadable = Read(kept(other) + ".recovery");
        m_prompter.answers << Prompter::Yes; // restore, which cannot be done
        QCOMPARE(m_dialog->LoadFile(Sys(other), "other.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(Asked().size(), 2);
        Edit("mine");
        QVERIFY(Keeper().KeepNow());
        QCOMPARE(Kept(), kept(other) + "-" + QString::number(getpid()) + ".recovery");
        QCOMPARE(Read(kept(other) + ".recovery"), unreadable);
    }

    void recoverWorkOfAFileDeletedSince()
    {
        const QString path = Path("gone.dlg");
        Leave(Sys(path), false, kRecovered);
        QVERIFY(Start());
        WhenModal([](QWidget *dialog) {
            auto *list = In<QListWidget>(dialog, "recoveryList");
            QCOMPARE(list->count(), 1);
            Click(dialog, "restoreButton");
        });
        m_prompter.answers << Prompter::No; // the new document started with
        Find<QAction>("actionRecover")->trigger();
        QCOMPARE(m_dialogsRun, 1);
        QCOMPARE(Title(), "*" + path + " - Quorvel Dialog Editor");
        QCOMPARE(Doc()->WriteText(), kRecovered);
        QCOMPARE(Left(), 1);
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Read(path).toStdString(), kRecovered);
        Asked();
    }

    // The editor is killed (SIGKILL) at random moments while it makes the
    // scripted edits. Each time, what comes back when the file is opened
    // (the offer's Restore, or the file when nothing is offered) is the
    // document as it was at most two seconds before the kill, and the file
    // is what was last saved. The file is saved once, early: later edits are
    // only in the recovery file, so a keeper that wrote nothing would fail
    // every round killed more than two seconds after that save.
    void killedWhileEditing()
    {
        using Clock = std::chrono::steady_clock;
        constexpr int kRounds = 50;
        constexpr int kAtOnce = 10; // editors running at a time, each on its own file
        std::vector<std::string> states; // after each edit, as a Save writes it
        {
            EditingSession session;
            auto document = std::make_unique<DialogFile>();
            document->ReadText(kBase);
            session.SetDocument(std::move(document), false);
            states.push_back(session.GetDocument()->WriteText());
            for (int n = 1; n < 400; ++n) {
                ApplyScriptedEdit(session, n);
                states.push_back(session.GetDocument()->WriteText());
            }
        }
        struct Round {
            QString file;
            QString report;
            std::unique_ptr<QProcess> editor; // killed with the test, however it ends
            Clock::duration after{};
            Clock::time_point ready{};
        };
        QVERIFY(Start()); // the window that opens each file after its editor is killed
        std::mt19937 random(20250612);
        const Clock::time_point begun = Clock::now();
        std::vector<Round> running;
        int started = 0;
        int longest = 0;
        while (started < kRounds || !running.empty()) {
            for (; started < kRounds && running.size() < size_t(kAtOnce); ++started) {
                Round &round = running.emplace_back();
                round.file = Write(QString("round%1.dlg").arg(started), QByteArray::fromStdString(kBase));
                round.report = Path(QString("round%1.log").arg(started));
                round.after = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 2800)(random));
                round.editor = std::make_unique<QProcess>();
                round.editor->setProcessChannelMode(QProcess::ForwardedChannels);
                round.editor->start(TALKWRIGHT_RECOVERY_DRIVER, {QCoreApplication::organizationName(),
                                                                 QCoreApplication::applicationName(), round.file, round.report});
                QVERIFY(round.editor->waitForStarted());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            QVERIFY2(Clock::now() - begun < std::chrono::minutes(3), "the editors never got ready");
            // Each is killed its own while after it is ready.
            for (auto round = running.begin(); round != running.end();) {
                if (round->ready == Clock::time_point{} && QFileInfo(round->report).size() > 0)
                    round->ready = Clock::now();
                if (round->ready == Clock::time_point{} || Clock::now() < round->ready + round->after) {
                    ++round;
                    continue;
                }
                const Clock::time_point killed = Clock::now();
                round->editor->kill(); // SIGKILL
                QVERIFY(round->editor->waitForFinished());
                QVERIFY2(round->editor->exitStatus() == QProcess::CrashExit, "the editor ended before it was killed");
                longest = std::max(longest, CheckRound(round->file, round->report, killed, states));
                if (QTest::currentTestFailed())
                    return;
                round = running.erase(round);
            }
        }
        qInfo("%d rounds in %.1f s; the longest ran to edit %d", kRounds,
              std::chrono::duration<double>(Clock::now() - begun).count(), longest);
    }

private:
    // Returns the last edit the killed editor made.
    int CheckRound(const QString &file, const QString &report, std::chrono::steady_clock::time_point killed,
                   const std::vector<std::string> &states)
    {
        std::vector<std::chrono::steady_clock::time_point> editedAt(1);
        int saved = 0;
        for (const QByteArray &line : Read(report).split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() != 3)
                continue;
            const std::chrono::steady_clock::time_point at{std::chrono::nanoseconds(fields[0].toLongLong())};
            if (fields[1] == "edit")
                editedAt.push_back(at);
            else if (fields[1] == "saved")
                saved = fields[2].toInt();
            else if (fields[1] == "asked")
                QTest::qFail("the editor asked a question", __FILE__, __LINE__);
        }
        const int last = int(editedAt.size()) - 1;
        if (last >= int(states.size())) {
            QTest::qFail("the script ran further than the states the test made", __FILE__, __LINE__);
            return last;
        }
        // The state the document had two seconds before the kill, and every later one.
        int earliest = 0;
        while (earliest < last && editedAt[size_t(earliest) + 1] <= killed - std::chrono::seconds(2))
            ++earliest;

        m_prompter.pressEnter = true; // Restore
        const bool read = m_dialog->LoadFile(Sys(file), file) == CMainDialog::LoadAnswer::Read;
        m_prompter.pressEnter = false;
        const QStringList asked = Asked();
        if (!read) {
            QTest::qFail(qPrintable(file + " cannot be read: " + asked.join(" / ")), __FILE__, __LINE__);
            return last;
        }
        const std::string back = Doc()->WriteText();
        const std::string disk = Read(file).toStdString();

        const auto came = std::find(states.begin() + earliest, states.begin() + last + 1, back);
        const QString where = QString("%1 (killed %2 ms after edit %3, asked %4)")
                                  .arg(file)
                                  .arg(std::chrono::duration_cast<std::chrono::milliseconds>(killed - editedAt[size_t(last)]).count())
                                  .arg(last)
                                  .arg(asked.join(" / "));
        if (came == states.begin() + last + 1)
            QTest::qFail(qPrintable("what came back is none of edits " + QString::number(earliest) + " to " + QString::number(last)
                                    + " of " + where),
                         __FILE__, __LINE__);
        else if (asked.size() > 1 || (asked.size() == 1 && !asked[0].startsWith("Recover unsaved changes|")))
            QTest::qFail(qPrintable("unexpected questions: " + where), __FILE__, __LINE__);
        // A kill during the save leaves the old file or the new.
        else if (disk != states[size_t(saved)] && !(saved == 0 && last >= kScriptedSave && disk == states[kScriptedSave]))
            QTest::qFail(qPrintable("the file is not what was last saved: " + where), __FILE__, __LINE__);
        return last;
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
