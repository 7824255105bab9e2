// SPDX-License-Identifier: MIT
// File → Open Recent: the list's order, limit and doubles, its menu texts,
// and the editor opening, dropping and keeping its entries.
#include "app/app_settings.h"
#include "app/recent_files.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"
#include "test_pictures.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

TEST(RecentFileList, NewestFirstEachOnceAtMostEight)
{
    CRecentFiles recent;
    for (int i = 0; i < 10; ++i)
        recent.Add(QStringLiteral("/pictures/%1.png").arg(i));
    ASSERT_EQ(recent.Paths().size(), CRecentFiles::MaxFiles);
    EXPECT_EQ(recent.Paths().front(), QStringLiteral("/pictures/9.png"));
    EXPECT_EQ(recent.Paths().back(), QStringLiteral("/pictures/2.png"));

    // The same file under another spelling moves up instead of coming twice.
    recent.Add(QStringLiteral("/pictures/../pictures/./5.png"));
    EXPECT_EQ(recent.Paths().size(), CRecentFiles::MaxFiles);
    EXPECT_EQ(recent.Paths().front(), QStringLiteral("/pictures/5.png"));
    EXPECT_EQ(recent.Paths().count(QStringLiteral("/pictures/5.png")), 1);
    EXPECT_EQ(recent.Paths()[1], QStringLiteral("/pictures/9.png"));

    recent.Remove(QStringLiteral("/pictures//9.png"));
    EXPECT_FALSE(recent.Paths().contains(QStringLiteral("/pictures/9.png")));
    recent.Add(QString());
    EXPECT_FALSE(recent.Paths().contains(QString()));
}

TEST(RecentFileList, StoredListLosesDoublesBlanksAndTheSurplus)
{
    CRecentFiles recent;
    QStringList stored = {QStringLiteral("/a.png"), QString(), QStringLiteral("/x/../a.png"), QStringLiteral("/b.png")};
    for (int i = 0; i < 10; ++i)
        stored.push_back(QStringLiteral("/more/%1.png").arg(i));
    recent.SetPaths(stored);
    ASSERT_EQ(recent.Paths().size(), CRecentFiles::MaxFiles);
    EXPECT_EQ(recent.Paths()[0], QStringLiteral("/a.png"));
    EXPECT_EQ(recent.Paths()[1], QStringLiteral("/b.png"));
    EXPECT_EQ(recent.Paths()[2], QStringLiteral("/more/0.png"));
}

TEST(RecentFileList, MenuTextsNumberNamesAndTellTwinsApart)
{
    const QStringList texts = RecentMenuTexts({QStringLiteral("/holiday/beach.jpg"), QStringLiteral("/work/beach.jpg"),
                                               QStringLiteral("/a/Tom & Jerry.png")});
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QStringLiteral("&1 beach.jpg  (%1)").arg(QDir::toNativeSeparators(QStringLiteral("/holiday"))));
    EXPECT_EQ(texts[1], QStringLiteral("&2 beach.jpg  (%1)").arg(QDir::toNativeSeparators(QStringLiteral("/work"))));
    EXPECT_EQ(texts[2], QStringLiteral("&3 Tom && Jerry.png"));

    // A long folder keeps its ends and stays short.
    const QString deep = QStringLiteral("/home/someone/Pictures/2026/summer/day three/edited/again");
    const QStringList twins = RecentMenuTexts({deep + QStringLiteral("/x.png"), QStringLiteral("/x.png")});
    EXPECT_LT(twins[0].size(), 60);
    EXPECT_TRUE(twins[0].contains(QStringLiteral("/home/someone")));
    EXPECT_TRUE(twins[0].contains(QStringLiteral("edited/again)")));
}

class OpenRecent : public EditorTest {
protected:
    QString Picture(const QString& name)
    {
        const int grey[4] = {90, 100, 110, 0};
        return SavePicture(MakeBitmap(40, 30, 24, grey).get(), PathOf(name));
    }
    QAction* Entry(int index) const
    {
        return dialog->findChild<QAction*>(QString::number(ID_FILE_RECENT_FIRST + index));
    }
    QStringList EntryTexts() const
    {
        QStringList texts;
        for (int i = 0; Entry(i) != nullptr; ++i)
            texts.push_back(Entry(i)->text());
        return texts;
    }
    QMenu* RecentMenu() const
    {
        for (QMenu* menu : dialog->findChildren<QMenu*>())
            if (menu->title() == QStringLiteral("Open &Recent"))
                return menu;
        return nullptr;
    }
    // The picture as the user changed it and has not saved.
    void ChangePicture()
    {
        Canvas().MarkChanged();
        ASSERT_TRUE(Canvas().IsModified());
    }
};

