// Unsaved changes kept through a crash: the offer and its answers, the
// recovery file's life, a write that fails, a file open in two windows,
// and File > Recover unsaved work....
#include "GuiTestFiles.h"
#include "tests/FullDisk.h"
#include "app/RecoveryKeeper.h"
#include "model/RecoveryFolder.h"

#include <QDateTime>
#include <QDir>
#include <QListWidget>
#include <QUndoStack>
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

        // Untitled documents are kept the same way; the window's end leaves nothing.
        Edit("untitled");
        QVERIFY(Keeper().KeepNow());
        QVERIFY(RecoveryRecord::Parse(Read(Kept()).toStdString(), record));
        QVERIFY(record.untitled);
        QCOMPARE(record.path, std::string("00001Untitled"));
        m_dialog.reset();
        QCOMPARE(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), QStringList()); // no file, no lock
        Asked();
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
        QVERIFY(!Keeper().KeepNow());
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(),
                 ("Unsaved changes to \"" + path + "\" cannot be kept for recovery in " + Folder() + ": No space left on device").toStdString());
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
        const QByteArray other = QByteArray::number(getppid()) + "\n"; // alive, and not this process
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(other) == other.size());
        file.close();
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList{"talkwright|\"" + path + "\" is open in another Talkwright window (process "
                                      + QString::number(getppid()) + "). Whichever window saves it last replaces what the other saved."});
        Edit("mine");
        QVERIFY(Keeper().KeepNow());
        QVERIFY(Kept().endsWith(QString::fromStdString(slot) + "-" + QString::number(getpid()) + ".recovery"));
        m_dialog.reset();
        QCOMPARE(Read(lock), other);
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
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
