// SPDX-License-Identifier: MIT
// A picture button whose face comes from the themed style when the program
// is themed, as a push button or as a toolbar button; otherwise it draws
// the classic face.
#pragma once

#include "controls/button_st.h"

class CThemeHelperST;

class CXPStyleButtonST : public CButtonST {
    Q_OBJECT

public:
    explicit CXPStyleButtonST(const QString& text = QString(), QWidget* parent = nullptr);

    // The helper must outlive the button. Without one, or when it is not
    // themed, a flat button draws its border.
    void SetThemeAccess(const CThemeHelperST* theme);
    void SetToolbarLook(bool toolbar, bool redraw = true);
    bool IsToolbarLook() const { return m_bToolbarLook; }

    // The face comes from the themed style now.
    bool DrawsThemed() const;
    // The themed state the face is drawn in.
    int ThemeState() const;

protected:
    void DrawButtonBackground(QPainter& dc, QRect& rect) override;
    void DrawButtonBorder(QPainter& dc, const QRect& rect) override;

private:
    const CThemeHelperST* m_pThemeAccess = nullptr;
    bool m_bToolbarLook = false;
};
