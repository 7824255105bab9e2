// SPDX-License-Identifier: MIT
#include "app/dialog_template.h"

#include "app/ellipsis_label.h"
#include "controls/xp_style_button_st.h"
#include "res/resource_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

enum class Kind {
    PushButton,
    PictureButton,
    PictureCheckButton, // stays down while its check mark is set
    CheckBox,
    Slider,
    Label,
    CentredLabel,
    WordEllipsisLabel,
    PathEllipsisLabel,
    SunkenLabel,
    VerticalLine,
    HorizontalLine,
    BlackFrame,
    GroupBox,
    DropDownList,
};

constexpr int NoId = 0;

struct ControlTemplate {
    int id;
    Kind kind;
    const char* text;
    int x, y, width, height; // dialog units
    bool visible;
};

constexpr ControlTemplate ViewerTemplate[] = {
    {IDC_OPEN, Kind::PictureButton, "", 7, 6, 24, 19, true},
    {IDC_SAVE, Kind::PictureButton, "", 33, 6, 24, 19, true},
    {NoId, Kind::VerticalLine, "", 63, 6, 1, 20, true},
    {IDC_TOOL_OUTLINE, Kind::PictureCheckButton, "", 92, 6, 22, 19, true},
    {IDC_TOOL_GUIDE, Kind::PictureCheckButton, "", 114, 6, 22, 19, true},
    {IDC_TOOL_ERASER, Kind::PictureCheckButton, "", 136, 6, 22, 19, true},
    {IDC_BRUSH_SIZE, Kind::Slider, "", 196, 12, 118, 11, true},
    {IDC_ZOOM_FIT, Kind::PictureButton, "", 257, 34, 28, 19, true},
    {IDC_ACTUAL_SIZE, Kind::PictureButton, "", 285, 34, 24, 19, true},
    {IDC_ZOOM_IN, Kind::PictureButton, "", 309, 34, 22, 19, true},
    {IDC_ZOOM_OUT, Kind::PictureButton, "", 331, 34, 22, 19, true},
    {IDC_PATCH_SIZE, Kind::Slider, "", 57, 291, 140, 11, true},
    {IDC_SMOOTH_SEAM, Kind::CheckBox, "Smooth the seam", 14, 309, 71, 10, true},
    {IDC_FILL_METHOD_LABEL, Kind::Label, "Method:", 236, 292, 29, 8, true},
    {IDC_FILL_METHOD, Kind::DropDownList, "", 267, 289, 104, 40, true},
    {IDC_PAINT, Kind::PushButton, "Paint", 267, 307, 50, 14, true},
    {IDC_UNDO, Kind::PushButton, "Undo", 321, 307, 50, 14, true},
    {IDC_TOOL_BRUSH, Kind::PictureCheckButton, "", 70, 6, 22, 19, true},
    {NoId, Kind::VerticalLine, "", 164, 6, 1, 22, true},
    {NoId, Kind::Label, "Size:", 171, 11, 24, 12, true},
    {IDC_BRUSH_SIZE_TEXT, Kind::CentredLabel, "N/A", 317, 13, 25, 8, true},
    {IDC_ZOOM_LABEL, Kind::WordEllipsisLabel, "Zoom:", 358, 34, 21, 8, true},
    {IDC_BRUSH_SIZE_LIST, Kind::DropDownList, "", 247, 265, 40, 59, false},
    {IDC_RELOAD_LAST, Kind::CheckBox, "Reload last picture", 304, 267, 75, 10, false},
    {IDC_CANVAS_PLACE, Kind::BlackFrame, "", 7, 57, 372, 215, false},
    {IDC_ZOOM_TEXT, Kind::WordEllipsisLabel, "", 358, 44, 21, 8, true},
    {IDC_STEP_BACK, Kind::PictureButton, "", 209, 264, 14, 14, false},
    {IDC_STEP_FORWARD, Kind::PictureButton, "", 227, 264, 14, 14, false},
    {IDC_STATUS, Kind::SunkenLabel, "Static", 7, 274, 372, 8, false},
    {IDC_FILE_NAME, Kind::PathEllipsisLabel, "File name", 7, 43, 240, 10, true},
    {NoId, Kind::Label, "Shape:", 67, 266, 30, 10, false},
    {IDC_SETTINGS_GROUP, Kind::GroupBox, "Inpaint settings", 7, 275, 372, 53, true},
    {IDC_SHAPE_SQUARE, Kind::PictureCheckButton, "Square", 99, 264, 50, 14, false},
    {IDC_SHAPE_ROUND, Kind::PictureCheckButton, "Round", 153, 264, 50, 14, false},
    {IDC_TOOLBAR_LINE, Kind::HorizontalLine, "", 7, 29, 372, 1, true},
    {IDC_PATCH_SIZE_LABEL, Kind::Label, "Patch size:", 14, 292, 36, 8, true},
    {IDC_PATCH_SIZE_TEXT, Kind::CentredLabel, "N/A", 200, 292, 25, 8, true},
    {IDC_BEFORE_AFTER, Kind::PushButton, "Before", 345, 9, 34, 14, true},
};

