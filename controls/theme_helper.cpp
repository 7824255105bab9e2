// SPDX-License-Identifier: MIT
#include "controls/theme_helper.h"

#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QWidget>

namespace {

constexpr int ButtonPart = 1;

QStyle::State StyleStateOf(int stateId, bool toolbar)
{
    QStyle::State state = QStyle::State_Enabled;
    if (!toolbar)
        state |= QStyle::State_Raised;
    switch (stateId) {
    case ThemeHot: state |= QStyle::State_MouseOver | QStyle::State_Raised; break;
    case ThemePressed: state |= QStyle::State_Sunken | QStyle::State_On; break;
    case ThemeDisabled: state &= ~QStyle::State_Enabled; break;
    default: break;
    }
    return state;
}

} // namespace

CThemeHelperST::CThemeHelperST(const QString& styleName) : m_pStyle(QStyleFactory::create(styleName)) {}

CThemeHelperST::~CThemeHelperST() = default;

std::optional<ThemeData> CThemeHelperST::OpenThemeData(QWidget*, const QString& classList) const
{
    if (!m_pStyle || (classList != ThemeClassButton && classList != ThemeClassToolbar))
        return std::nullopt;
    return ThemeData{m_pStyle.get(), classList};
}

bool CThemeHelperST::CloseThemeData(std::optional<ThemeData>& theme) const
{
    if (!m_pStyle || !theme)
        return false;
    theme.reset();
    return true;
}

bool CThemeHelperST::DrawThemeBackground(const std::optional<ThemeData>& theme, QWidget* window, QPainter& dc,
                                         int partId, int stateId, const QRect& rect, const QRect& clip) const
{
    if (!m_pStyle || !theme || partId != ButtonPart)
        return false;
    dc.save();
    dc.setClipRect(clip);
    if (window && window->parentWidget())
        dc.fillRect(rect, window->parentWidget()->palette().window());
    const bool toolbar = theme->classList == ThemeClassToolbar;
    if (toolbar) {
        QStyleOptionToolButton option;
        if (window)
            option.initFrom(window);
        option.rect = rect;
        option.state = StyleStateOf(stateId, true);
        // A tool button at rest shows no panel, as on a toolbar.
        if (stateId != ThemeNormal && stateId != ThemeDisabled)
            m_pStyle->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &dc, window);
    } else {
        QStyleOptionButton option;
        if (window)
            option.initFrom(window);
        option.rect = rect;
        option.state = StyleStateOf(stateId, false);
        if (stateId == ThemeDefaulted)
            option.features |= QStyleOptionButton::DefaultButton;
        m_pStyle->drawControl(QStyle::CE_PushButtonBevel, &option, &dc, window);
    }
    dc.restore();
    return true;
}

bool CThemeHelperST::IsAppThemed() const
{
    return m_pStyle != nullptr;
}
