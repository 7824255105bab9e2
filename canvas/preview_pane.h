// SPDX-License-Identifier: MIT
// A framed view of one picture at a zoom factor: centred when smaller than
// the view, scrolled by the pane's own two scroll bars when larger, or fitted
// to the view. Owns the geometry between view points and picture pixels.
#pragma once

#include "picture/bitmap.h"
#include "picture/picture_loader.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>

class QScrollBar;

// What the user is told when a picture cannot be opened: the file and the
// loader's reason.
QString OpenFailureText(const QString& name, QString reason);

class CPreviewPane : public QWidget {
    Q_OBJECT

public:
    // The sunken frame around the client area, in pixels.
    static constexpr int FrameWidth = 2;

    explicit CPreviewPane(QWidget* parent = nullptr);
    ~CPreviewPane() override;

    // Reads and shows a picture; a file that cannot be read leaves the pane
    // as it was.
    bool LoadFile(const QString& name);
    void Unload();
    void SetScrollPosition(int x, int y);
    void UpdateScrollBars();
    double ZoomToFit();
    double ZoomIn();
    double ZoomOut();
    double GetZoom() const { return m_dZoom; }
    // The zoom at which the whole picture fits the view; none without a picture.
    std::optional<double> FitZoom() const;
    // Scrolls to a position of the zoomed picture, as dragging the scroll
    // bars there does; a fitted picture does not scroll.
    void ScrollTo(int x, int y);

    // A point of the client area to the nearest picture pixel; left of or
    // above the picture the coordinates are negative.
    QPoint ClientToImage(QPoint client) const;

    bool HasPicture() const { return m_pPicture != nullptr || !m_imgPicture.isNull(); }
    // The size of the picture last loaded.
    int PictureWidth() const { return m_nWidth; }
    int PictureHeight() const { return m_nHeight; }
    bool IsFitMode() const { return m_nFitMode == 1; }
    QPoint ScrollPosition() const { return {m_nScrollX, m_nScrollY}; }
    // The client area in widget coordinates: inside the frame, beside the
    // scroll bars that are shown.
    QRect ClientRect() const { return m_rcClient; }
    QScrollBar* HorizontalScrollBar() const { return m_pHorizontalBar; }
    QScrollBar* VerticalScrollBar() const { return m_pVerticalBar; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // What the view draws at the zoom, of the picture's size.
    virtual const QImage& ShownImage();
    // The fitting zoom changed with the view's size.
    virtual void FitZoomChanged() {}

    // Reads a picture, turned upright by its EXIF orientation, without
    // changing the pane; a failure is told to the user with the loader's
    // reason.
    LoadedPicture ReadPictureFile(const QString& name);
    // Replaces the shown picture by one that was read.
    void ShowPicture(LoadedPicture loaded, const QString& name);
    // The same for a picture already drawn as the view shows it; the pane
    // keeps the image (sharing its pixels), not a bitmap.
    void ShowPicture(const QImage& shown, FREE_IMAGE_FORMAT format, const QString& name);
    void RefreshClientRect();
    // The widget area where a rectangle of picture pixels is drawn, a pixel
    // wider on each side, within the client area.
    QRect ImageRectToWidget(const QRect& imageRect) const;

    // The client point the zoom steps keep on the same picture point; the
    // view's centre when empty.
    std::optional<QPoint> m_zoomAnchor;
    int m_nFitMode = 1;
    double m_dZoom = 1.0;
    BitmapPtr m_pPicture;
    FREE_IMAGE_FORMAT m_format = FIF_UNKNOWN;
    QString m_strFileName;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
    int m_nRequestedX = 0;
    int m_nRequestedY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    QRect m_rcClient;

    // Where the picture lands in the client area and which picture pixel is
    // drawn at the target's top-left corner.
    struct Placement {
        QRect target;
        QPoint sourceOrigin;
    };

    Placement PicturePlacement() const;

private:
    // Takes the new picture's size and zooms to fit it where it is larger than the view.
    void PlacePicture(int width, int height);
    void ApplyFitZoom();
    void ClampScroll();
    // Scrolls so that the zoom anchor shows the same picture point after
    // the zoom changed by ratio.
    void KeepCentreAt(double ratio);
    // The scroll bars take the scroll position a zoom step computed.
    void CommitZoomedScroll();
    void PlaceScrollBars();
    void OnScrollAction(QScrollBar* bar, int action);

    QScrollBar* m_pHorizontalBar;
    QScrollBar* m_pVerticalBar;
    // The picture as this pane shows it, made from m_pPicture at the first
    // paint after a load unless it was given.
    QImage m_imgPicture;
};
