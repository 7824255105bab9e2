// SPDX-License-Identifier: MIT
// Tools, brush size and shape, fill method, patch size, seam smoothing and
// zoom, with their read-outs. Tool, brush and zoom live in the canvas; the
// dialog tells it of every change.
#include "app/viewer_dialog.h"

#include "canvas/canvas_pane.h"
#include "controls/xp_style_button_st.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QWheelEvent>

void CViewerDlg::SelectTool(int tool)
{
    m_pCanvas->SetTool(tool);
    // The buttons flip their own check mark on every click; setting all
    // four makes them one group, and a click on the selected tool keeps it.
    m_btnBrush->SetCheckMark(tool == ToolHoleBrush);
    m_btnOutline->SetCheckMark(tool == ToolSourceOutline);
    m_btnGuide->SetCheckMark(tool == ToolGuide);
    m_btnEraser->SetCheckMark(tool == ToolEraser);
}

void CViewerDlg::SelectShape(int shape)
{
    m_btnSquare->SetCheckMark(shape == BrushSquare);
    m_btnRound->SetCheckMark(shape == BrushRound);
    m_pCanvas->SetBrushShape(shape);
}

void CViewerDlg::OnHScroll(QSlider* slider)
{
    if (slider == m_slBrushSize) {
        m_pCanvas->SetBrushSize(m_slBrushSize->sliderPosition());
        UpdateBrushSizeText();
    }
    if (slider == m_slPatchSize) {
        const int position = m_slPatchSize->sliderPosition();
        UpdatePatchSizeText();
        m_nPatchSize = position;
    }
    m_pCanvas->setFocus();
}

void CViewerDlg::OnBrushSizeListChanged(int index)
{
    m_pCanvas->SetBrushSize(index + 1);
}

void CViewerDlg::OnSmoothSeamClicked()
{
    m_bSmoothSeam = m_chkSmoothSeam->isChecked() ? 1 : 0;
}

void CViewerDlg::OnFillMethodChanged(int index)
{
    m_fillMethod = FillMethodNamed(m_cbFillMethod->itemData(index).toString().toStdString()).value_or(FillMethod::Patches);
}

void CViewerDlg::SelectFillMethod(FillMethod method)
{
    m_cbFillMethod->setCurrentIndex(m_cbFillMethod->findData(QString::fromLatin1(FillMethodName(method))));
    m_fillMethod = method;
}

void CViewerDlg::UpdateBrushSizeText()
{
    m_stBrushSize->setText(QString::asprintf("%d px", m_slBrushSize->sliderPosition()));
}

void CViewerDlg::UpdatePatchSizeText()
{
    m_stPatchSize->setText(QString::asprintf("%d px", m_slPatchSize->sliderPosition()));
}

void CViewerDlg::UpdateZoomText(double zoom)
{
    m_stZoom->setText(QString::asprintf("%.2f", zoom));
}

void CViewerDlg::ZoomInCommand()
{
    UpdateZoomText(m_pCanvas->ZoomIn());
}

void CViewerDlg::ZoomOutCommand()
{
    UpdateZoomText(m_pCanvas->ZoomOut());
}

void CViewerDlg::ZoomFitCommand()
{
    UpdateZoomText(m_pCanvas->ZoomToFit());
}

void CViewerDlg::ZoomActualSizeCommand()
{
    m_pCanvas->ZoomActualSize();
    UpdateZoomText(1.0);
}

void CViewerDlg::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    // A sideways wheel is not a zoom.
    if (delta.y() == 0 && delta.x() != 0) {
        QDialog::wheelEvent(event);
        return;
    }
    WheelZoom(delta.y(), event->globalPosition().toPoint());
    event->accept();
}

void CViewerDlg::WheelZoom(int delta, QPoint globalPosition)
{
    // Over the picture the point under the pointer stays there; elsewhere
    // the view's centre does.
    const QPoint inCanvas = m_pCanvas->mapFromGlobal(globalPosition);
    const QRect client = m_pCanvas->ClientRect();
    const bool overPicture = client.contains(inCanvas);
    const QPoint anchor = inCanvas - client.topLeft();
    // One step per turn of the wheel, whatever its size; no turn at all
    // counts as a turn towards the user.
    if (delta > 0)
        UpdateZoomText(overPicture ? m_pCanvas->ZoomInAbout(anchor) : m_pCanvas->ZoomIn());
    else
        UpdateZoomText(overPicture ? m_pCanvas->ZoomOutAbout(anchor) : m_pCanvas->ZoomOut());
}
