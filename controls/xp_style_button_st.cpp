// SPDX-License-Identifier: MIT
#include "controls/xp_style_button_st.h"

#include "controls/theme_helper.h"

#include <QPainter>

CXPStyleButtonST::CXPStyleButtonST(const QString& text, QWidget* parent) : CButtonST(text, parent)
{
    m_bBorderWhenFlat = false;
}

void CXPStyleButtonST::SetThemeAccess(const CThemeHelperST* theme)
{
    m_pThemeAccess = theme;
    if (!m_pThemeAccess || !m_pThemeAccess->IsAppThemed())
        m_bBorderWhenFlat = true;
}

void CXPStyleButtonST::SetToolbarLook(bool toolbar, bool redraw)
{
    m_bToolbarLook = toolbar;
    if (redraw)
        update();
}

bool CXPStyleButtonST::DrawsThemed() const
{
    return m_pThemeAccess && m_pThemeAccess->IsAppThemed();
}

int CXPStyleButtonST::ThemeState() const
{
    // The later test wins.
    int state = ThemeNormal;
    if (isDefault() && (!m_bToolbarLook || m_bBorderWhenFlat))
        state = ThemeDefaulted;
    if (IsHot())
        state = ThemeHot;
    if (IsDrawnPressed())
        state = ThemePressed;
    if (!isEnabled())
        state = ThemeDisabled;
    return state;
}

void CXPStyleButtonST::DrawButtonBackground(QPainter& dc, QRect& rect)
{
    if (DrawsThemed()) {
        auto theme = m_pThemeAccess->OpenThemeData(this, m_bToolbarLook ? ThemeClassToolbar : ThemeClassButton);
        if (theme) {
            const bool drawn = m_pThemeAccess->DrawThemeBackground(theme, this, dc, 1, ThemeState(), rect, rect);
            m_pThemeAccess->CloseThemeData(theme);
            if (drawn)
                return;
        }
    }
    CButtonST::DrawButtonBackground(dc, rect);
}

void CXPStyleButtonST::DrawButtonBorder(QPainter& dc, const QRect& rect)
{
    if (DrawsThemed())
        return;
    CButtonST::DrawButtonBorder(dc, rect);
}
