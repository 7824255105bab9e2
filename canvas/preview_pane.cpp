// SPDX-License-Identifier: MIT
#include "canvas/preview_pane.h"

#include "canvas/layer_render.h"
#include "controls/message_box.h"
#include "kernels/rounding.h"
#include "picture/cmyk_conversion.h"
#include "picture/picture_loader.h"
#include "picture/upright_pixels.h"

#include <QFile>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

QString OpenFailureText(const QString& name, QString reason)
{
    // The sentence ends with its own full stop, whatever the reason ends with.
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    if (reason.isEmpty())
        return QStringLiteral("File %1 could not be opened.").arg(name);
    return QStringLiteral("File %1 could not be opened: %2.").arg(name, reason);
}

CPreviewPane::CPreviewPane(QWidget* parent)
    : QWidget(parent),
      m_pHorizontalBar(new QScrollBar(Qt::Horizontal, this)),
      m_pVerticalBar(new QScrollBar(Qt::Vertical, this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    for (QScrollBar* bar : {m_pHorizontalBar, m_pVerticalBar}) {
        bar->hide();
        bar->setFocusPolicy(Qt::NoFocus);
        // The pane's cursor shows the brush; the bars keep the arrow.
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) { OnScrollAction(bar, action); });
    }
    RefreshClientRect();
}

CPreviewPane::~CPreviewPane() = default;

bool CPreviewPane::LoadFile(const QString& name)
{
    LoadedPicture loaded = ReadPictureFile(name);
    if (!loaded)
        return false;
    ShowPicture(std::move(loaded), name);
    return true;
}

LoadedPicture CPreviewPane::ReadPictureFile(const QString& name)
{
    if (name.isEmpty()) {
        ShowMessageBox(QStringLiteral("CPreviewPane::LoadFile(): no file name provided"));
        return {};
    }
    LoadedPicture loaded = LoadPicture(QFile::encodeName(name).toStdString());
    // Shown, edited and saved as a photo viewer shows it.
    TurnLoadedPictureUpright(loaded);
    if (!loaded)
        ShowMessageBox(OpenFailureText(name, QString::fromStdString(loaded.error)));
    return loaded;
}

void CPreviewPane::ShowPicture(LoadedPicture loaded, const QString& name)
{
    RefreshClientRect();
    Unload();
    m_strFileName = name;
    m_format = loaded.format;
    m_pPicture = std::move(loaded.bitmap);
    PlacePicture(static_cast<int>(FreeImage_GetWidth(m_pPicture.get())),
                 static_cast<int>(FreeImage_GetHeight(m_pPicture.get())));
}

void CPreviewPane::ShowPicture(const QImage& shown, FREE_IMAGE_FORMAT format, const QString& name)
{
    RefreshClientRect();
    Unload();
    m_strFileName = name;
    m_format = format;
    m_imgPicture = shown;
    PlacePicture(shown.width(), shown.height());
}

void CPreviewPane::PlacePicture(int width, int height)
{
    m_nWidth = width;
    m_nHeight = height;
    if (m_nWidth > m_rcClient.width() || m_nHeight > m_rcClient.height()) {
        ZoomToFit();
    } else {
        m_nFitMode = 0;
        UpdateScrollBars();
    }
}

void CPreviewPane::Unload()
{
    m_pPicture.reset();
    m_imgPicture = QImage();
    m_strFileName.clear();
    SetScrollPosition(0, 0);
    m_dZoom = 1.0;
    m_nFitMode = 1;
    UpdateScrollBars();
}

const QImage& CPreviewPane::ShownImage()
{
    if (m_imgPicture.isNull() && HasPicture()) {
        m_imgPicture = MakeBlackLayer(m_nWidth, m_nHeight);
        if (FreeImage_GetColorType(m_pPicture.get()) == FIC_CMYK) {
            BitmapPtr rgb(FreeImage_Allocate(m_nWidth, m_nHeight, 24));
            if (rgb) {
                ConvertCmykToRgb(m_pPicture.get(), rgb.get());
                RenderBitmapIntoLayer(rgb.get(), m_imgPicture);
            }
        } else {
            RenderBitmapIntoLayer(m_pPicture.get(), m_imgPicture);
        }
    }
    return m_imgPicture;
}

