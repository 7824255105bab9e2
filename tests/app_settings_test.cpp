// SPDX-License-Identifier: MIT
// The two settings across runs, and the snapshot folder cleaned at start.
#include "app/app_settings.h"
#include "app/snapshot_folder.h"
#include "editor_fixture.h"
#include "test_pictures.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

class AppSettings : public EditorTest {
protected:
    void Plant(int reload, const QString& lastFile)
    {
        CAppSettings settings;
        settings.WriteReloadLastFile(reload);
        settings.WriteLastFile(lastFile);
    }
    QString Picture(const QString& name)
    {
        const int grey[4] = {50, 60, 70, 0};
        return SavePicture(MakeBitmap(30, 20, 24, grey).get(), PathOf(name));
    }
    void Close()
    {
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
    }
};

TEST_F(AppSettings, FirstStartLoadsNothingAndClosingStoresTheClearBox)
{
    StartDialog();
    EXPECT_FALSE(Canvas().HasPicture());
    EXPECT_FALSE(Find<QCheckBox>(1023)->isChecked());
    EXPECT_FALSE(StoredSetting(ReloadLastFileKey).isValid()) << "nothing is written at start-up";
    Close();
    EXPECT_EQ(StoredSetting(ReloadLastFileKey).toInt(), 0);
    EXPECT_FALSE(StoredSetting(LastFileKey).isValid());
}

TEST_F(AppSettings, AnyNonZeroReloadOpensTheLastPictureAndIsStoredAsOne)
{
    const QString last = Picture(QStringLiteral("last.png"));
    Plant(7, last);
    StartDialog();
    EXPECT_TRUE(Canvas().HasPicture());
    EXPECT_TRUE(Find<QCheckBox>(1023)->isChecked());
    EXPECT_EQ(Text(1032), last);
    EXPECT_EQ(Text(1020), QStringLiteral("1.00"));
    ASSERT_NE(dialog->Mask(), nullptr);
    EXPECT_EQ(FreeImage_GetWidth(dialog->Mask()), 30u);

    // Another picture opened later is the one stored.
    const QString other = Picture(QStringLiteral("other.png"));
    Open(other);
    Close();
    EXPECT_EQ(StoredSetting(ReloadLastFileKey).toInt(), 1);
    EXPECT_EQ(StoredSetting(LastFileKey).toString(), other);
}

TEST_F(AppSettings, EmptyLastFileLoadsNothingAndIsStoredAgain)
{
    Plant(1, QString());
    StartDialog();
    EXPECT_FALSE(Canvas().HasPicture());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    Close();
    EXPECT_EQ(StoredSetting(ReloadLastFileKey).toInt(), 1);
    EXPECT_EQ(StoredSetting(LastFileKey).toString(), QString());
}

TEST_F(AppSettings, MissingLastFileIsReportedAndKeptForTheNextStart)
{
    const QString gone = PathOf(QStringLiteral("moved away.png"));
    Plant(1, gone);
    StartDialog();
    EXPECT_FALSE(Canvas().HasPicture());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("File %1 could not be opened: cannot open the file").arg(gone)));
    EXPECT_EQ(Text(1032), QStringLiteral("File name"));
    Close();
    EXPECT_EQ(StoredSetting(LastFileKey).toString(), gone);
}

TEST_F(AppSettings, StartUpDeletesOnlyTheSnapshotFoldersBitmaps)
{
    const QString snapshots = SnapshotFolder();
    ASSERT_TRUE(snapshots.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
    ASSERT_TRUE(snapshots.endsWith(QStringLiteral("/Varnholt/Tessaro/temp")));
    ASSERT_TRUE(QDir(snapshots).exists());
    ASSERT_TRUE(QDir(snapshots).mkpath(QStringLiteral("inner")));
    for (const QString& name : {QStringLiteral("a.bmp"), QStringLiteral("B.BMP"), QStringLiteral("c.png"),
                               QStringLiteral("inner/d.bmp"), QStringLiteral("../e.bmp")}) {
        QFile file(snapshots + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    StartDialog();
    QDir folder(snapshots);
    EXPECT_FALSE(folder.exists(QStringLiteral("a.bmp")));
    EXPECT_FALSE(folder.exists(QStringLiteral("B.BMP")));
    EXPECT_TRUE(folder.exists(QStringLiteral("c.png")));
    EXPECT_TRUE(folder.exists(QStringLiteral("inner/d.bmp")));
    EXPECT_TRUE(folder.exists(QStringLiteral("../e.bmp")));
}

} // namespace
