// SPDX-License-Identifier: MIT
// Save: the edited picture is written as a TIFF file named ".tif", CMYK
// pictures in CMYK, pictures of 16 bits per channel at 16 bits, with the
// opened file's metadata and ICC profile. The file is written under another name and renamed, so a
// failed save leaves any earlier file whole, and the user is told of it.
#include "app/viewer_dialog.h"

#include "app/tiff_name.h"
#include "canvas/canvas_pane.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"
#include "picture/metadata_loss_text.h"
#include "picture/picture_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace {

void SetGreyRampPalette(FIBITMAP* bitmap)
{
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    if (palette == nullptr)
        return;
    for (int i = 0; i < 256; ++i) {
        const auto grey = static_cast<BYTE>(i);
        palette[i].rgbRed = grey;
        palette[i].rgbGreen = grey;
        palette[i].rgbBlue = grey;
    }
}

// The save dialog asked about the name the user chose; another file that
// the ".tif" name would replace needs its own question.
bool MayReplace(const QString& chosen, const QString& output)
{
    const QFileInfo target(output);
    if (!target.exists() || target.isDir() || target == QFileInfo(chosen))
        return true;
    return AskYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(output));
}

} // namespace

bool CViewerDlg::SaveImage()
{
    if (PaintRunning())
        return false;
    if (!m_pCanvas->HasPicture()) {
        ShowMessageBox(QStringLiteral("No image!"));
        return false;
    }
    // The picture's own name and folder, as the TIFF file Save writes.
    const QString suggested = TiffPathFor(m_pCanvas->OpenedFileName());
    const QString chosen =
        AskSaveFileName(this, QStringLiteral("Save image"), QStringLiteral("TIFF images (*.tif *.tiff)"), suggested);
    if (chosen.isEmpty())
        return false;
    const QString output = TiffPathFor(chosen);
    if (!MayReplace(chosen, output))
        return false;

    FIBITMAP* image = m_pCanvas->WorkingImage();
    if (m_pCanvas->FullDepthImage() != nullptr) {
        image = m_pCanvas->FullDepthImage();
    } else if (m_pCanvas->ColorType() == FIC_CMYK) {
        image = m_pCanvas->CmykImage();
    } else if (image != nullptr && FreeImage_GetBPP(image) == 8) {
        SetGreyRampPalette(image);
    }
    std::string error = "there is no picture in memory to write";
    WrittenPicture written;
    if (image == nullptr || !WritePicture(image, QFile::encodeName(output).toStdString(), error, {}, &written)) {
        ShowMessageBox(QStringLiteral("File %1 could not be saved (%2).").arg(output, QString::fromStdString(error)));
        return false;
    }
    // The picture is that file's now: the title and the name shown follow.
    m_pCanvas->MarkSaved(output);
    m_stFileName->setText(output);
    AddRecentFile(output);
    if (!written.notWritten.empty())
        ShowMessageBox(QString::fromStdString(MetadataLossText(output.toStdString(), written.notWritten)));
    return true;
}
