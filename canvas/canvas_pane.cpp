// SPDX-License-Identifier: MIT
#include "canvas/canvas_pane.h"

#include "canvas/layer_render.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"
#include "controls/wait_cursor.h"
#include "picture/cmyk_conversion.h"
#include "picture/full_depth.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace {

// What the canvas works on for one picture, made before anything of the
// picture being edited is replaced.
struct PictureLayers {
    int colorType = FIC_RGB;
    BitmapPtr working;
    BitmapPtr cmyk;
    QImage result;
    QImage display;
    QImage overlay;
};

// Nothing when memory runs out for any part. The picture as read becomes
// the working image (a CMYK one is kept as the separation and the working
// image gets its RGB colours), so it is never copied.
std::optional<PictureLayers> MakePictureLayers(BitmapPtr picture)
{
    PictureLayers layers;
    const int width = static_cast<int>(FreeImage_GetWidth(picture.get()));
    const int height = static_cast<int>(FreeImage_GetHeight(picture.get()));
    layers.colorType = FreeImage_GetColorType(picture.get());
    if (layers.colorType == FIC_CMYK) {
        layers.cmyk = std::move(picture);
        layers.working.reset(FreeImage_Allocate(width, height, 24));
        if (!layers.working)
            return std::nullopt;
        ConvertCmykToRgb(layers.cmyk.get(), layers.working.get());
    } else {
        layers.working = std::move(picture);
    }
    layers.result = LayerOf(layers.working.get());
    layers.overlay = MakeBlackLayer(width, height);
    if (layers.result.isNull() || layers.overlay.isNull())
        return std::nullopt;
    // The display starts as the picture (a CMYK picture shows its RGB
    // colours) and shares the result's pixels until the first stroke.
    layers.display = layers.result;
    return layers;
}

} // namespace

CCanvasPane::CCanvasPane(QWidget* parent) : CPreviewPane(parent)
{
    // A click gives the view the keys, so that the arrows scroll it.
    setFocusPolicy(Qt::ClickFocus);
    // The brush outline follows the mouse without a button pressed.
    setMouseTracking(true);
}

CCanvasPane::~CCanvasPane() = default;

QString CCanvasPane::AskPictureName()
{
    // The next picture is most often beside the one open.
    const QString folder = m_strOpenedFile.isEmpty() ? QString() : QFileInfo(m_strOpenedFile).absolutePath();
    return AskOpenFileName(this, QStringLiteral("Open image"), QStringLiteral("Image files (*.bmp *.png *.tif *.jpg)"),
                           folder);
}

bool CCanvasPane::OpenPictureDialog()
{
    const QString path = AskPictureName();
    if (path.isEmpty())
        return false;
    return OpenPicture(path);
}

bool CCanvasPane::OpenPicture(const QString& name)
{
    const CWaitCursor waitCursor;
    LoadedPicture loaded = ReadPictureFile(name);
    if (!loaded)
        return false;
    std::optional<PictureLayers> layers = MakePictureLayers(std::move(loaded.bitmap));
    if (!layers) {
        ShowMessageBox(OpenFailureText(name, QStringLiteral("there is not enough memory for it")));
        return false;
    }
    // The picture as opened is the first result; it shares the result's
    // pixels until Paint changes them.
    ShowPicture(layers->result, loaded.format, name);
    m_strOpenedFile = name;
    m_pFullDepthImage = std::move(loaded.fullDepth);
    m_nColorType = layers->colorType;
    m_pWorkingImage = std::move(layers->working);
    m_pCmykImage = std::move(layers->cmyk);
    m_imgResult = std::move(layers->result);
    m_imgDisplay = std::move(layers->display);
    m_imgOverlay = std::move(layers->overlay);
    m_rcStrokes = QRect();
    // Steps of the previous picture do not fit this one.
    m_history.Clear();
    m_pendingStep.reset();
    m_nRevision = m_nSavedRevision = ++m_nLastRevision;
    emit RevisionChanged();
    RebuildCursor();
    return true;
}

void CCanvasPane::MarkChanged()
{
    SetRevision(++m_nLastRevision);
}

void CCanvasPane::SetRevision(int revision)
{
    m_nRevision = revision;
    emit RevisionChanged();
}

void CCanvasPane::MarkSaved(const QString& fileName)
{
    m_nSavedRevision = m_nRevision;
    m_strOpenedFile = fileName;
    m_strFileName = fileName;
    emit RevisionChanged();
}

