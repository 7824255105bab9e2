// SPDX-License-Identifier: MIT
// Saving: always TIFF named ".tif", CMYK kept, never a silent loss.
#include "app/tiff_name.h"
#include "editor_fixture.h"
#include "picture/picture_loader.h"
#include "test_bitmaps.h"
#include "test_pictures.h"

#include <QDir>
#include <QFile>

namespace {

constexpr int SaveButton = 1003;

BitmapPtr LoadSaved(const QString& path, FREE_IMAGE_FORMAT* format = nullptr)
{
    LoadedPicture picture = LoadPicture(QFile::encodeName(path).toStdString());
    EXPECT_TRUE(picture) << path.toStdString() << ": " << picture.error;
    if (format != nullptr)
        *format = picture.format;
    return std::move(picture.bitmap);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TiffPathFor, ReplacesTheExtensionOfTheLastComponentOnly)
{
    EXPECT_EQ(TiffPathFor(QStringLiteral("/p/photo.jpg")), QStringLiteral("/p/photo.tif"));
    EXPECT_EQ(TiffPathFor(QStringLiteral("/p/photo")), QStringLiteral("/p/photo.tif"));
    EXPECT_EQ(TiffPathFor(QStringLiteral("/p/photo.tif")), QStringLiteral("/p/photo.tif"));
    EXPECT_EQ(TiffPathFor(QStringLiteral("/p/archive.2010.png")), QStringLiteral("/p/archive.2010.tif"));
    EXPECT_EQ(TiffPathFor(QStringLiteral("/p/photo.")), QStringLiteral("/p/photo.tif"));
    EXPECT_EQ(TiffPathFor(QStringLiteral("/home/my.pictures/photo")), QStringLiteral("/home/my.pictures/photo.tif"));
}

class SaveImage : public EditorTest {
protected:
    void OpenTable()
    {
        StartDialog();
        Open(QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png"));
        ASSERT_TRUE(Canvas().HasPicture());
    }
    void Save(const QString& chosen)
    {
        saveAnswer = chosen;
        Click(SaveButton);
    }
};

TEST_F(SaveImage, WithoutPictureSaysNoImageAndShowsNoDialog)
{
    StartDialog();
    Save(PathOf(QStringLiteral("photo.tif")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("No image!")});
    EXPECT_EQ(saveDialogs, 0);
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("photo.tif"))));
}

