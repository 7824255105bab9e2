// SPDX-License-Identifier: MIT
// The few themed-drawing operations the picture buttons use, from a style
// looked up by name at run time. When the style cannot be had, every
// operation gives a harmless answer and the buttons draw their classic look.
#pragma once

#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QStyle;
class QWidget;

// The class lists a theme is opened for.
inline const QString ThemeClassButton = QStringLiteral("BUTTON");
inline const QString ThemeClassToolbar = QStringLiteral("TOOLBAR");

// The button is theme part number 1 of both classes; its states:
enum ThemeButtonState { ThemeNormal = 1, ThemeHot = 2, ThemePressed = 3, ThemeDisabled = 4, ThemeDefaulted = 5 };

struct ThemeData {
    const QStyle* style = nullptr;
    QString classList;
};

class CThemeHelperST {
public:
    // The look the program draws with when it is themed.
    static constexpr const char* DefaultStyleName = "Fusion";

    explicit CThemeHelperST(const QString& styleName = QString::fromLatin1(DefaultStyleName));
    ~CThemeHelperST();
    CThemeHelperST(const CThemeHelperST&) = delete;
    CThemeHelperST& operator=(const CThemeHelperST&) = delete;

    // Nothing without the style or for a class list it does not draw.
    std::optional<ThemeData> OpenThemeData(QWidget* window, const QString& classList) const;
    // False when there was nothing to close.
    bool CloseThemeData(std::optional<ThemeData>& theme) const;
    // The parent's background first when a window is given, so that it
    // shows through the part's transparent corners; then the part. False
    // when nothing could be drawn.
    bool DrawThemeBackground(const std::optional<ThemeData>& theme, QWidget* window, QPainter& dc, int partId,
                             int stateId, const QRect& rect, const QRect& clip) const;
    bool IsAppThemed() const;

private:
    std::unique_ptr<QStyle> m_pStyle;
};