QString CCanvasPane::DepthText() const
{
    FIBITMAP* const picture = m_pFullDepthImage ? m_pFullDepthImage.get()
                              : m_pCmykImage    ? m_pCmykImage.get()
                                                : m_pWorkingImage.get();
    if (picture == nullptr)
        return {};
    return QString::fromStdString(::DepthText(picture)) + (m_nColorType == FIC_CMYK ? QStringLiteral(" (CMYK)") : QString());
}

void CCanvasPane::ConvertCmykImage()
{
    if (m_pCmykImage && m_pWorkingImage)
        ConvertCmykToRgb(m_pCmykImage.get(), m_pWorkingImage.get());
}

void CCanvasPane::RenderResult()
{
    if (m_pWorkingImage)
        RenderBitmapIntoLayer(m_pWorkingImage.get(), m_imgResult);
}

void CCanvasPane::RenderDisplay()
{
    if (m_pWorkingImage)
        RenderBitmapIntoLayer(m_pWorkingImage.get(), m_imgDisplay);
}

void CCanvasPane::ClearOverlay()
{
    m_imgOverlay.fill(Qt::black);
    m_rcStrokes = QRect();
}

void CCanvasPane::ShowPaintResult(const QRect& changed)
{
    if (!m_pWorkingImage)
        return;
    RenderBitmapIntoLayer(m_pWorkingImage.get(), m_imgResult, changed);
    // Elsewhere the result is the picture as it was, and only the strokes
    // made the display and the overlay differ from it.
    CopyLayerRect(m_imgResult, m_imgDisplay, changed | m_rcStrokes);
    if (!m_rcStrokes.isEmpty()) {
        QPainter overlay(&m_imgOverlay);
        overlay.fillRect(m_rcStrokes, Qt::black);
    }
    m_rcStrokes = QRect();
    update();
}

bool CCanvasPane::HasStrokeOf(QRgb colour) const
{
    // Outside the strokes' rectangle the overlay is black.
    const QRect area = m_rcStrokes & m_imgOverlay.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m_imgOverlay.constScanLine(y));
        if (std::find(row + area.left(), row + area.right() + 1, colour) != row + area.right() + 1)
            return true;
    }
    return false;
}

const QImage& CCanvasPane::ShownImage()
{
    if (m_bShowOriginal)
        return CPreviewPane::ShownImage();
    return m_imgDisplay;
}

void CCanvasPane::SetBrushSize(int size)
{
    m_nBrushSize = std::max(1, size);
    RebuildCursor();
}

void CCanvasPane::SetTool(int tool)
{
    if (tool != ToolHoleBrush && tool != ToolSourceOutline && tool != ToolEraser && tool != ToolGuide)
        return;
    m_nTool = tool;
    RebuildCursor();
}

double CCanvasPane::ZoomIn()
{
    const double zoom = CPreviewPane::ZoomIn();
    RebuildCursor();
    return zoom;
}

double CCanvasPane::ZoomInAbout(QPoint client)
{
    m_zoomAnchor = client;
    const double zoom = ZoomIn();
    m_zoomAnchor.reset();
    return zoom;
}

double CCanvasPane::ZoomOutAbout(QPoint client)
{
    m_zoomAnchor = client;
    const double zoom = ZoomOut();
    m_zoomAnchor.reset();
    return zoom;
}

void CCanvasPane::ShowOriginal(bool show)
{
    if (show == m_bShowOriginal)
        return;
    m_bShowOriginal = show;
    update();
}

void CCanvasPane::SetPanKey(bool held)
{
    m_bPanKey = held;
    if (held)
        setCursor(Qt::OpenHandCursor);
    else if (!m_bPanning)
        RebuildCursor();
}

double CCanvasPane::ZoomOut()
{
    const double zoom = CPreviewPane::ZoomOut();
    RebuildCursor();
    return zoom;
}

double CCanvasPane::ZoomToFit()
{
    const double zoom = CPreviewPane::ZoomToFit();
    RebuildCursor();
    return zoom;
}

void CCanvasPane::ZoomActualSize()
{
    m_nFitMode = 0;
    m_dZoom = 1.0;
    RefreshLayout();
}

void CCanvasPane::RefreshLayout()
{
    RebuildCursor();
    UpdateScrollBars();
}

void CCanvasPane::resizeEvent(QResizeEvent* event)
{
    CPreviewPane::resizeEvent(event);
    RefreshLayout();
}