TEST_F(SaveImage, WritesTheWorkingImageAsTiffBesideTheChosenName)
{
    OpenTable();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("my.pictures")));
    Save(PathOf(QStringLiteral("my.pictures/photo.jpg")));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("my.pictures/photo.jpg"))));
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    const BitmapPtr saved = LoadSaved(PathOf(QStringLiteral("my.pictures/photo.tif")), &format);
    EXPECT_EQ(format, FIF_TIFF);
    EXPECT_TRUE(SameBytes(saved.get(), Canvas().WorkingImage()));
    // Nothing is left beside it from writing under another name.
    EXPECT_EQ(QDir(PathOf(QStringLiteral("my.pictures"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("photo.tif")});
    // The dialog offered TIFF only and suggested the picture's name as a TIFF file beside it.
    EXPECT_EQ(dialogFilter, QStringLiteral("TIFF images (*.tif *.tiff)"));
    EXPECT_EQ(dialogStart, QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.tif"));
    // The saved file is the picture's file now: title, name label and the next dialogs follow it.
    const QString savedPath = PathOf(QStringLiteral("my.pictures/photo.tif"));
    EXPECT_EQ(Canvas().OpenedFileName(), savedPath);
    EXPECT_EQ(Text(1032), savedPath);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("photo.tif[*] - Quenlo"));
    EXPECT_FALSE(dialog->isWindowModified());
    Open(QString());
    EXPECT_EQ(dialogStart, PathOf(QStringLiteral("my.pictures")));
}

TEST_F(SaveImage, CmykPictureIsSavedInCmyk)
{
    const int inks[4] = {10, 200, 30, 40};
    StartDialog();
    Open(SavePicture(MakeCmykBitmap(20, 10, inks).get(), PathOf(QStringLiteral("cmyk.tif"))));
    ASSERT_EQ(Canvas().ColorType(), FIC_CMYK);
    Save(PathOf(QStringLiteral("out.png")));
    const BitmapPtr saved = LoadSaved(PathOf(QStringLiteral("out.tif")));
    EXPECT_EQ(FreeImage_GetColorType(saved.get()), FIC_CMYK);
    EXPECT_TRUE(SameBytes(saved.get(), Canvas().CmykImage()));
}

TEST_F(SaveImage, GreyPictureIsSavedAsEightBitGrey)
{
    StartDialog();
    Open(QStringLiteral(QUENLO_TEST_DATA_DIR "/brick_wall.png"));
    ASSERT_EQ(FreeImage_GetBPP(Canvas().WorkingImage()), 8u);
    Save(PathOf(QStringLiteral("wall")));
    const BitmapPtr saved = LoadSaved(PathOf(QStringLiteral("wall.tif")));
    EXPECT_EQ(FreeImage_GetBPP(saved.get()), 8u);
    EXPECT_EQ(FreeImage_GetColorType(saved.get()), FIC_MINISBLACK);
    EXPECT_TRUE(SameBytes(saved.get(), Canvas().WorkingImage()));
}

TEST_F(SaveImage, AsksBeforeReplacingAnotherFileOfTheTiffName)
{
    OpenTable();
    const QString other = PathOf(QStringLiteral("photo.tif"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    answerYes = false;
    Save(PathOf(QStringLiteral("photo.jpg")));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions.front().contains(other)) << questions.front().toStdString();
    EXPECT_EQ(Contents(other), QByteArray("keep me"));

    answerYes = true;
    Save(PathOf(QStringLiteral("photo.jpg")));
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(SameBytes(LoadSaved(other).get(), Canvas().WorkingImage()));

    // Choosing the ".tif" name itself was asked about by the save dialog.
    Save(other);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(SaveImage, FailedWriteIsReportedAndKeepsTheOldFile)
{
    OpenTable();
    Save(PathOf(QStringLiteral("no such folder/photo.png")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().startsWith(QStringLiteral("File %1 could not be saved")
                                                .arg(PathOf(QStringLiteral("no such folder/photo.tif")))))
        << messages.front().toStdString();

    // A folder of the ".tif" name cannot be replaced by the picture; it stays.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("album.tif/inside")));
    Save(PathOf(QStringLiteral("album.png")));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.back().contains(PathOf(QStringLiteral("album.tif"))));
    EXPECT_TRUE(QDir(PathOf(QStringLiteral("album.tif/inside"))).exists());

    // A read-only file is kept, and the message names no command-line option.
    QFile locked(PathOf(QStringLiteral("locked.tif")));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write("keep me");
    locked.close();
    ASSERT_TRUE(locked.setPermissions(QFileDevice::ReadOwner));
    Save(PathOf(QStringLiteral("locked.tif")));
    ASSERT_EQ(messages.size(), 3);
    EXPECT_TRUE(messages.back().contains(QStringLiteral("read-only"))) << messages.back().toStdString();
    EXPECT_FALSE(messages.back().contains(QStringLiteral("--"))) << messages.back().toStdString();
    EXPECT_EQ(Contents(locked.fileName()), QByteArray("keep me"));
}

TEST_F(SaveImage, CancelledDialogWritesNothing)
{
    OpenTable();
    Save(QString());
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace

// What TIFF cannot hold is named, in the words the command line uses.
TEST_F(SaveImage, SaysWhichMetadataTheTiffFileCouldNotHold)
{
    StartDialog();
    const int grey[4] = {90, 90, 90, 0};
    const BitmapPtr picture = MakeBitmap(12, 8, 24, grey);
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, picture.get(), "Comment", "taken at dawn");
    Open(SavePicture(picture.get(), PathOf(QStringLiteral("noted.png"))));
    ASSERT_TRUE(Canvas().HasPicture());
    Save(PathOf(QStringLiteral("noted.tif")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("metadata: not written to %1: comments")
                                        .arg(PathOf(QStringLiteral("noted.tif")))});
    EXPECT_TRUE(QFile::exists(PathOf(QStringLiteral("noted.tif"))));
}
