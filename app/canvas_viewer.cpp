// SPDX-License-Identifier: MIT
// Shows the canvas alone on the picture named on the command line.
// Keys: + and - zoom, F fits, A actual size, H hole brush, O outline brush,
// E eraser, [ and ] brush size.
#include "canvas/canvas_pane.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

class CanvasViewer : public QWidget {
public:
    CanvasViewer()
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(8, 8, 8, 8);
        layout->addWidget(m_pCanvas);
        resize(900, 700);
    }

    // A picture that cannot be opened has been reported; the canvas stays empty.
    void Open(const QString& path)
    {
        m_pCanvas->OpenPicture(path);
        ShowState();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Plus: m_pCanvas->ZoomIn(); break;
        case Qt::Key_Minus: m_pCanvas->ZoomOut(); break;
        case Qt::Key_F: m_pCanvas->ZoomToFit(); break;
        case Qt::Key_A: m_pCanvas->ZoomActualSize(); break;
        case Qt::Key_H: m_pCanvas->SetTool(ToolHoleBrush); break;
        case Qt::Key_O: m_pCanvas->SetTool(ToolSourceOutline); break;
        case Qt::Key_E: m_pCanvas->SetTool(ToolEraser); break;
        case Qt::Key_BracketLeft: m_pCanvas->SetBrushSize(m_pCanvas->BrushSize() - 5); break;
        case Qt::Key_BracketRight: m_pCanvas->SetBrushSize(m_pCanvas->BrushSize() + 5); break;
        default: QWidget::keyPressEvent(event); return;
        }
        ShowState();
    }

private:
    void ShowState()
    {
        setWindowTitle(QStringLiteral("%1 - zoom %2, brush %3 px")
                           .arg(m_pCanvas->OpenedFileName())
                           .arg(m_pCanvas->GetZoom(), 0, 'f', 2)
                           .arg(m_pCanvas->BrushSize()));
    }

    CCanvasPane* m_pCanvas = new CCanvasPane(this);
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CanvasViewer viewer;
    viewer.show();
    if (argc > 1)
        viewer.Open(QString::fromLocal8Bit(argv[1]));
    return application.exec();
}
