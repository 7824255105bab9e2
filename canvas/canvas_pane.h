// SPDX-License-Identifier: MIT
// The picture view the user works in: the preview pane's loading, zoom and
// scrolling, plus layers of the picture's size, a brush that paints removal
// strokes and pencils that draw outlines and guide lines into them, an eraser
// and a cursor showing the brush.
//
// The overlay layer is what the Paint command reads: black where nothing is
// marked, exactly HoleRgb, OutlineRgb or GuideRgb where a stroke went.
#pragma once

#include "canvas/color_cursor.h"
#include "canvas/paint_history.h"
#include "canvas/preview_pane.h"
#include "mask/brush_colours.h"
#include "mask/overlay_to_mask.h"
#include "picture/bitmap.h"
#include "structure/structure_fill.h"

#include <QImage>
#include <QPen>
#include <QRgb>

#include <cstdint>
#include <optional>

enum Tool { ToolHoleBrush = 0, ToolSourceOutline = 1, ToolEraser = 2, ToolGuide = 3 };
enum BrushShape { BrushSquare = 0, BrushRound = 1 };

// The brush colours as the layers hold them.
inline constexpr QRgb HoleRgb = qRgb(RedOf(HoleColour), GreenOf(HoleColour), BlueOf(HoleColour));
inline constexpr QRgb OutlineRgb = qRgb(RedOf(OutlineColour), GreenOf(OutlineColour), BlueOf(OutlineColour));
inline constexpr QRgb GuideRgb = qRgb(RedOf(GuideColour), GreenOf(GuideColour), BlueOf(GuideColour));

class QMouseEvent;
class QPainter;

// One Paint as the canvas prepares it from its strokes and picture.
struct CanvasPaintJob {
    InpaintJob job;                     // its target: the working image, or a CMYK picture's separation
    GuideMap guides;                    // the guide lines over the hole; empty without any
    FIBITMAP* fullDepth = nullptr;      // the picture at 16 bits per channel the target is the view of, or null
    std::optional<OverlayRows> overlay; // the strokes, unchanged until FinishPaint; empty when unreadable
    bool outlined = false;              // some stroke is a source outline
};

enum class PaintStart { Ready, NoPicture, NothingMarked, NoMemory };

class CCanvasPane : public CPreviewPane {
    Q_OBJECT

public:
    explicit CCanvasPane(QWidget* parent = nullptr);
    ~CCanvasPane() override;

    // The open-file dialog; empty when the user cancels.
    QString AskPictureName();
    bool OpenPictureDialog();
    // All or nothing: the picture, its layers, strokes and undo state are
    // replaced only when the new picture was read and its layers were made.
    bool OpenPicture(const QString& name);
    void RenderResult();
    void ConvertCmykImage();
    void RenderDisplay();
    void ClearOverlay();
    // After Paint changed the working image within changed (layer
    // coordinates): the result and the display show it there, and the
    // strokes are cleared from the display and the overlay.
    void ShowPaintResult(const QRect& changed);
    // Holds every marked pixel of the overlay (the strokes since the last
    // Paint, and what Undo and Redo put back).
    const QRect& StrokesRect() const { return m_rcStrokes; }

    // The history of Paint and stroke steps. A Paint takes its step before the engine
    // runs (the mask's codes before it rewrote them, the layers inside rect),
    // then keeps it or, when it was stopped, puts it back; maskBefore stays
    // with the caller when there is no room for the step. Undo and Redo
    // return false when there is no step to take; mask is the Paint's mask.
    bool SaveUndoState(CMaskRuns&& maskBefore, const QRect& rect);
    void KeepUndoState();
    void DropPaint(FIBITMAP* mask);
    bool RestoreUndoState(FIBITMAP* mask);
    bool RedoState(FIBITMAP* mask);

    // Makes the job of a Paint from the strokes into mask and takes its
    // history step; report says what the strokes' conversion has to say.
    // Anything but Ready leaves the mask and the history as they were.
    PaintStart StartPaint(FIBITMAP* mask, int patchSize, bool smoothSeam, const UserMessageHook& report,
                          CanvasPaintJob& paint);
    // After the fill of paint finished: keeps its history step, gives the
    // picture a new state and shows the result. A stopped fill goes through
    // DropPaint instead.
    void FinishPaint(const CanvasPaintJob& paint);
    const CPaintHistory& History() const { return m_history; }

    // Sizes below 1 pixel are taken as 1.
    void SetBrushSize(int size);
    // Values other than the four tools are ignored.
    void SetTool(int tool);
    void SetBrushShape(int shape) { m_nBrushShape = shape; }

    double ZoomIn();
    double ZoomOut();
    // The zoom steps keeping the picture point under a client point there.
    double ZoomInAbout(QPoint client);
    double ZoomOutAbout(QPoint client);
    // While set, the view shows the picture as it was opened.
    void ShowOriginal(bool show);
    bool ShowsOriginal() const { return m_bShowOriginal; }
    // While set, dragging with the left button pans instead of painting.
    void SetPanKey(bool held);
    // While a pan is in progress, scrolls the view after the pointer.
    void PanTo(QPoint widgetPoint);
    double ZoomToFit();
    void ZoomActualSize();
    void RefreshLayout();
    void RebuildCursor();

    // Every state of the picture has its own number; the picture differs from
    // its file when the state shown is not the one last opened or saved.
    // Strokes are no change of the picture, but work a close would lose.
    int Revision() const { return m_nRevision; }
    bool IsModified() const { return m_nRevision != m_nSavedRevision || HasStrokes(); }
    bool HasStrokes() const { return HasStrokeOf(HoleRgb) || HasStrokeOf(OutlineRgb) || HasStrokeOf(GuideRgb); }
    // The picture was changed: its state gets a new number.
    void MarkChanged();
    // Shows that an earlier state is back, as undo brings one back.
    void SetRevision(int revision);
    // The state shown is now in the file fileName, the picture's file from now on.
    void MarkSaved(const QString& fileName);