QLabel* MakeLabel(const QString& text, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

QFrame* MakeFrame(QFrame::Shape shape, QFrame::Shadow shadow, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(shadow);
    return frame;
}

QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    // Enter presses no button: it never acts in this dialog.
    button->setAutoDefault(false);
    return button;
}

CXPStyleButtonST* MakePictureButton(const QString& text, bool checkMode, QWidget* parent)
{
    auto* button = new CXPStyleButtonST(text, parent);
    button->SetCheckMode(checkMode);
    return button;
}

QWidget* MakeControl(Kind kind, const QString& text, QWidget* parent)
{
    switch (kind) {
    case Kind::PushButton: return MakeButton(text, parent);
    case Kind::PictureButton: return MakePictureButton(text, false, parent);
    case Kind::PictureCheckButton: return MakePictureButton(text, true, parent);
    case Kind::CheckBox: return new QCheckBox(text, parent);
    case Kind::Slider: return new QSlider(Qt::Horizontal, parent);
    case Kind::Label: return MakeLabel(text, Qt::AlignLeft, parent);
    case Kind::CentredLabel: return MakeLabel(text, Qt::AlignHCenter, parent);
    case Kind::WordEllipsisLabel: {
        auto* label = new CEllipsisLabel(text, Qt::ElideRight, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::PathEllipsisLabel: {
        auto* label = new CEllipsisLabel(text, Qt::ElideMiddle, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::SunkenLabel: {
        QLabel* label = MakeLabel(text, Qt::AlignLeft, parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case Kind::VerticalLine: return MakeFrame(QFrame::VLine, QFrame::Sunken, parent);
    case Kind::HorizontalLine: return MakeFrame(QFrame::HLine, QFrame::Sunken, parent);
    case Kind::BlackFrame: return MakeFrame(QFrame::Box, QFrame::Plain, parent);
    case Kind::GroupBox: return new QGroupBox(text, parent);
    case Kind::DropDownList: return new QComboBox(parent);
    }
    return nullptr;
}

} // namespace

void CreateViewerControls(QWidget* client, DialogBaseUnits base)
{
    for (const ControlTemplate& entry : ViewerTemplate) {
        QWidget* control = MakeControl(entry.kind, QString::fromUtf8(entry.text), client);
        if (entry.id != NoId)
            control->setObjectName(QString::number(entry.id));
        QRect place = DialogUnitsToPixels(QRect(entry.x, entry.y, entry.width, entry.height), base);
        // A drop-down list's height in the template is that of its open
        // list; closed, it is as high as its font needs.
        if (entry.kind == Kind::DropDownList)
            place.setHeight(control->sizeHint().height());
        control->setGeometry(place);
        control->setVisible(entry.visible);
        // The group box only frames the settings; it must not take the
        // clicks meant for the controls inside it.
        if (entry.kind == Kind::GroupBox)
            control->lower();
    }
}
