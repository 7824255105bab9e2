// SPDX-License-Identifier: MIT
// Draws the pictures of the main dialog's buttons and the program icon into
// res/buttons, each at its own size and at twice that size (name@2x.png).
// The background is the colour the buttons treat as transparent.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor Background(212, 208, 200);

using Drawing = std::function<void(QPainter&)>;

bool Write(const QString& folder, const QString& name, QSize size, const Drawing& draw)
{
    for (const int scale : {1, 2}) {
        QImage image(size * scale, QImage::Format_RGB32);
        image.fill(Background);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        const QString file = folder + QLatin1Char('/') + name + suffix;
        if (!image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    return true;
}

QPen Outline(QColor colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void OpenFolder(QPainter& p)
{
    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(2.5, 20.5);
    back.lineTo(2.5, 5.5);
    back.lineTo(4.5, 3.5);
    back.lineTo(9.5, 3.5);
    back.lineTo(11.5, 5.5);
    back.lineTo(20.5, 5.5);
    back.lineTo(20.5, 9.5);
    p.setPen(Outline(QColor(120, 84, 10)));
    p.setBrush(QColor(232, 186, 64));
    p.drawPath(back);
    // A sheet of paper sticking out.
    p.setBrush(Qt::white);
    p.setPen(Outline(QColor(140, 140, 140)));
    p.drawRect(QRectF(6.5, 6.5, 11, 6));
    // The open front, tilted towards the viewer.
    QPainterPath front;
    front.moveTo(2.5, 20.5);
    front.lineTo(7.5, 10.5);
    front.lineTo(24.5, 10.5);
    front.lineTo(19.5, 20.5);
    front.closeSubpath();
    QLinearGradient shade(0, 10, 0, 21);
    shade.setColorAt(0, QColor(255, 222, 120));
    shade.setColorAt(1, QColor(226, 170, 40));
    p.setBrush(shade);
    p.setPen(Outline(QColor(120, 84, 10)));
    p.drawPath(front);
}

void Floppy(QPainter& p)
{
    QPainterPath body;
    body.moveTo(2.5, 2.5);
    body.lineTo(19.5, 2.5);
    body.lineTo(21.5, 4.5);
    body.lineTo(21.5, 21.5);
    body.lineTo(2.5, 21.5);
    body.closeSubpath();
    p.setPen(Outline(QColor(20, 30, 70)));
    p.setBrush(QColor(48, 72, 150));
    p.drawPath(body);
    // Metal shutter with its window.
    p.setPen(Outline(QColor(90, 90, 90)));
    p.setBrush(QColor(200, 204, 210));
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    p.setBrush(QColor(48, 72, 150));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(13, 3.5, 3, 5));
    // Label.
    p.setPen(Outline(QColor(150, 150, 150)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 12.5, 13, 9));
    p.setPen(Outline(QColor(170, 60, 60), 0.8));
    p.drawLine(QPointF(7.5, 15.5), QPointF(16.5, 15.5));
    p.setPen(Outline(QColor(120, 120, 160), 0.8));
    p.drawLine(QPointF(7.5, 18.5), QPointF(16.5, 18.5));
}

// The colours of a pencil: its painted body, the highlight on it, and the lead.
struct PencilColours {
    QColor edge;
    QColor body;
    QColor highlight;
    QColor lead;
};

void Pencil(QPainter& p, const PencilColours& colours)
{
    p.translate(16, 16);
    p.rotate(-45);
    // Body along the x axis, point to the left (towards the bottom left).
    p.setPen(Outline(colours.edge));
    p.setBrush(colours.body);
    p.drawRect(QRectF(-6, -3.5, 17, 7));
    p.setBrush(colours.highlight);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(-6, -3, 17, 2));
    // Eraser end with its ferrule.
    p.setPen(Outline(QColor(90, 90, 90)));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(11, -3.5, 2.5, 7));
    p.setBrush(QColor(235, 130, 150));
    p.drawRoundedRect(QRectF(13.5, -3.5, 3, 7), 1, 1);
    // Sharpened wood and the green lead.
    QPainterPath wood;
    wood.moveTo(-6, -3.5);
    wood.lineTo(-13, 0);
    wood.lineTo(-6, 3.5);
    wood.closeSubpath();
    p.setPen(Outline(QColor(120, 90, 50)));
    p.setBrush(QColor(240, 210, 160));
    p.drawPath(wood);
    QPainterPath lead;
    lead.moveTo(-10.5, -1.25);
    lead.lineTo(-13.5, 0);
    lead.lineTo(-10.5, 1.25);
    lead.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colours.lead);
    p.drawPath(lead);
}

void GreenPencil(QPainter& p)
{
    Pencil(p, {QColor(20, 80, 20), QColor(60, 170, 60), QColor(110, 210, 110), QColor(0, 150, 0)});
}

// The guide pencil: a blue pencil that has drawn a bending line.
void GuidePencil(QPainter& p)
{
    QPainterPath line;
    line.moveTo(6.5, 25.5);
    line.cubicTo(10, 31, 20, 24, 30, 29);
    p.setPen(Outline(QColor(75, 125, 255), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    Pencil(p, {QColor(20, 40, 110), QColor(60, 100, 220), QColor(130, 165, 255), QColor(40, 80, 230)});
}

void Eraser(QPainter& p)
{
    p.translate(16, 17);
    p.rotate(-30);
    p.setPen(Outline(QColor(70, 50, 60)));
    // The worn end that touches the paper.
    p.setBrush(QColor(240, 240, 240));
    p.drawRoundedRect(QRectF(-12, -5.5, 9, 11), 1.5, 1.5);
    p.setBrush(QColor(226, 92, 122));
    p.drawRoundedRect(QRectF(-3, -5.5, 15, 11), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 150, 170));
    p.drawRect(QRectF(-2, -4.5, 13, 3));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(-11, -4.5, 7, 3));
}