    const QString& OpenedFileName() const { return m_strOpenedFile; }
    int BrushSize() const { return m_nBrushSize; }
    int CurrentTool() const { return m_nTool; }
    int CurrentBrushShape() const { return m_nBrushShape; }
    int ColorType() const { return m_nColorType; }
    FIBITMAP* WorkingImage() const { return m_pWorkingImage.get(); }
    FIBITMAP* CmykImage() const { return m_pCmykImage.get(); }
    // The picture at 16 bits per channel, or null for 8-bit pictures: what
    // Save writes; the working (or CMYK) image is its 8-bit view.
    FIBITMAP* FullDepthImage() const { return m_pFullDepthImage.get(); }
    // "48 bits per pixel, 16 per channel" and the like, of the opened picture.
    QString DepthText() const;
    const QImage& DisplayLayer() const { return m_imgDisplay; }
    const QImage& OverlayLayer() const { return m_imgOverlay; }
    const QImage& ResultLayer() const { return m_imgResult; }
    // True when some overlay pixel is marked for removal.
    bool HasHoleStroke() const { return HasStrokeOf(HoleRgb); }
    // True when some overlay pixel holds colour.
    bool HasStrokeOf(QRgb colour) const;
    // The brush picture the installed cursor was made from, the brush's size
    // on screen; null while the outline is drawn on the canvas instead.
    const QImage& CursorImage() const { return m_imgCursor; }
    // The brush's width on screen in the widget's pixels, at least 10.
    int BrushScreenSize() const;
    // True when the brush is outlined on the canvas under a small cross:
    // the platform cursor cannot be that large, or its pixels are not the
    // screen's.
    bool OutlineOnCanvas() const { return m_bOutlineOnCanvas; }

signals:
    // The picture's state number or its saved one changed.
    void RevisionChanged();
    // The zoom changed without a zoom command: the view fits a new size.
    void ZoomChanged(double zoom);

protected:
    const QImage& ShownImage() override;
    void FitZoomChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Screen pixels per widget pixel.
    virtual double DeviceRatio() const;
    void keyPressEvent(QKeyEvent* event) override;

    // Draws the stroke from where the last segment ended to a pointer
    // position (client coordinates) and asks for a repaint of just that part.
    void DrawSegment(QPoint client);

private:
    PaintLayers Layers(FIBITMAP* mask);
    // Shows the layers again after a history step changed rect of them.
    void AfterHistoryStep(const QRect& rect);
    int PenWidth() const;
    // The widget area the brush outline covers around a point.
    QRect OutlineRect(QPoint centre) const;
    void DrawBrushOutline(QPainter& painter) const;
    // Below 1:1 several picture pixels share a screen pixel; each screen
    // pixel holding a marked one shows its mark.
    void DrawThinMarks(QPainter& painter, const QRect& exposed) const;
    QRgb BrushColour() const;
    void BeginStroke(QPoint client);
    // One piece of the stroke from one picture point to another (a dab when
    // they are the same) into the layers, and the repaint of its part.
    void DrawPiece(QPoint from, QPoint to);
    // A piece drawn on every pixel of span but those holding spared: the
    // outline pencil spares the hole, the hole brush the guide lines.
    void DrawSparing(const QRect& span, QPoint from, QPoint to, QRgb spared);
    // Draws the stroke through the positions the system recorded since the
    // last event the stroke took, then to the event's own.
    void FollowPointer(const QMouseEvent& event);
    // Ends the stroke and takes it into the history.
    void EndStroke();
    // Restores rect's pixels of the display layer from the result layer and
    // clears them on the overlay; rect's right and bottom edges are excluded.
    void EraseRect(const QRect& rect);

    int m_nColorType = FIC_RGB;
    int m_nBrushSize = 10;
    int m_nOutlineWidth = 1;
    int m_nTool = ToolHoleBrush;
    int m_nBrushShape = BrushSquare;
    QString m_strOpenedFile;
    QImage m_imgDisplay;
    QImage m_imgOverlay;
    QImage m_imgResult;
    CColorCursor m_colorCursor;
    QImage m_imgCursor;
    bool m_bOutlineOnCanvas = false;
    // Where the mouse hovers over the canvas, in widget coordinates.
    bool m_bHovering = false;
    QPoint m_ptHover;
    BitmapPtr m_pWorkingImage;
    BitmapPtr m_pCmykImage;
    BitmapPtr m_pFullDepthImage;
    int m_nRevision = 0;
    int m_nSavedRevision = 0;
    int m_nLastRevision = 0;
    CPaintHistory m_history;
    std::optional<CPaintStep> m_pendingStep;

    bool m_bShowOriginal = false;
    bool m_bPanKey = false;
    // The pan in progress: where the button went down and the scroll then.
    bool m_bPanning = false;
    QPoint m_ptPanStart;
    QPoint m_ptPanScroll;

    // The stroke in progress: picture point where the last segment ended and
    // the pen chosen when the button went down.
    bool m_bStroking = false;
    QPoint m_ptLast;
    QPen m_strokePen;
    // The overlay as it was at the press, sharing its pixels until the
    // stroke's first piece, and the rectangle the stroke changed: the
    // stroke's history step.
    QImage m_imgOverlayBeforeStroke;
    QRect m_rcStroke;
    // The time and place of the last pointer event the stroke took.
    uint64_t m_nLastMotionTime = 0;
    QPoint m_ptLastPointer;
    // What the strokes since the last Paint or clearing covered.
    QRect m_rcStrokes;
};
