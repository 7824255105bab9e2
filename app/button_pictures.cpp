// SPDX-License-Identifier: MIT
#include "app/button_pictures.h"

#include "res/resource_ids.h"

QString ButtonPicturePath(int id)
{
    const char* name = nullptr;
    switch (id) {
    case IDR_MAINFRAME: name = "program_icon"; break;
    case IDB_ARROW_LEFT: name = "arrow_left"; break;
    case IDB_ARROW_RIGHT: name = "arrow_right"; break;
    case IDB_SHAPE_SQUARE: name = "shape_square"; break;
    case IDB_SHAPE_ROUND: name = "shape_round"; break;
    case IDB_GREEN_PENCIL: name = "green_pencil"; break;
    case IDB_GUIDE_PENCIL: name = "guide_pencil"; break;
    case IDB_ZOOM_IN: name = "zoom_in"; break;
    case IDB_ZOOM_OUT: name = "zoom_out"; break;
    case IDB_ERASER: name = "eraser"; break;
    case IDB_RED_BRUSH: name = "red_brush"; break;
    case IDB_OPEN_FOLDER: name = "open_folder"; break;
    case IDB_FLOPPY_DISK: name = "floppy_disk"; break;
    case IDB_ZOOM_FIT: name = "zoom_fit"; break;
    case IDB_ACTUAL_SIZE: name = "actual_size"; break;
    default: return QString();
    }
    return QStringLiteral(":/buttons/%1.png").arg(QLatin1String(name));
}
