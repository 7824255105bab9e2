// SPDX-License-Identifier: MIT
// The settings across runs, the tool settings kept only when the user asks
// for it, and the snapshot folder cleaned at start.
#include "app/app_settings.h"
#include "app/preferences_dialog.h"
#include "app/snapshot_folder.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"
#include "test_pictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

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
    EXPECT_TRUE(Canvas().IsFitMode()) << "fitted as every picture opened";
    EXPECT_EQ(Text(1020), QString::number(Canvas().GetZoom(), 'f', 2));
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

class KeptToolSettings : public AppSettings {
protected:
    void PlantTools(int remember, int brush, int patch, int seam, FillMethod method = FillMethod::Structure)
    {
        CAppSettings settings;
        if (remember >= 0)
            settings.WriteRememberToolSettings(remember != 0);
        settings.WriteToolSettings({brush, patch, seam != 0, method});
    }
    void ExpectTools(int brush, int patch, bool seam, FillMethod method = FillMethod::Patches)
    {
        EXPECT_EQ(dialog->Method(), method);
        EXPECT_EQ(Find<QComboBox>(IDC_FILL_METHOD)->currentData().toString().toStdString(), FillMethodName(method));
        EXPECT_EQ(Find<QSlider>(1033)->value(), brush);
        EXPECT_EQ(Canvas().BrushSize(), brush);
        EXPECT_EQ(Text(1034), QStringLiteral("%1 px").arg(brush));
        EXPECT_EQ(Find<QSlider>(1038)->value(), patch);
        EXPECT_EQ(dialog->PatchSize(), patch);
        EXPECT_EQ(Text(1039), QStringLiteral("%1 px").arg(patch));
        EXPECT_EQ(Find<QCheckBox>(1044)->isChecked(), seam);
        EXPECT_EQ(dialog->SmoothSeam(), seam);
    }
    // Edit → Preferences, answered as the user would: the box set or not,
    // then OK or Cancel.
    void Preferences(bool remember, bool ok)
    {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* preferences = qobject_cast<CPreferencesDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(preferences, nullptr);
            preferences->findChild<QCheckBox*>(QString::number(IDC_REMEMBER_TOOLS))->setChecked(remember);
            auto* buttons = preferences->findChild<QDialogButtonBox*>();
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            answered = true;
        });
        dialog->findChild<QAction*>(QString::number(ID_EDIT_PREFERENCES))->trigger();
        EXPECT_TRUE(answered);
    }
};

TEST_F(KeptToolSettings, StoredValuesAreIgnoredAndDroppedUnlessTheUserAskedToKeepThem)
{
    for (const int remember : {-1, 0}) {
        PlantTools(remember, 40, 9, 1);
        StartDialog();
        ExpectTools(10, 32, false);
        Close();
        EXPECT_EQ(StoredSetting(RememberToolSettingsKey).toInt(), 0);
        EXPECT_FALSE(StoredSetting(BrushSizeKey).isValid());
        EXPECT_FALSE(StoredSetting(PatchSizeKey).isValid());
        EXPECT_FALSE(StoredSetting(SmoothSeamKey).isValid());
        EXPECT_FALSE(StoredSetting(FillMethodKey).isValid());
    }
}

TEST_F(KeptToolSettings, KeptValuesComeBackWithinTheSlidersRanges)
{
    PlantTools(1, 40, 9, 1);
    StartDialog();
    ExpectTools(40, 9, true, FillMethod::Structure);
    Close();

    PlantTools(1, 500, -3, 1, FillMethod::Patches);
    StartDialog();
    ExpectTools(100, 3, true);
    Close();

    // Values that are no numbers, or name no method, start from the fixed ones.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnholt"),
                    QCoreApplication::applicationName());
    const auto plant = [&store](const char* key, const QString& value) {
        store.setValue(QStringLiteral("%1/%2").arg(QLatin1String(SettingsSection), QLatin1String(key)), value);
        store.sync();
    };
    plant(BrushSizeKey, QStringLiteral("big"));
    plant(FillMethodKey, QStringLiteral("Structure"));
    StartDialog();
    EXPECT_EQ(Find<QSlider>(1033)->value(), 10);
    EXPECT_EQ(dialog->Method(), FillMethod::Patches);
}

TEST_F(KeptToolSettings, PreferencesTurnKeepingOnAndOffForTheNextStart)
{
    StartDialog();
    Preferences(true, false);
    Preferences(true, true);
    QTest::keyClick(dialog.get(), Qt::Key_X);
    Find<QSlider>(1038)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Find<QCheckBox>(1044)->click();
    Find<QComboBox>(IDC_FILL_METHOD)->setCurrentIndex(1);
    Close();
    EXPECT_EQ(StoredSetting(RememberToolSettingsKey).toInt(), 1);
    EXPECT_EQ(StoredSetting(BrushSizeKey).toInt(), 11);
    EXPECT_EQ(StoredSetting(PatchSizeKey).toInt(), 36);
    EXPECT_EQ(StoredSetting(SmoothSeamKey).toInt(), 1);
    EXPECT_EQ(StoredSetting(FillMethodKey).toString(), QStringLiteral("structure"));

    StartDialog();
    ExpectTools(11, 36, true, FillMethod::Structure);
    // Turned off, the values stay for this run and the next start has the fixed ones.
    Preferences(false, true);
    ExpectTools(11, 36, true, FillMethod::Structure);
    Close();
    EXPECT_FALSE(StoredSetting(FillMethodKey).isValid());
    StartDialog();
    ExpectTools(10, 32, false);
}

} // namespace