TEST_F(OpenRecent, OpenedAndSavedPicturesAreListedAndKeptForTheNextStart)
{
    const QString a = Picture(QStringLiteral("a.png"));
    const QString b = Picture(QStringLiteral("b.png"));
    StartDialog();
    EXPECT_EQ(Entry(0), nullptr);
    Open(a);
    Open(b);
    Open(a);
    EXPECT_EQ(dialog->RecentFiles(), (QStringList{a, b}));
    EXPECT_EQ(EntryTexts(), (QStringList{QStringLiteral("&1 a.png"), QStringLiteral("&2 b.png")}));
    EXPECT_EQ(Entry(1)->toolTip(), QDir::toNativeSeparators(b));
    ASSERT_NE(RecentMenu(), nullptr);
    EXPECT_TRUE(RecentMenu()->isEnabled());

    saveAnswer = PathOf(QStringLiteral("result.png"));
    ASSERT_TRUE(dialog->SaveImage());
    const QString saved = PathOf(QStringLiteral("result.tif"));
    EXPECT_EQ(dialog->RecentFiles(), (QStringList{saved, a, b}));
    EXPECT_FALSE(StoredSetting(RecentFilesKey).isValid()) << "written when the window closes";
    dialog->close();
    EXPECT_EQ(StoredSetting(RecentFilesKey).toStringList(), (QStringList{saved, a, b}));

    StartDialog();
    EXPECT_EQ(EntryTexts(), (QStringList{QStringLiteral("&1 result.tif"), QStringLiteral("&2 a.png"),
                                         QStringLiteral("&3 b.png")}));
    Entry(2)->trigger();
    EXPECT_EQ(Canvas().OpenedFileName(), b);
    EXPECT_EQ(dialog->RecentFiles().front(), b);
}

TEST_F(OpenRecent, GoneFileIsReportedAndLeavesTheListAndThePicture)
{
    const QString a = Picture(QStringLiteral("a.png"));
    const QString gone = PathOf(QStringLiteral("gone.png"));
    CAppSettings().WriteRecentFiles({gone, a});
    StartDialog();
    Open(a);
    ChangePicture();
    ASSERT_EQ(dialog->RecentFiles(), (QStringList{a, gone}));
    Entry(1)->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QDir::toNativeSeparators(gone) + QStringLiteral(" no longer exists")));
    EXPECT_TRUE(saveQuestions.isEmpty()) << "nothing to ask about when nothing will be opened";
    EXPECT_EQ(dialog->RecentFiles(), QStringList{a});
    EXPECT_EQ(EntryTexts(), QStringList{QStringLiteral("&1 a.png")});
    EXPECT_EQ(Canvas().OpenedFileName(), a);
    EXPECT_TRUE(Canvas().IsModified());
}

TEST_F(OpenRecent, UnsavedChangesAreAskedAboutFirst)
{
    const QString a = Picture(QStringLiteral("a.png"));
    const QString b = Picture(QStringLiteral("b.png"));
    StartDialog();
    Open(b);
    Open(a);
    ChangePicture();
    saveChoice = SaveAnswer::Cancel;
    Entry(1)->trigger();
    EXPECT_EQ(saveQuestions, QStringList{QStringLiteral("Save changes to a.png before closing?")});
    EXPECT_EQ(Canvas().OpenedFileName(), a);
    EXPECT_TRUE(Canvas().IsModified());
    EXPECT_EQ(dialog->RecentFiles(), (QStringList{a, b}));

    saveChoice = SaveAnswer::Discard;
    Entry(1)->trigger();
    EXPECT_EQ(Canvas().OpenedFileName(), b);
    EXPECT_FALSE(Canvas().IsModified());
    EXPECT_EQ(dialog->RecentFiles(), (QStringList{b, a}));
}

TEST_F(OpenRecent, ClearEmptiesTheListForGood)
{
    StartDialog();
    Open(Picture(QStringLiteral("a.png")));
    dialog->findChild<QAction*>(QString::number(ID_FILE_RECENT_CLEAR))->trigger();
    EXPECT_TRUE(dialog->RecentFiles().isEmpty());
    EXPECT_EQ(Entry(0), nullptr);
    ASSERT_NE(RecentMenu(), nullptr);
    EXPECT_FALSE(RecentMenu()->isEnabled());
    dialog->close();
    StartDialog();
    EXPECT_TRUE(dialog->RecentFiles().isEmpty());
}

} // namespace
