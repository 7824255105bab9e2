// SPDX-License-Identifier: MIT
// Odd and damaged files opened in the canvas: each becomes a picture with
// layers of its size, or the one message with the loader's reason and the
// picture open before stays.
#include "canvas/canvas_pane.h"
#include "controls/message_box.h"
#include "hostile_files.h"

#include <gtest/gtest.h>

namespace {

QString PathOf(const HostileFile& file) { return QString::fromStdString(file.Path()); }

} // namespace

TEST(CanvasHostileFiles, EachOpensInItsEditableLayoutOrLeavesOneMessageAndThePictureBefore)
{
    std::vector<QString> messages;
    SetMessageBoxHook([&messages](const QString& text) { messages.push_back(text); });
    CCanvasPane canvas;
    canvas.resize(300, 200);
    const HostileFile& small = HostileFiles().back();
    ASSERT_TRUE(small.Loads());

    for (const HostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.name);
        messages.clear();
        if (!file.Loads()) {
            ASSERT_TRUE(canvas.OpenPicture(PathOf(small)));
            EXPECT_FALSE(canvas.OpenPicture(PathOf(file)));
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].startsWith("File " + PathOf(file) + " could not be opened: "));
            EXPECT_TRUE(messages[0].contains(QString::fromLatin1(file.reason))) << messages[0].toStdString();
            // The picture open before stays.
            EXPECT_EQ(canvas.OpenedFileName(), PathOf(small));
            EXPECT_EQ(canvas.DisplayLayer().size(), QSize(static_cast<int>(small.width), static_cast<int>(small.height)));
            continue;
        }
        ASSERT_TRUE(canvas.OpenPicture(PathOf(file)));
        EXPECT_TRUE(messages.empty());
        const QSize size(static_cast<int>(file.width), static_cast<int>(file.height));
        EXPECT_EQ(canvas.DisplayLayer().size(), size);
        EXPECT_EQ(canvas.OverlayLayer().size(), size);
        ASSERT_NE(canvas.WorkingImage(), nullptr);
        if (file.colourType == FIC_CMYK) {
            ASSERT_NE(canvas.CmykImage(), nullptr);
            EXPECT_EQ(FreeImage_GetBPP(canvas.CmykImage()), 32u);
            EXPECT_EQ(FreeImage_GetBPP(canvas.WorkingImage()), 24u);
        } else {
            EXPECT_EQ(canvas.CmykImage(), nullptr);
            EXPECT_EQ(FreeImage_GetBPP(canvas.WorkingImage()), file.bitsPerPixel);
        }
    }
    SetMessageBoxHook({});
}