void CPreviewPane::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
    RefreshClientRect();
    painter.fillRect(rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth),
                     palette().color(QPalette::Button));
    if (!HasPicture())
        return;
    ApplyFitZoom();
    const Placement placement = PicturePlacement();
    painter.setClipRect(m_rcClient);
    painter.translate(m_rcClient.topLeft());
    // No smooth transform: every screen pixel shows one picture pixel.
    painter.drawImage(QRectF(placement.target), ShownImage(),
                      QRectF(QPointF(placement.sourceOrigin), QSizeF(m_nWidth, m_nHeight)));
}

void CPreviewPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceScrollBars();
    RefreshClientRect();
}

void CPreviewPane::RefreshClientRect()
{
    QRect client = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    if (!m_pVerticalBar->isHidden())
        client.setRight(client.right() - m_pVerticalBar->width());
    if (!m_pHorizontalBar->isHidden())
        client.setBottom(client.bottom() - m_pHorizontalBar->height());
    m_rcClient = QRect(client.topLeft(), QSize(std::max(0, client.width()), std::max(0, client.height())));
}

void CPreviewPane::PlaceScrollBars()
{
    const QRect inner = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pHorizontalBar);
    const int besideVertical = m_pVerticalBar->isHidden() ? 0 : extent;
    const int besideHorizontal = m_pHorizontalBar->isHidden() ? 0 : extent;
    m_pHorizontalBar->setGeometry(inner.left(), inner.bottom() + 1 - extent, inner.width() - besideVertical, extent);
    m_pVerticalBar->setGeometry(inner.right() + 1 - extent, inner.top(), extent, inner.height() - besideHorizontal);
}

void CPreviewPane::ApplyFitZoom()
{
    if (m_nFitMode != 1 || !HasPicture() || m_nWidth <= 0 || m_nHeight <= 0)
        return;
    const double fit = std::min(static_cast<double>(m_rcClient.width()) / m_nWidth,
                                static_cast<double>(m_rcClient.height()) / m_nHeight);
    // An empty client area keeps the last zoom rather than a zero one.
    if (fit > 0.0 && fit != m_dZoom) {
        m_dZoom = fit;
        FitZoomChanged();
    }
}

CPreviewPane::Placement CPreviewPane::PicturePlacement() const
{
    const double shownWidth = m_nWidth * m_dZoom;
    const double shownHeight = m_nHeight * m_dZoom;
    const int left = std::max(0, TruncToInt((m_rcClient.width() - shownWidth) * 0.5));
    const int top = std::max(0, TruncToInt((m_rcClient.height() - shownHeight) * 0.5));
    return {QRect(left, top, TruncToInt(shownWidth), TruncToInt(shownHeight)),
            QPoint(TruncToInt(m_nScrollX / m_dZoom), TruncToInt(m_nScrollY / m_dZoom))};
}

QRect CPreviewPane::ImageRectToWidget(const QRect& imageRect) const
{
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return {};
    const Placement placement = PicturePlacement();
    const double scaleX = static_cast<double>(placement.target.width()) / m_nWidth;
    const double scaleY = static_cast<double>(placement.target.height()) / m_nHeight;
    const auto toScreenX = [&](int x) { return placement.target.x() + (x - placement.sourceOrigin.x()) * scaleX; };
    const auto toScreenY = [&](int y) { return placement.target.y() + (y - placement.sourceOrigin.y()) * scaleY; };
    const int left = TruncToInt(std::floor(toScreenX(imageRect.x()))) - 1;
    const int top = TruncToInt(std::floor(toScreenY(imageRect.y()))) - 1;
    const int right = TruncToInt(std::ceil(toScreenX(imageRect.x() + imageRect.width()))) + 1;
    const int bottom = TruncToInt(std::ceil(toScreenY(imageRect.y() + imageRect.height()))) + 1;
    return QRect(left, top, right - left, bottom - top).translated(m_rcClient.topLeft()) & m_rcClient;
}

QPoint CPreviewPane::ClientToImage(QPoint client) const
{
    const double z = m_dZoom;
    const int left = std::max(0, TruncToInt((m_rcClient.width() - m_nWidth * z) * 0.5));
    const int top = std::max(0, TruncToInt((m_rcClient.height() - m_nHeight * z) * 0.5));
    // The centring offset, on a whole picture pixel.
    const int snappedLeft = TruncToInt(RoundToInt(left / z) * z);
    const int snappedTop = TruncToInt(RoundToInt(top / z) * z);
    return {TruncToInt((m_nScrollX - snappedLeft + client.x()) / z + 0.5),
            TruncToInt((m_nScrollY - snappedTop + client.y()) / z + 0.5)};
}
