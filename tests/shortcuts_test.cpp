// SPDX-License-Identifier: MIT
// The keyboard shortcuts, the help command and the About box.
#include "app/about_dialog.h"
#include "app/credits.h"
#include "app/open_help.h"
#include "controls/desktop_services.h"
#include "controls/hyperlink.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"
#include "editor_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

class Shortcuts : public EditorTest {
protected:
    void TearDown() override
    {
        SetDesktopOpenHook({});
        EditorTest::TearDown();
    }

    // Keys go where the user's keys go: to the control with the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : dialog.get(), key, modifiers);
    }
    void BrushSliderTo(QAbstractSlider::SliderAction action)
    {
        Find<QSlider>(1033)->triggerAction(action);
    }
};

TEST_F(Shortcuts, ZAndXStepTheBrushAndStopAtTheEnds)
{
    StartDialog();
    Press(Qt::Key_Z);
    EXPECT_EQ(Canvas().BrushSize(), 9);
    EXPECT_EQ(Text(1034), QStringLiteral("9 px"));
    Press(Qt::Key_X);
    Press(Qt::Key_X);
    EXPECT_EQ(Find<QSlider>(1033)->value(), 11);
    EXPECT_EQ(Canvas().BrushSize(), 11);

    BrushSliderTo(QAbstractSlider::SliderToMinimum);
    Press(Qt::Key_Z);
    EXPECT_EQ(Find<QSlider>(1033)->value(), 1);
    EXPECT_EQ(Canvas().BrushSize(), 1);
    EXPECT_EQ(Text(1034), QStringLiteral("1 px"));

    BrushSliderTo(QAbstractSlider::SliderToMaximum);
    Press(Qt::Key_X);
    EXPECT_EQ(Find<QSlider>(1033)->value(), 100);
    EXPECT_EQ(Canvas().BrushSize(), 100);
    EXPECT_EQ(Text(1034), QStringLiteral("100 px"));
}

TEST_F(Shortcuts, HeldKeyRepeatsTheStep)
{
    StartDialog();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get();
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"), true);
        QApplication::sendEvent(target, &press);
    }
    EXPECT_EQ(Canvas().BrushSize(), 7);
}

// Counts the keys a control receives.
class KeyCounter : public QObject {
public:
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::KeyPress ? 1 : 0;
        return false;
    }
};

TEST_F(Shortcuts, ShortcutsWorkWhicheverControlHasTheFocusAndTheKeyStillReachesIt)
{
    StartDialog();
    auto* patch = Find<QSlider>(1038);
    KeyCounter counter;
    patch->installEventFilter(&counter);
    patch->setFocus();
    Press(Qt::Key_X);
    EXPECT_EQ(Canvas().BrushSize(), 11);
    EXPECT_EQ(dialog->PatchSize(), 32);
    EXPECT_EQ(counter.presses, 1);
}

TEST_F(Shortcuts, CreditsNeedShift)
{
    StartDialog();
    Press(Qt::Key_V);
    Press(Qt::Key_S);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Canvas().BrushSize(), 10);
    Press(Qt::Key_V, Qt::ShiftModifier);
    Press(Qt::Key_S, Qt::ShiftModifier);
    EXPECT_EQ(messages, (QStringList{AuthorsCreditText(), LibraryCreditText()}));
}

TEST(HelpFile, LiesInTheHelpFolderBesideTheExecutable)
{
    EXPECT_EQ(HelpFilePath(QStringLiteral("D:/Tools")), QStringLiteral("D:/Tools/help/help.htm"));
    EXPECT_EQ(HelpFilePath(QStringLiteral("/opt/quenlo/bin")), QStringLiteral("/opt/quenlo/bin/help/help.htm"));
    // The build copies the pages beside the executables.
    EXPECT_TRUE(QFileInfo::exists(HelpFilePath(QCoreApplication::applicationDirPath())));
}

TEST(HelpFile, InstalledEditorFindsItInTheSharedDataFolder)
{
    QTemporaryDir prefix;
    const QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/quenlo/help")));
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString shared = root.filePath(QStringLiteral("share/quenlo/help/help.htm"));
    // Without any copy, the name beside the executable is the one reported missing.
    EXPECT_EQ(FindHelpFile(bin), HelpFilePath(bin));
    ASSERT_TRUE(QFile(shared).open(QIODevice::WriteOnly));
    EXPECT_EQ(FindHelpFile(bin), shared);
    // A copy beside the executable, as in the build tree, comes first.
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin/help")));
    ASSERT_TRUE(QFile(HelpFilePath(bin)).open(QIODevice::WriteOnly));
    EXPECT_EQ(FindHelpFile(bin), HelpFilePath(bin));
}

