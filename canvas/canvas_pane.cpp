// SPDX-License-Identifier: MIT
#include "canvas/canvas_pane.h"

#include "canvas/layer_render.h"
#include "controls/file_dialogs.h"
#include "picture/cmyk_conversion.h"

#include <algorithm>

CCanvasPane::CCanvasPane(QWidget* parent) : CPreviewPane(parent)
{
    m_strokeTimer.setTimerType(Qt::PreciseTimer);
    m_strokeTimer.setInterval(1);
    connect(&m_strokeTimer, &QTimer::timeout, this, [this] { DrawSegment(); });
}

CCanvasPane::~CCanvasPane() = default;

bool CCanvasPane::OpenPictureDialog()
{
    const QString path =
        AskOpenFileName(this, QStringLiteral("Open image"), QStringLiteral("Image files (*.bmp *.png *.tif *.jpg)"));
    if (path.isEmpty())
        return false;
    return OpenPicture(path);
}

bool CCanvasPane::OpenPicture(const QString& name)
{
    m_strOpenedFile = name;
    if (!LoadFile(name))
        return false;
    BuildLayers();
    RebuildCursor();
    return true;
}

void CCanvasPane::BuildLayers()
{
    if (!HasPicture())
        return;
    m_imgDisplay = MakeBlackLayer(m_nWidth, m_nHeight);
    m_imgOverlay = MakeBlackLayer(m_nWidth, m_nHeight);
    m_imgResult = MakeBlackLayer(m_nWidth, m_nHeight);
    // The saved images stay: they belong to the previous picture, and Undo
    // is locked until the first Paint on this one replaces them.
    m_imgSavedOverlay = MakeBlackLayer(m_nWidth, m_nHeight);
    m_imgSavedDisplay = MakeBlackLayer(m_nWidth, m_nHeight);

    // The picture was read once, CMYK separation kept, for the pane; the
    // working image is a copy of that read, not a second one.
    m_pCmykImage.reset();
    m_pWorkingImage.reset(FreeImage_Clone(m_pPicture.get()));
    m_nColorType = m_pWorkingImage ? FreeImage_GetColorType(m_pWorkingImage.get()) : FIC_RGB;
    if (m_nColorType == FIC_CMYK) {
        m_pCmykImage = std::move(m_pWorkingImage);
        m_pWorkingImage.reset(FreeImage_Allocate(m_nWidth, m_nHeight, 24));
        ConvertCmykImage();
    }
    RenderResult();
    // The display starts as the picture; a CMYK picture shows its RGB colours.
    RenderDisplay();
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
}

const QImage& CCanvasPane::ShownImage()
{
    return m_imgDisplay;
}

void CCanvasPane::SetBrushSize(int size)
{
    m_nBrushSize = std::max(1, size);
    RebuildCursor();
}

void CCanvasPane::SetTool(int tool)
{
    if (tool != ToolHoleBrush && tool != ToolSourceOutline && tool != ToolEraser)
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