void PaintBrush(QPainter& p)
{
    p.translate(16, 16);
    p.rotate(-45);
    // Wooden handle.
    p.setPen(Outline(QColor(90, 50, 20)));
    p.setBrush(QColor(176, 108, 50));
    QPainterPath handle;
    handle.moveTo(1, -2);
    handle.lineTo(15, -1.2);
    handle.quadTo(16.5, 0, 15, 1.2);
    handle.lineTo(1, 2);
    handle.closeSubpath();
    p.drawPath(handle);
    // Ferrule.
    p.setPen(Outline(QColor(80, 80, 80)));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(-4, -2.5, 5, 5));
    // Bristles dipped in red paint.
    QPainterPath bristles;
    bristles.moveTo(-4, -2.5);
    bristles.quadTo(-10, -3.5, -14, 0);
    bristles.quadTo(-10, 3.5, -4, 2.5);
    bristles.closeSubpath();
    p.setPen(Outline(QColor(130, 0, 0)));
    p.setBrush(QColor(225, 20, 20));
    p.drawPath(bristles);
    p.setPen(Outline(QColor(255, 120, 120), 0.8));
    p.drawLine(QPointF(-5, -1), QPointF(-10, -1));
}

void DrawWord(QPainter& p, const QRectF& box, const QString& word, QColor colour, int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, word);
}

void Fit(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 150, 40), 2));
    p.drawRect(QRectF(3, 3, 28, 21));
    DrawWord(p, QRectF(3, 3, 28, 21), QStringLiteral("Fit"), QColor(20, 60, 210), 12);
}

void ActualSize(QPainter& p)
{
    DrawWord(p, QRectF(0, 0, 32, 27), QStringLiteral("100%"), QColor(210, 20, 20), 11);
}

void Magnifier(QPainter& p, bool plus)
{
    // Handle first, so that the rim covers its end.
    p.setPen(QPen(QColor(60, 40, 30), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 16), QPointF(24, 22));
    p.setPen(Outline(QColor(50, 50, 60), 2));
    QRadialGradient glass(QPointF(9, 8), 9);
    glass.setColorAt(0, QColor(240, 250, 255));
    glass.setColorAt(1, QColor(160, 200, 230));
    p.setBrush(glass);
    p.drawEllipse(QPointF(11, 10.5), 7.5, 7.5);
    p.setPen(QPen(QColor(20, 20, 20), 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(7.5, 10.5), QPointF(14.5, 10.5));
    if (plus)
        p.drawLine(QPointF(11, 7), QPointF(11, 14));
}

void CurvedArrow(QPainter& p, bool left)
{
    if (left) {
        p.translate(22, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(4, 16);
    arc.cubicTo(4, 6, 12, 4, 15, 9);
    p.setPen(QPen(QColor(30, 60, 160), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(11, 10);
    head.lineTo(18, 14);
    head.lineTo(18.5, 5.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 160));
    p.drawPath(head);
}

void Square(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(5, 5, 12, 12));
}

void Circle(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(4.5, 4.5, 13, 13));
}

void ProgramIcon(QPainter& p)
{
    // A photograph with a red stroke being filled.
    p.setPen(Outline(QColor(60, 60, 60)));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
    QLinearGradient sky(0, 7, 0, 25);
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(200, 230, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(5, 7, 22, 18));
    QPainterPath hill;
    hill.moveTo(5, 25);
    hill.quadTo(12, 13, 19, 19);
    hill.quadTo(23, 16, 27, 18);
    hill.lineTo(27, 25);
    hill.closeSubpath();
    p.setBrush(QColor(70, 150, 60));
    p.drawPath(hill);
    p.setBrush(QColor(255, 125, 125));
    p.drawEllipse(QPointF(20, 12), 3.5, 3.5);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_button_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const struct {
        const char* name;
        QSize size;
        Drawing draw;
    } pictures[] = {
        {"open_folder", {26, 23}, OpenFolder},
        {"floppy_disk", {24, 24}, Floppy},
        {"green_pencil", {32, 32}, GreenPencil},
        {"guide_pencil", {32, 32}, GuidePencil},
        {"eraser", {32, 32}, Eraser},
        {"red_brush", {32, 32}, PaintBrush},
        {"zoom_fit", {34, 27}, Fit},
        {"actual_size", {32, 27}, ActualSize},
        {"zoom_in", {28, 25}, [](QPainter& p) { Magnifier(p, true); }},
        {"zoom_out", {28, 25}, [](QPainter& p) { Magnifier(p, false); }},
        {"arrow_left", {22, 22}, [](QPainter& p) { CurvedArrow(p, true); }},
        {"arrow_right", {22, 22}, [](QPainter& p) { CurvedArrow(p, false); }},
        {"shape_square", {22, 22}, Square},
        {"shape_round", {22, 22}, Circle},
        {"program_icon", {32, 32}, ProgramIcon},
    };
    for (const auto& picture : pictures) {
        if (!Write(folder, QString::fromLatin1(picture.name), picture.size, picture.draw))
            return 1;
    }
    return 0;
}