TEST_F(Shortcuts, ReadHelpOpensTheFileOrSaysItCouldNot)
{
    StartDialog();
    QStringList opened;
    bool answer = true;
    SetDesktopOpenHook([&](const QUrl& url) {
        opened.push_back(url.toLocalFile());
        return answer;
    });
    dialog->OpenHelp();
    EXPECT_EQ(opened, QStringList{HelpFilePath(QCoreApplication::applicationDirPath())});
    EXPECT_TRUE(messages.isEmpty());
    answer = false;
    dialog->OpenHelp();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Coldn't open browser!\n\n") + opened.front()});
}

TEST(AboutBox, LinksMailTheAuthorsAndOpenTheWebSite)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tessaro"));
    EXPECT_EQ(about.m_lnkAuthor1->LinkTarget(), QStringLiteral("mailto:") + QLatin1String(FirstAuthor.mail));
    EXPECT_EQ(about.m_lnkAuthor2->LinkTarget(), QStringLiteral("mailto:") + QLatin1String(SecondAuthor.mail));
    EXPECT_EQ(about.m_lnkWebSite->LinkTarget(), QLatin1String(WebAddress));
    EXPECT_EQ(about.m_lnkAuthor1->objectName(), QStringLiteral("1045"));
    // The second name follows "and", which follows the first.
    EXPECT_LT(about.m_lnkAuthor1->geometry().right(), about.m_lnkAuthor2->x());
}

} // namespace

namespace {

const QString TablePicture = QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png");

TEST_F(Shortcuts, EachCommandKeyRunsItsCommand)
{
    StartDialog();
    int openDialogs = 0;
    SetFileDialogHook([&](FileDialogKind kind, const QString&, const QString&, const QString&) {
        if (kind == FileDialogKind::Open) {
            ++openDialogs;
            return openAnswer;
        }
        ++saveDialogs;
        return saveAnswer;
    });
    openAnswer = TablePicture;
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(openDialogs, 1);
    ASSERT_TRUE(Canvas().HasPicture());

    Stroke({40, 40}, {70, 52});
    Click(1042);
    ASSERT_TRUE(Canvas().History().CanUndo());
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Canvas().History().CanRedo());
    EXPECT_EQ(Canvas().BrushSize(), 10) << "Ctrl+Z is no brush step";
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(Canvas().History().CanRedo());
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(Canvas().History().CanRedo());

    saveAnswer = QString();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs, 1);

    Press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(Canvas().GetZoom(), 1.0);
    // Every zoom-in key steps up, the zoom-out key back to where it was.
    Press(Qt::Key_Plus);
    const double first = Canvas().GetZoom();
    EXPECT_GT(first, 1.0);
    Press(Qt::Key_Equal);
    const double second = Canvas().GetZoom();
    EXPECT_GT(second, first);
    Press(Qt::Key_Plus);
    Press(Qt::Key_Minus);
    EXPECT_EQ(Canvas().GetZoom(), second);
    EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom()));
    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(Canvas().IsFitMode());

    Press(Qt::Key_E);
    EXPECT_EQ(Canvas().CurrentTool(), ToolEraser);
    Press(Qt::Key_O);
    EXPECT_EQ(Canvas().CurrentTool(), ToolSourceOutline);
    Press(Qt::Key_G);
    EXPECT_EQ(Canvas().CurrentTool(), ToolGuide);
    EXPECT_TRUE(Find<QAbstractButton>(1061)->isChecked());
    Press(Qt::Key_B);
    EXPECT_EQ(Canvas().CurrentTool(), ToolHoleBrush);
    Press(Qt::Key_BracketLeft);
    EXPECT_EQ(Canvas().BrushSize(), 9);
    Press(Qt::Key_BracketRight);
    Press(Qt::Key_BracketRight);
    EXPECT_EQ(Canvas().BrushSize(), 11);
    EXPECT_EQ(Text(1034), QStringLiteral("11 px"));
    EXPECT_TRUE(Find<QWidget>(1024)->toolTip().contains(QStringLiteral("(B)")));
    EXPECT_EQ(Find<QWidget>(1061)->toolTip(), QStringLiteral("Guide pencil (G)"));

    QUrl opened;
    SetDesktopOpenHook([&](const QUrl& url) {
        opened = url;
        return true;
    });
    Press(Qt::Key_F1);
    EXPECT_TRUE(opened.toLocalFile().endsWith(QStringLiteral("help/help.htm"))) << opened.toString().toStdString();

    // Quitting goes through the question about unsaved changes.
    SetSaveQuestionHook([](const QString&) { return SaveAnswer::Cancel; });
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(dialog->isVisible());
    SetSaveQuestionHook([](const QString&) { return SaveAnswer::Discard; });
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(dialog->isVisible());
    SetSaveQuestionHook({});
}

} // namespace
