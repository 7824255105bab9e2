// SPDX-License-Identifier: MIT
// A button that draws a picture on a classic raised face. One colour of the
// picture is transparent, so the face shows through it. A check-mode button
// stays drawn pressed while its check mark is set. A flat button has no
// raised edges and lights up under the mouse instead.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPushButton>

class QPainter;

class CButtonST : public QPushButton {
    Q_OBJECT

public:
    explicit CButtonST(const QString& text = QString(), QWidget* parent = nullptr);

    // The check mode: the button flips its mark on every click, before the
    // click reaches anyone else, so a handler may set the mark again.
    void SetCheckMode(bool checkMode);
    bool IsCheckMode() const { return isCheckable(); }

    // Loads the pictures (an empty second name: none) and makes the pixels
    // of each transparent colour transparent. 0 when the first picture
    // loaded, 1 when it could not be read; the button then has no picture.
    int SetButtonBitmaps(const QString& bitmap, QColor transparent, const QString& secondBitmap,
                         QColor secondTransparent);

    void SetFlatLook(bool flat, bool redraw = true);
    bool IsFlatLook() const { return m_bFlatLook; }
    // Acts only on a check-mode button; any non-zero mark is 1.
    void SetCheckMark(int mark, bool redraw = true);
    int GetCheckMark() const { return isChecked() ? 1 : 0; }

    bool IsHot() const { return m_bHot; }
    // Drawn pressed now: held down, or, in check mode, with its mark set.
    bool IsDrawnPressed() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    virtual void DrawButtonBackground(QPainter& dc, QRect& rect);
    virtual void DrawButtonBorder(QPainter& dc, const QRect& rect);
    void DrawButtonBitmap(QPainter& dc, const QRect& rect);
    void DrawButtonText(QPainter& dc, const QRect& rect);

    bool m_bBorderWhenFlat = true;
    bool m_bDown = false;
    bool m_bHasFocus = false;
    bool m_bGreyed = false;

private:
    // A picture with its transparent pixels cleared, at one and at two
    // device pixels per pixel.
    struct ImageRecord {
        QPixmap normal;
        QPixmap doubled;
        bool IsEmpty() const { return normal.isNull(); }
        const QPixmap& For(qreal devicePixelRatio) const;
    };

    static ImageRecord LoadImageRecord(const QString& name, QColor transparent);
    void EndHover();
    const ImageRecord* ImageToDraw() const;

    bool m_bFlatLook = true;
    bool m_bHot = false;
    bool m_bFocusWhenFlat = false;
    QPoint m_ptImageMargin{3, 3};
    QPoint m_ptDownShift{1, 1};
    // 0 is shown while pressed or hot, 1 (if loaded) otherwise.
    ImageRecord m_aImages[2];
    bool m_bDisabledImage = true;
};
